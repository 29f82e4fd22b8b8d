// Standard output that cannot be written: a full device, a pipe nobody
// reads, a file at its size limit. At the first failed write the program
// says so on standard error and ends with status 1, running no command and
// reading nothing more; a pipe closed under it with SIGPIPE at its default
// ends it by that signal. Output that succeeds, however large, keeps the
// status of choice 0.
#include <signal.h>
#include <unistd.h>

#include <sstream>

#include "session_table.hpp"

namespace {

using namespace text;

const std::string NO_SPACE = "cosmic-distances: write error: No space left on device\n";
const std::string BROKEN_PIPE = "cosmic-distances: write error: Broken pipe\n";
const std::string TOO_LARGE = "cosmic-distances: write error: File too large\n";

// The stand-in `clear` runs before the program has anything to write, so its
// own failed write is reported by its shell; only its lines are dropped.
std::string without_clear_complaints(const std::string& err) {
  const std::string clear = std::string(COSMIC_STUBS) + "/clear:";
  std::istringstream lines(err);
  std::string kept;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(clear, 0) != 0) kept += line + "\n";
  }
  return kept;
}

// /dev/full is Linux's (and Android's); other systems may have none.
TEST(WriteError, FullDeviceEndsWithStatus1BeforeTheDate) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  SessionOptions options;
  options.stdout_path = "/dev/full";
  const SessionResult r = run_session("3\n1\n7\n1\n0\n", options);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.signal, 0);
  // The first flush is the one before `date`: had the stand-in run, its
  // shell would have complained about its failed write as well.
  EXPECT_EQ(without_clear_complaints(r.err), NO_SPACE);
}

TEST(WriteError, ClosedPipeWithSigpipeIgnoredEndsWithStatus1) {
  SessionOptions options;
  options.close_output = true;
  options.ignore_sigpipe = true;
  const SessionResult r = run_session("0\n", options);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(without_clear_complaints(r.err), BROKEN_PIPE);
}

TEST(WriteError, ClosedPipeWithSigpipeAtItsDefaultEndsBySigpipe) {
  SessionOptions options;
  options.close_output = true;
  const SessionResult r = run_session("0\n", options);
  EXPECT_EQ(r.signal, SIGPIPE);
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.err, "");
}

// Standard output to a regular file that may hold `limit` bytes.
SessionResult run_with_file_limit(const std::string& input, std::size_t limit) {
  SessionOptions options;
  options.output_to_file = true;
  options.file_size_limit = limit;
  return run_session(input, options);
}

// The star catalogue listed `times` times, then choice 0.
std::string listings(int times) {
  std::string input;
  for (int i = 0; i < times; ++i) input += "1\n2\n";
  return input + "0\n";
}

struct LimitCase {
  const char* name;
  std::string input;
  std::size_t limit;  // the file may hold this many bytes
  int status;
  bool write_error;  // whether the program must report one
  friend void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name; }
};

class FileLimit : public testing::TestWithParam<LimitCase> {};

TEST_P(FileLimit, StopsAtTheFirstFailedWrite) {
  const LimitCase& c = GetParam();
  // The whole output as it is when every write succeeds.
  const SessionResult unlimited = run_session(c.input);
  ASSERT_GT(unlimited.out.size(), c.limit) << "the limit must cut the output";
  const SessionResult r = run_with_file_limit(c.input, c.limit);
  EXPECT_EQ(r.status, c.status);
  // Exactly as much as fits: nothing else was written after the failure.
  EXPECT_TRUE(r.out == unlimited.out.substr(0, c.limit))
      << r.out.size() << " bytes written, " << c.limit << " allowed";
  // The stand-ins write into the same file: a command run after the failure
  // would fail to write too, and its shell would say so here.
  EXPECT_EQ(r.err, c.write_error ? TOO_LARGE : "");
}

const LimitCase LIMITS[] = {
    // The banner does not fit: the flush before `date` fails.
    {"FlushBeforeTheDateFails", "0\n", START.find("<date>") - 10, 1, true},
    // The start-up fits, the main menu's flush before the first read fails
    // (had the program read on, choice 0 would have ended it with 255).
    {"FlushBeforeTheFirstReadFails", "0\n", START.size() + 10, 1, true},
    // The listings fill the file somewhere in the middle of the session.
    {"FlushInTheMiddleOfTheSessionFails", listings(100), 50000, 1, true},
    // Only the newline written at the end of input no longer fits: the last
    // flush, on the way out, is checked too.
    {"FlushAtTheEndOfInputFails", "", START.size() + MAIN.size(), 1, true},
};
NAMED_CASES(Limits, FileLimit, LIMITS);

TEST(FileLimit, OutputThatFitsExactlyKeepsTheStatus) {
  const SessionResult zero = run_with_file_limit("0\n", START.size() + MAIN.size());
  EXPECT_EQ(zero.status, 255);
  EXPECT_EQ(zero.out, START + MAIN);
  EXPECT_EQ(zero.err, "");
  const SessionResult end = run_with_file_limit("", START.size() + MAIN.size() + 1);
  EXPECT_EQ(end.status, 0);
  EXPECT_EQ(end.out, START + MAIN + END);
  EXPECT_EQ(end.err, "");
}

TEST(LargeOutput, ChoiceZeroKeepsStatus255ToAPipeAFileAndTheNullDevice) {
  // One listing's share of the output, then two thousand of them.
  const SessionResult once = run_session(listings(1));
  ASSERT_EQ(once.status, 255);
  const std::string head = START + MAIN;
  ASSERT_EQ(once.out.compare(0, head.size(), head), 0);
  const std::string listing = once.out.substr(head.size());
  constexpr int TIMES = 2000;
  std::string expected = head;
  for (int i = 0; i < TIMES; ++i) expected += listing;

  const SessionResult piped = run_session(listings(TIMES));
  EXPECT_EQ(piped.status, 255);
  EXPECT_TRUE(piped.out == expected)
      << piped.out.size() << " bytes, " << expected.size() << " expected";
  EXPECT_EQ(piped.err, "");

  SessionOptions to_file;
  to_file.output_to_file = true;
  const SessionResult filed = run_session(listings(TIMES), to_file);
  EXPECT_EQ(filed.status, 255);
  EXPECT_TRUE(filed.out == expected);
  EXPECT_EQ(filed.err, "");

  SessionOptions to_null;
  to_null.stdout_path = "/dev/null";
  const SessionResult nulled = run_session(listings(TIMES), to_null);
  EXPECT_EQ(nulled.status, 255);
  EXPECT_EQ(nulled.err, "");
}

}  // namespace
