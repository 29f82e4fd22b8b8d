// The program's only contacts with the operating system besides its output
// stream: reading standard input, running a shell command, ending the
// process. Kept behind this seam so that an in-process driver (the fuzz
// target) links its own versions; the program links platform.cpp. Built
// with COSMIC_PAGE defined (the web page's copy), platform.cpp hands all
// three to the page's terminal instead.
#pragma once

#include <cstddef>

namespace platform {

// Reads up to `capacity` bytes of standard input into `buffer`. Returns the
// count read, 0 at the end of input, or -1 with errno set on a read error.
// Interrupted reads are retried and a non-blocking input is waited for.
long read_input(char* buffer, std::size_t capacity);

// Runs `command` through the system's command interpreter; the result is
// ignored. The caller flushes its output first.
void run_command(const char* command);

// Ends the process with `status` (exit status status & 0xff).
[[noreturn]] void end_process(int status);

}  // namespace platform
