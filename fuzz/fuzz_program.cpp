// The whole program in-process: every fuzz input is the standard input of
// one session, from the start-up screen through any menu and dialog to the
// end of input or choice 0. Nothing is started per input: this file is the
// fuzz target's platform (the seam of src/console/platform.hpp), and the
// real main of src/console/main.cpp is compiled in as cosmic_main.
//
// - read_input serves the fuzz input from memory, in pieces of varying
//   length, so that numerals and words are cut at refills as a pipe cuts
//   them;
// - write_bytes takes standard output into memory, where it is only
//   counted, and never fails; nothing may go to standard error, for only a
//   failed read or write is reported there;
// - run_command does nothing (the commands only decorate the screen);
// - end_process jumps back to LLVMFuzzerTestOneInput. longjmp skips no
//   destructor: the program keeps no object with one on the stack (no
//   heap, no exceptions, plain structs and numbers only), so the jump is as
//   clean as exit is for the shipped program, which still calls exit.
//
// State kept between runs is reset before each one: the input stream by
// reset_input(); the output buffer is empty, for every session ends through
// exit_program or fail, which hand it all over first.
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
std::size_t written = 0;

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

bool write_bytes(Stream stream, const char*, std::size_t count) {
  if (stream == Stream::error) std::abort();
  written += count;
  return true;
}

void run_command(const char*) {}

void end_process(int status) {
  end_status = status;
  std::longjmp(session_end, 1);
}

}  // namespace platform

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  unread = data;
  unread_size = size;
  reads = 0;
  written = 0;
  reset_input();
  if (setjmp(session_end) == 0) {
    // Started without arguments, as the sessions are.
    static char name[] = "cosmic-distances";
    static char* arguments[] = {name, nullptr};
    cosmic_main(1, arguments);
    std::abort();  // the menu loop never returns
  }
  // Only the end of input (0) and choice 0 (-1) can end a session here:
  // reading and writing memory do not fail, so status 1 (a read or write
  // error) would be a fault. Every session shows at least the main menu.
  if (end_status != 0 && end_status != -1) std::abort();
  if (written == 0) std::abort();
  return 0;
}
