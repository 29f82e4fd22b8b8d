// The platform seam on a POSIX system, and under Node, whose build maps the
// descriptors onto the real ones.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "console/platform.hpp"

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

bool write_bytes(Stream stream, const char* bytes, std::size_t count) {
  while (count > 0) {
    const ssize_t n = write(static_cast<int>(stream), bytes, count);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    bytes += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
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
