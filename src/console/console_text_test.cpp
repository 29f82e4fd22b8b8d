#include "console/console_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

// What one read of typed text becomes: only the line's end loses its CR (a
// lone CR or LF is kept as typed), and Ctrl-Z ends the input after what was
// typed before it.
TEST(ConsoleText, LineEndsAndCtrlZ) {
  const struct {
    std::string typed;
    std::string text;
    bool ended;
  } cases[] = {
      {"4.3\r\n", "4.3\n", false}, {"1\r2\r\n", "1\r2\n", false}, {"7\n", "7\n", false},
      {"\r", "\r", false},         {"\x1a\r\n", "", true},        {"12\x1a\r\n", "12", true},
      {"4\r5", "4\r5", false},
  };
  for (auto c : cases) {
    bool ended = false;
    const std::size_t count = console_text(c.typed.data(), c.typed.size(), &ended);
    EXPECT_EQ(c.typed.substr(0, count), c.text) << c.typed;
    EXPECT_EQ(ended, c.ended) << c.typed;
  }
}

}  // namespace
