// The whole program in-process: every fuzz input is the standard input of
// one session, from the start-up screen through any menu and dialog to the
// end of input or choice 0. Nothing is started per input: the platform is
// the in-memory one of tests/memory_platform.hpp, and the real main of
// src/console/main.cpp is compiled in as cosmic_main. The input is served
// in pieces of varying length; standard output is only counted, and
// nothing may go to standard error, for only a failed read or write is
// reported there.
//
// State kept between runs is reset before each one: the input stream by
// reset_input(); the output buffer is empty, for every session ends through
// exit_program or fail, which hand it all over first.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "console/input.hpp"
#include "memory_platform.hpp"

int cosmic_main(int argc, char* argv[]);

namespace {

// Lengths of successive reads: single bytes, odd sizes and whole buffers.
constexpr std::size_t PIECES[] = {1, 7, 2, 61, 3, 4096, 5, std::size_t{1} << 20};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  memory_platform::serve({reinterpret_cast<const char*>(data), size}, PIECES);
  memory_platform::writes.clear();
  reset_input();
  // Started without arguments, as the sessions are; the menu loop never
  // returns.
  const int status = memory_platform::status_of([] {
    static char name[] = "cosmic-distances";
    static char* arguments[] = {name, nullptr};
    cosmic_main(1, arguments);
  });
  // Only the end of input (0) and choice 0 (-1) can end a session here:
  // reading and writing memory do not fail, so status 1 (a read or write
  // error) would be a fault. Every session shows at least the main menu.
  if (status != 0 && status != -1) std::abort();
  if (memory_platform::writes.empty()) std::abort();
  for (const auto& write : memory_platform::writes) {
    if (write.stream == platform::Stream::error) std::abort();
  }
  return 0;
}
