// Runs the program as a user or a script would: its standard input and
// output are real pipes, and stand-in `clear` and `date` programs come first
// on PATH so that start-up prints fixed markers. The only place in the tests
// that starts the program: the build's own, or the command that the
// environment variable COSMIC_PROGRAM holds (words separated by spaces, e.g.
// "node build-wasm/cosmic-distances.js").
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct SessionOptions {
  // The program's arguments (it is started with none by default).
  std::vector<std::string> arguments;
  // Where standard input comes from: the input pipe (empty), or this file.
  std::string stdin_path;
  // A slow writer: the program's standard input is non-blocking and the
  // input is held back this long, so that its first reads find nothing yet.
  bool nonblocking_input = false;
  int input_delay_ms = 0;
  // The input a byte at a time, each only once the program has read the one
  // before, so that every read the program makes returns a single byte.
  bool one_byte_per_read = false;
  // The input typed as a person types it: each word on a line of its own,
  // and only once the output ends with a prompt (":\\> ") that no line has
  // answered yet. A prompt that does not come within seconds ends the
  // program (SIGKILL) and sets `timed_out`.
  bool type_at_prompts = false;
  // Where standard output goes: the output pipe (empty), or this file.
  std::string stdout_path;
  // Standard output to a fresh regular file, read back into `out` and
  // removed afterwards.
  bool output_to_file = false;
  // Close the reading end of the output pipe before the program starts.
  bool close_output = false;
  // Start the program with SIGPIPE ignored.
  bool ignore_sigpipe = false;
  // Limits in bytes for the program and the commands it runs (0: none): the
  // size of the files they write (a write beyond fails with EFBIG instead of
  // raising SIGXFSZ) and their address space.
  std::size_t file_size_limit = 0;
  std::size_t memory_limit = 0;
};

struct SessionResult {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or -1 when ended by a signal
  int signal = 0;   // the signal that ended it, or 0
  // A typed session's prompt did not come, or under COSMIC_PROGRAM the
  // start-up did not end within a minute; either ended the program.
  bool timed_out = false;
};

// Feeds `input` to the program, then closes its input; collects everything.
SessionResult run_session(const std::string& input, const SessionOptions& options = {});

// What start-up prints with the stand-ins: the cleared screen, the banner
// between rows of asterisks, the date.
extern const std::string START;

// True where the program's address space can be limited: only for the
// build's own program run directly, not under the sanitizers, an emulator or
// a command from COSMIC_PROGRAM, which may reserve far more than it uses.
bool memory_can_be_limited();
