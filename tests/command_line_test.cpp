// The command line: --help and --version are answered on standard output
// with status 0 and nothing else happens (no clear, no date, no input read);
// a failed write is reported as everywhere; other arguments are ignored.
#include <signal.h>

#include "sessions.hpp"

namespace {

using namespace text;

// Choice 0 would end a session with 255: an answer must not read it.
const std::string CHOICE_ZERO = "0\n";

SessionResult run_with(std::vector<std::string> arguments, SessionOptions options = {}) {
  options.arguments = std::move(arguments);
  return run_session(CHOICE_ZERO, options);
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(CommandLineSession, HelpIsWrittenAndNothingRuns) {
  const SessionResult r = run_with({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("Usage: cosmic-distances", 0), 0U) << r.out;
  EXPECT_TRUE(has(r.out, "standard input"));
  EXPECT_TRUE(has(r.out, "man cosmic-distances"));
  EXPECT_EQ(r.out.back(), '\n');
  // The stand-ins would have left their markers; the menu was not shown.
  EXPECT_FALSE(has(r.out, "<clear>"));
  EXPECT_FALSE(has(r.out, "<date>"));
  EXPECT_FALSE(has(r.out, "COSMIC DISTANCES"));
}

TEST(CommandLineSession, ShortHelpIsTheSameHelp) {
  const SessionResult help = run_with({"--help"});
  const SessionResult h = run_with({"-h"});
  EXPECT_EQ(h.status, 0);
  EXPECT_EQ(h.out, help.out);
  EXPECT_EQ(h.err, "");
}

TEST(CommandLineSession, VersionIsWrittenAndNothingRuns) {
  const SessionResult r = run_with({"--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::string first = "cosmic-distances " COSMIC_PROJECT_VERSION "\nCopyright (c) ";
  EXPECT_EQ(r.out.compare(0, first.size(), first), 0) << r.out;
  EXPECT_TRUE(has(r.out, "MIT licence"));
  EXPECT_FALSE(has(r.out, "<clear>"));
  EXPECT_FALSE(has(r.out, "<date>"));
}

TEST(CommandLineSession, AnswerToAFullDeviceIsAWriteError) {
  SessionOptions full;
  full.stdout_path = "/dev/full";
  for (const char* option : {"--help", "--version"}) {
    const SessionResult r = run_with({option}, full);
    EXPECT_EQ(r.status, 1) << option;
    // No stand-in ran, so there is no complaint of theirs either.
    EXPECT_EQ(r.err, "cosmic-distances: write error: No space left on device\n") << option;
  }
}

TEST(CommandLineSession, AnswerToAClosedPipe) {
  SessionOptions closed;
  closed.close_output = true;
  const SessionResult killed = run_with({"--version"}, closed);
  EXPECT_EQ(killed.signal, SIGPIPE);
  EXPECT_EQ(killed.err, "");
  closed.ignore_sigpipe = true;
  const SessionResult ignored = run_with({"--version"}, closed);
  EXPECT_EQ(ignored.status, 1);
  EXPECT_EQ(ignored.err, "cosmic-distances: write error: Broken pipe\n");
}

// Anything but the three options, and the options after "--", leave the
// session exactly as without arguments.
TEST(CommandLineSession, OtherArgumentsAreIgnored) {
  const std::vector<std::vector<std::string>> others = {
      {"-x"}, {"help", "version"}, {"--helpx"}, {"-hv"}, {"--", "--help"}, {"-", "--", "-h"}};
  for (const auto& arguments : others) {
    const SessionResult r = run_with(arguments);
    EXPECT_EQ(r.out, START + MAIN) << arguments.front();
    EXPECT_EQ(r.status, 255) << arguments.front();
    EXPECT_EQ(r.err, "") << arguments.front();
  }
}

}  // namespace
