// The whole program in-process: every fuzz input is the standard input of
// one session, from the start-up screen through any menu and dialog to the
// end of input or choice 0. Nothing is started per input: this file stands
// in for the operating-system seam (src/console/platform.cpp), and the real
// main of src/console/main.cpp is compiled in as cosmic_main.
//
// - read_input serves the fuzz input from memory, in pieces of varying
//   length, so that numerals and words are cut at refills as a pipe cuts
//   them;
// - run_command does nothing (the commands only decorate the screen);
// - end_process jumps back to LLVMFuzzerTestOneInput. longjmp skips no
//   destructor: the program keeps no object with one on the stack (no
//   heap, no exceptions, plain structs and numbers only), so the jump is as
//   clean as exit is for the shipped program, which still calls exit.
//
// State kept between runs is reset before each one: the input stream by
// reset_input(); the output buffer is installed again by the program's own
// start_output(), and setvbuf on a stream that already uses that same
// static buffer first flushes whatever is pending and installs it anew, so
// calling it on every run is harmless. Output goes to /dev/null: a sink that
// accepts everything, so no write fails here.
#include <fcntl.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "console/input.hpp"
#include "console/platform.hpp"

int cosmic_main(int argc, char* argv[]);

namespace {

const std::uint8_t* unread = nullptr;
std::size_t unread_size = 0;
std::size_t reads = 0;

std::jmp_buf session_end;
int end_status = 0;

// Lengths of successive reads: single bytes, odd sizes and whole buffers.
constexpr std::size_t PIECES[] = {1, 7, 2, 61, 3, 4096, 5, std::size_t{1} << 20};

}  // namespace

namespace platform {

long read_input(char* buffer, std::size_t capacity) {
  std::size_t count = PIECES[reads++ % (sizeof PIECES / sizeof PIECES[0])];
  if (count > capacity) count = capacity;
  if (count > unread_size) count = unread_size;
  std::memcpy(buffer, unread, count);
  unread += count;
  unread_size -= count;
  return static_cast<long>(count);
}

void run_command(const char*) {}

void end_process(int status) {
  end_status = status;
  std::longjmp(session_end, 1);
}

}  // namespace platform

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const int sink = open("/dev/null", O_WRONLY);
  if (sink < 0 || dup2(sink, STDOUT_FILENO) < 0) std::abort();
  close(sink);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  unread = data;
  unread_size = size;
  reads = 0;
  reset_input();
  if (setjmp(session_end) == 0) {
    // Started without arguments, as the sessions are.
    static char name[] = "cosmic-distances";
    static char* arguments[] = {name, nullptr};
    cosmic_main(1, arguments);
    std::abort();  // the menu loop never returns
  }
  // Only the end of input (0) and choice 0 (-1) can end a session here:
  // reading memory and writing to /dev/null do not fail, so status 1 (a
  // read or write error) would be a fault.
  if (end_status != 0 && end_status != -1) std::abort();
  return 0;
}
