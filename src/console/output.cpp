#include "console/output.hpp"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console/platform.hpp"

namespace {

// Static, so that no allocation happens when the first byte is written.
char output_buffer[1 << 15];

void check(bool written) {
  if (!written) fail("write error");
}

}  // namespace

void start_output() {
  std::setvbuf(stdout, output_buffer, _IOFBF, sizeof output_buffer);
}

void write_text(const char* text) {
  check(std::fputs(text, stdout) != EOF);
}

void write_line(const char* text) {
  check(std::puts(text) != EOF);
}

void write_format(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  const int written = std::vprintf(format, arguments);
  va_end(arguments);
  check(written >= 0);
}

void flush_output() {
  check(std::fflush(stdout) == 0);
}

void exit_program(int status) {
  flush_output();
  platform::end_process(status);
}

void fail(const char* what) {
  const int error = errno;
  std::fprintf(stderr, "cosmic-distances: %s: %s\n", what, std::strerror(error));
  platform::end_process(1);
}
