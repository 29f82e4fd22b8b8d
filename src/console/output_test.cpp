// The output layer over a stand-in for the operating system that records
// every write it is handed, and fails them on demand.
#include "console/output.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "memory_platform.hpp"

namespace {

using memory_platform::status_of;
using memory_platform::writes;

constexpr std::size_t BUFFER = std::size_t{1} << 15;

class Output : public testing::Test {
 protected:
  void SetUp() override {
    memory_platform::output_failure = 0;
    flush_output();
    writes.clear();
  }
};

TEST_F(Output, WaitsForAFlushAndGivesEverythingInOneWrite) {
  write_text("abc");
  write_line("de");
  write_format("%d|%.1f|%s", 7, 2.25, "x");
  EXPECT_TRUE(writes.empty());
  flush_output();
  ASSERT_EQ(writes.size(), 1U);
  EXPECT_EQ(writes[0].stream, platform::Stream::output);
  EXPECT_EQ(writes[0].bytes, "abcde\n7|2.2|x");
  flush_output();  // nothing pending: no write at all
  EXPECT_EQ(writes.size(), 1U);
}

// A full buffer goes out only when more follows, so that every write but a
// flush's is exactly one buffer long, wherever a text crosses its end.
TEST_F(Output, AFullBufferGoesOutWhenMoreFollows) {
  const std::string filler(BUFFER - 3, '.');
  write_text(filler.c_str());
  write_text("abc");
  EXPECT_TRUE(writes.empty());
  write_format("%s%d", "de", 42);
  ASSERT_EQ(writes.size(), 1U);
  EXPECT_EQ(writes[0].bytes, filler + "abc");
  write_text(filler.c_str());  // crosses the end of the buffer
  ASSERT_EQ(writes.size(), 2U);
  EXPECT_EQ(writes[1].bytes, "de42" + filler.substr(0, BUFFER - 4));
  flush_output();
  EXPECT_EQ(writes[2].bytes, filler.substr(BUFFER - 4));
}

TEST_F(Output, AFormattedTextMustBeShorterThan1KiB) {
  const std::string longest(1023, 'x');
  write_format("%s", longest.c_str());
  flush_output();
  ASSERT_EQ(writes.size(), 1U);
  EXPECT_EQ(writes[0].bytes, longest);
  EXPECT_DEATH_IF_SUPPORTED(write_format("%s.", longest.c_str()), "");
}

// The bytes of a failed write are not tried again on the way out.
TEST_F(Output, AFailedWriteIsReportedAndEndsWithStatus1) {
  write_text("lost");
  memory_platform::output_failure = ENOSPC;
  EXPECT_EQ(status_of([] { exit_program(0); }), 1);
  ASSERT_EQ(writes.size(), 1U);
  EXPECT_EQ(writes[0].stream, platform::Stream::error);
  EXPECT_EQ(writes[0].bytes, "cosmic-distances: write error: No space left on device\n");
  memory_platform::output_failure = 0;
  EXPECT_EQ(status_of([] { exit_program(3); }), 3);
  EXPECT_EQ(writes.size(), 1U);
}

}  // namespace
