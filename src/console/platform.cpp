#include "console/platform.hpp"

#ifdef COSMIC_PAGE

// In a web page there is no descriptor to read, no shell and no process to
// end: the page (web/page_imports.js) answers instead. A read and the end
// suspend the WebAssembly code until the page resumes it, if ever.
extern "C" {
long cosmic_page_read(char* buffer, std::size_t capacity);
void cosmic_page_command(const char* command);
[[noreturn]] void cosmic_page_end(int status);
}

namespace platform {

long read_input(char* buffer, std::size_t capacity) {
  return cosmic_page_read(buffer, capacity);
}

void run_command(const char* command) {
  cosmic_page_command(command);
}

void end_process(int status) {
  cosmic_page_end(status);
}

}  // namespace platform

#else

#include <cerrno>
#include <cstdlib>

#include <poll.h>
#include <unistd.h>

namespace platform {

long read_input(char* buffer, std::size_t capacity) {
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, buffer, capacity);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {  // GCOVR_EXCL_BR_LINE: equal on Linux
      // Standard input was left non-blocking by whoever started us: wait for
      // it rather than treating "nothing yet" as the end or as an error.
      pollfd waiting{STDIN_FILENO, POLLIN, 0};
      // Polling one open descriptor fails, interruptions aside, only for want of kernel memory.
      if (poll(&waiting, 1, -1) >= 0 || errno == EINTR) continue;  // GCOVR_EXCL_BR_LINE
    }
    return -1;
  }
}

void run_command(const char* command) {
  // The commands only decorate the start-up screen; their result is ignored.
  const int ignored = std::system(command);
  (void)ignored;
}

void end_process(int status) {
  std::exit(status);
}

}  // namespace platform

#endif
