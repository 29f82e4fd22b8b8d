#include "console/output.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/platform.hpp"

namespace {

// Static, so that no allocation happens when the first byte is written.
char output_buffer[1 << 15];
std::size_t buffered = 0;

void write_bytes(const char* bytes, std::size_t count) {
  while (count > 0) {
    // A full buffer goes out only once more bytes come, so that every write
    // but the flushes' is exactly one buffer long.
    if (buffered == sizeof output_buffer) flush_output();
    const std::size_t room = sizeof output_buffer - buffered;
    const std::size_t part = count < room ? count : room;
    std::memcpy(output_buffer + buffered, bytes, part);
    buffered += part;
    bytes += part;
    count -= part;
  }
}

}  // namespace

void write_text(const char* text) {
  write_bytes(text, std::strlen(text));
}

void write_line(const char* text) {
  write_text(text);
  write_bytes("\n", 1);
}

void write_format(const char* format, ...) {
  char text[1024];
  std::va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  // A negative length (a text that cannot be formatted at all) is as large
  // here as it is too large for any buffer. Either is the programmer's
  // error, never the user's: it stops the program in every build.
  const auto size = static_cast<std::size_t>(length);
  if (size >= sizeof text) std::abort();  // GCOVR_EXCL_LINE: a death test's child writes no counts
  write_bytes(text, size);
}

void flush_output() {
  const std::size_t count = buffered;
  if (count == 0) return;
  // Whatever happens, the bytes are handed over once: after a failure the
  // program ends without trying them again.
  buffered = 0;
  if (!platform::write_bytes(platform::Stream::output, output_buffer, count)) fail("write error");
}

void exit_program(int status) {
  flush_output();
  platform::end_process(status);
}

void fail(const char* what) {
  const int error = errno;
  char message[256];
  std::snprintf(message, sizeof message, "cosmic-distances: %s: %s\n", what, std::strerror(error));
  // Nobody is left to tell of a failure to write this.
  platform::write_bytes(platform::Stream::error, message, std::strlen(message));
  platform::end_process(1);
}
