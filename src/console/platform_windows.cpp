// The platform seam on Windows. Standard input and output are read and
// written through their handles, byte for byte: no newline is translated
// either way, so that a pipe or a file gets the bytes Linux writes. Only a
// console, where a person types, is read as text (console_text.hpp): its
// lines end in CR LF, and Ctrl-Z then Enter ends the input.
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "console/console_text.hpp"
#include "console/platform.hpp"

namespace {

// The C library's errno for a Windows error, so that the program's
// messages name a failure as they do on Linux.
int errno_for(DWORD error) {
  switch (error) {
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
      return EPIPE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_INVALID_HANDLE:
      return EBADF;
    case ERROR_ACCESS_DENIED:
      return EACCES;
    default:
      return EIO;
  }
}

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// Once Ctrl-Z has been typed, the console has nothing more to give.
bool console_ended = false;

// A line typed at the console, as console_text makes it.
long read_console(HANDLE input, char* buffer, std::size_t capacity) {
  if (console_ended) return 0;
  DWORD count = 0;
  const DWORD asked = capacity > 4096 ? 4096 : static_cast<DWORD>(capacity);
  if (!ReadFile(input, buffer, asked, &count, nullptr)) {
    errno = errno_for(GetLastError());
    return -1;
  }
  return static_cast<long>(console_text(buffer, count, &console_ended));
}

// The commands of the POSIX start-up as cmd.exe has them: `date /t` prints
// the date without asking for a new one, and neither reads our input.
const char* windows_command(const char* command) {
  if (std::strcmp(command, "clear") == 0) return "cls <NUL";
  if (std::strcmp(command, "date") == 0) return "date /t <NUL";
  return command;
}

}  // namespace

namespace platform {

long read_input(char* buffer, std::size_t capacity) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  if (input == nullptr || input == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  if (is_console(input)) return read_console(input, buffer, capacity);
  DWORD count = 0;
  const DWORD asked = capacity > MAXDWORD ? MAXDWORD : static_cast<DWORD>(capacity);
  if (ReadFile(input, buffer, asked, &count, nullptr)) return static_cast<long>(count);
  const DWORD error = GetLastError();
  // A pipe whose writer has closed it has simply ended.
  if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
  errno = errno_for(error);
  return -1;
}

bool write_bytes(Stream stream, const char* bytes, std::size_t count) {
  const HANDLE output =
      GetStdHandle(stream == Stream::output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return false;
  }
  while (count > 0) {
    const DWORD part = count > 65536 ? 65536 : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(output, bytes, part, &written, nullptr)) {
      errno = errno_for(GetLastError());
      return false;
    }
    if (written == 0) {  // no error, yet no progress: never wait for ever
      errno = EIO;
      return false;
    }
    bytes += written;
    count -= written;
  }
  return true;
}

void run_command(const char* command) {
  // The commands only decorate the start-up screen; their result is ignored.
  const int ignored = std::system(windows_command(command));
  (void)ignored;
}

void end_process(int status) {
  // As on POSIX, where only the low eight bits reach the parent: choice 0's
  // -1 is 255 in %ERRORLEVEL% too.
  std::exit(status & 0xff);
}

}  // namespace platform
