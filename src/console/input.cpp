#include "console/input.hpp"

#include "console/output.hpp"
#include "console/platform.hpp"

namespace {

char input_buffer[1 << 15];

bool refill_from_device(ByteStream& stream) {
  flush_output();
  const long count = platform::read_input(input_buffer, sizeof input_buffer);
  if (count < 0) fail("read error");
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
