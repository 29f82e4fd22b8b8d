// The operating-system seam (console/platform.hpp) in memory, for the unit
// tests of input, output and the command line's answers and for the fuzz
// target, which runs the whole program in-process:
//
// - read_input serves the bytes that serve() was given, each read at most
//   as long as the next of a cycle of piece lengths, so that numerals and
//   words are cut at refills as a pipe cuts them; then the end of input;
// - write_bytes records every write, and fails those to standard output
//   with errno `output_failure` while that is not 0;
// - run_command does nothing (the commands only decorate the screen);
// - end_process jumps back to status_of(), which returns the status; outside
//   it, nothing may end the program. longjmp skips no destructor: the
//   program keeps no object with one on the stack (no heap, no exceptions,
//   plain structs and numbers only), so the jump is as clean as exit is for
//   the shipped program.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/platform.hpp"

namespace memory_platform {

struct Write {
  platform::Stream stream;
  std::string bytes;
};

inline std::vector<Write> writes;  // one per write handed to the system
inline int output_failure = 0;     // errno of every write to standard output, or 0
inline int reads = 0;              // reads since serve()

inline constexpr std::size_t WHOLE[] = {SIZE_MAX};

// Serves `input` to the coming reads, read n taking at most
// pieces[n % pieces.size()] bytes.
void serve(std::string_view input, std::span<const std::size_t> pieces = WHOLE);

inline std::jmp_buf* session_end = nullptr;
inline int end_status = 0;

// Runs `session`, which must end the process; returns its status.
template <class Session>
int status_of(Session session) {
  std::jmp_buf end;
  session_end = &end;
  if (setjmp(end) == 0) {
    session();
    std::abort();
  }
  session_end = nullptr;
  return end_status;
}

}  // namespace memory_platform
