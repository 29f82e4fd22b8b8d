// Standard input as the program reads it, over a stand-in for the operating
// system: each read returns the next of a list of pieces, then the end.
#include "console/input.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "console/platform.hpp"

namespace {

std::vector<std::string> pieces;  // what the coming reads return, in turn
std::size_t next_piece = 0;
int reads = 0;

void serve(std::vector<std::string> input) {
  pieces = std::move(input);
  next_piece = 0;
  reads = 0;
}

}  // namespace

namespace platform {

long read_input(char* buffer, std::size_t capacity) {
  ++reads;
  if (next_piece == pieces.size()) return 0;
  const std::string& piece = pieces[next_piece++];
  if (piece.size() > capacity) std::abort();
  std::memcpy(buffer, piece.data(), piece.size());
  return static_cast<long>(piece.size());
}

bool write_bytes(Stream, const char*, std::size_t) {
  return true;
}

void run_command(const char*) {}

void end_process(int) {
  std::abort();  // nothing here may end the program
}

}  // namespace platform

namespace {

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
  serve({"0"});
  EXPECT_EQ(entries(), std::vector<int>{0});
  reset_input();
  serve({"1", "2", " ", "x", "\n", "3"});
  EXPECT_EQ(entries(), (std::vector<int>{12, -1, 3}));
  EXPECT_EQ(reads, 7);
}

TEST(StandardInput, TheEndIsReadOnceAndHolds) {
  reset_input();
  serve({"7 "});
  EXPECT_EQ(entries(), std::vector<int>{7});
  EXPECT_EQ(entries(), std::vector<int>{});
  EXPECT_EQ(reads, 2);  // "7 ", then the end, which is not asked for again
}

// An in-process driver runs the program once per input.
TEST(StandardInput, ResetForgetsBufferedInputAndTheEnd) {
  reset_input();
  serve({"4 5 6"});
  int value = 0;
  ASSERT_EQ(scan_integer(standard_input(), IntegerBase::decimal, &value), ScanResult::number);
  EXPECT_EQ(value, 4);
  reset_input();  // " 5 6" is still buffered
  serve({"8"});
  EXPECT_EQ(entries(), std::vector<int>{8});
  reset_input();  // the end has been seen
  serve({"9"});
  EXPECT_EQ(entries(), std::vector<int>{9});
}

}  // namespace
