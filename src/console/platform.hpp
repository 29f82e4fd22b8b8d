// The program's only contacts with the operating system: reading standard
// input, writing standard output and standard error, running a shell
// command, ending the process. Each platform implements all of it in a file
// of its own, which the build links: platform_posix.cpp for POSIX systems
// (Node included), platform_windows.cpp for Windows, web/platform_page.cpp
// for the web page, and tests/memory_platform.cpp, in memory, for the unit
// tests of input, output and the command line and for the fuzz target.
#pragma once

#include <cstddef>

namespace platform {

// Reads up to `capacity` bytes of standard input into `buffer`. Returns the
// count read, 0 at the end of input, or -1 with errno set on a read error.
// Interrupted reads are retried and a non-blocking input is waited for.
long read_input(char* buffer, std::size_t capacity);

enum class Stream { output = 1, error = 2 };  // the descriptors' numbers

// Writes all `count` bytes to `stream`, in order. Returns true, or false
// with errno set at the first write that fails (some bytes may have gone
// out before it). Interrupted and partial writes are carried on.
bool write_bytes(Stream stream, const char* bytes, std::size_t count);

// Runs `command` through the system's command interpreter; the result is
// ignored. The caller flushes its output first.
void run_command(const char* command);

// Ends the process with `status` (exit status status & 0xff).
[[noreturn]] void end_process(int status);

}  // namespace platform
