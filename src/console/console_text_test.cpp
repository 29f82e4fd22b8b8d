#include "console/console_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Read {
  std::string text;
  bool ended;
};

Read read(std::string typed) {
  bool ended = false;
  const std::size_t count = console_text(typed.data(), typed.size(), &ended);
  return {typed.substr(0, count), ended};
}

TEST(ConsoleText, LinesEndInNewlineAlone) {
  EXPECT_EQ(read("4.3\r\n").text, "4.3\n");
  EXPECT_FALSE(read("4.3\r\n").ended);
  // Only the line's end loses its CR; a lone CR or LF is kept as typed.
  EXPECT_EQ(read("1\r2\r\n").text, "1\r2\n");
  EXPECT_EQ(read("7\n").text, "7\n");
  EXPECT_EQ(read("\r").text, "\r");
}

TEST(ConsoleText, CtrlZEndsTheInputAfterWhatWasTypedBeforeIt) {
  EXPECT_EQ(read("\x1a\r\n").text, "");
  EXPECT_TRUE(read("\x1a\r\n").ended);
  EXPECT_EQ(read("12\x1a\r\n").text, "12");
  EXPECT_TRUE(read("12\x1a\r\n").ended);
}

}  // namespace
