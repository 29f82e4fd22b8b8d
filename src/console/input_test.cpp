// Standard input as the program reads it, over a stand-in for the operating
// system: each read returns the next piece of the input, then the end.
#include "console/input.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "memory_platform.hpp"

namespace {

using memory_platform::reads;
using memory_platform::serve;

constexpr std::size_t BYTE_BY_BYTE[] = {1};

// Every entry until the end of input; a word that is no number as -1.
std::vector<int> entries() {
  std::vector<int> found;
  int value = 0;
  for (;;) {
    const ScanResult r = scan_integer(standard_input(), IntegerBase::decimal, &value);
    if (r == ScanResult::end_of_input) return found;
    found.push_back(r == ScanResult::number ? value : -1);
  }
}

TEST(StandardInput, AReadOfOneByteIsInputNotTheEnd) {
  reset_input();
  serve("0");
  EXPECT_EQ(entries(), std::vector<int>{0});
  reset_input();
  serve("12 x\n3", BYTE_BY_BYTE);
  EXPECT_EQ(entries(), (std::vector<int>{12, -1, 3}));
  EXPECT_EQ(reads, 7);
}

TEST(StandardInput, TheEndIsReadOnceAndHolds) {
  reset_input();
  serve("7 ");
  EXPECT_EQ(entries(), std::vector<int>{7});
  EXPECT_EQ(entries(), std::vector<int>{});
  EXPECT_EQ(reads, 2);  // "7 ", then the end, which is not asked for again
}

// An in-process driver runs the program once per input.
TEST(StandardInput, ResetForgetsBufferedInputAndTheEnd) {
  reset_input();
  serve("4 5 6");
  int value = 0;
  ASSERT_EQ(scan_integer(standard_input(), IntegerBase::decimal, &value), ScanResult::number);
  EXPECT_EQ(value, 4);
  reset_input();  // " 5 6" is still buffered
  serve("8");
  EXPECT_EQ(entries(), std::vector<int>{8});
  reset_input();  // the end has been seen
  serve("9");
  EXPECT_EQ(entries(), std::vector<int>{9});
}

}  // namespace
