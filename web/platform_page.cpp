// The platform seam in a web page: there is no descriptor to read or write,
// no shell and no process to end, so the page answers all of it through the
// imports of page_imports.js. A read and the end suspend the WebAssembly
// code until the page resumes it, if ever.
#include "console/platform.hpp"

extern "C" {
long cosmic_page_read(char* buffer, std::size_t capacity);
void cosmic_page_write(int descriptor, const char* bytes, std::size_t count);
void cosmic_page_command(const char* command);
[[noreturn]] void cosmic_page_end(int status);
}

namespace platform {

long read_input(char* buffer, std::size_t capacity) {
  return cosmic_page_read(buffer, capacity);
}

// The page's screen takes every byte at once.
bool write_bytes(Stream stream, const char* bytes, std::size_t count) {
  cosmic_page_write(static_cast<int>(stream), bytes, count);
  return true;
}

void run_command(const char* command) {
  cosmic_page_command(command);
}

void end_process(int status) {
  cosmic_page_end(status);
}

}  // namespace platform
