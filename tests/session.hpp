// Runs the built program as a user or a script would: its standard input and
// output are real pipes, and stand-in `clear` and `date` programs come first
// on PATH so that start-up prints fixed markers.
#pragma once

#include <string>
#include <vector>

struct SessionOptions {
  // Where standard output goes: a pipe that is read (empty), or this file.
  std::string stdout_path;
  // Where standard input comes from: the input pipe (empty), or this file.
  std::string stdin_path;
  // Close the reading end of the output pipe before the program starts.
  bool close_output = false;
  // Start the program with SIGPIPE ignored.
  bool ignore_sigpipe = false;
  // Give the program a non-blocking standard input and hold the input back
  // this long, so that its first reads find nothing yet.
  bool nonblocking_input = false;
  int input_delay_ms = 0;
};

struct SessionResult {
  std::string out;
  std::string err;
  int status = -1;      // exit status, or -1 when ended by a signal
  int signal = 0;       // the signal that ended it, or 0
  long max_rss_kb = 0;  // peak resident memory (the program and its children)
};

// The program's command line: the cross build's emulator, if any, then the
// built binary.
std::vector<std::string> program_command();

// Waits for the program's process and fills in how it ended: status,
// signal and peak resident memory.
void wait_for_program(int pid, SessionResult& result);

// Feeds `input` to the program, then closes its input; collects everything.
SessionResult run_session(const std::string& input, const SessionOptions& options = {});

// What start-up prints with the stand-ins: the cleared screen, the banner
// between rows of asterisks, the date.
extern const std::string START;

// True where the build can measure the program's own resident memory (not
// under sanitizers or an emulator).
bool memory_is_measurable();
