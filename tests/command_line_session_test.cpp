// The command line as a user meets it: --help and --version answer on
// standard output with status 0 and nothing else happens (no clear, no date,
// no entry read); a failed write is reported as everywhere; other arguments
// leave the session as it is.
#include <signal.h>
#include <unistd.h>

#include "session_table.hpp"

namespace {

// Choice 0 would end a session with 255: an answer must not read it.
SessionResult run_with(std::vector<std::string> arguments, SessionOptions options = {}) {
  options.arguments = std::move(arguments);
  return run_session("0\n", options);
}

// The stand-ins leave their markers in the output when they run.
bool started(const SessionResult& r) {
  return r.out.find("<clear>") != std::string::npos || r.out.find("<date>") != std::string::npos;
}

TEST(CommandLineSession, HelpAndVersionAnswerAndNothingRuns) {
  const std::string version = "cosmic-distances " COSMIC_PROJECT_VERSION "\n";
  const struct {
    const char* option;
    std::string begins;
  } answers[] = {{"--help", "Usage: cosmic-distances"},
                 {"-h", "Usage: cosmic-distances"},
                 {"--version", version}};
  for (const auto& a : answers) {
    const SessionResult r = run_with({a.option});
    EXPECT_EQ(r.status, 0) << a.option;
    EXPECT_EQ(r.err, "") << a.option;
    EXPECT_EQ(r.out.compare(0, a.begins.size(), a.begins), 0) << r.out;
    EXPECT_FALSE(started(r)) << a.option;
  }
}

TEST(CommandLineSession, FailedAnswerIsAWriteError) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  SessionOptions full;
  full.stdout_path = "/dev/full";
  for (const char* option : {"--help", "--version"}) {
    const SessionResult r = run_with({option}, full);
    EXPECT_EQ(r.status, 1) << option;
    // No stand-in ran, so there is no complaint of theirs either.
    EXPECT_EQ(r.err, "cosmic-distances: write error: No space left on device\n") << option;
  }
}

// As any filter: a reader that has gone away ends the answer by SIGPIPE.
TEST(CommandLineSession, AnswerToAClosedPipeEndsBySigpipe) {
  SessionOptions closed;
  closed.close_output = true;
  const SessionResult killed = run_with({"--version"}, closed);
  EXPECT_EQ(killed.signal, SIGPIPE);
  EXPECT_EQ(killed.err, "");
}

TEST(CommandLineSession, OtherArgumentsLeaveTheSessionAsItIs) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"-x", "help"}, {"--helpx"}, {"--", "--version"}}) {
    const SessionResult r = run_with(arguments);
    EXPECT_EQ(r.out, START + text::MAIN) << arguments.front();
    EXPECT_EQ(r.status, 255) << arguments.front();
    EXPECT_EQ(r.err, "") << arguments.front();
  }
}

}  // namespace
