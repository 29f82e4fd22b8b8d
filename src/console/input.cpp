#include "console/input.hpp"

#include <cerrno>

#include "console/output.hpp"
#include "console/platform.hpp"

namespace {

char input_buffer[1 << 15];

bool refill_from_device(ByteStream& stream) {
  flush_output();
  const long count = platform::read_input(input_buffer, sizeof input_buffer);
  if (count < 0) {
    // As at the end of input, the waiting prompt's line is ended first, so
    // that the message on standard error starts a line of its own.
    const int error = errno;
    write_text("\n");
    flush_output();
    errno = error;
    fail("read error");
  }
  if (count == 0) return false;
  stream.cur = reinterpret_cast<const unsigned char*>(input_buffer);
  stream.end = stream.cur + count;
  return true;
}

ByteStream input{nullptr, nullptr, refill_from_device, false};

}  // namespace

ByteStream& standard_input() {
  return input;
}

void reset_input() {
  input = ByteStream{nullptr, nullptr, refill_from_device, false};
}
