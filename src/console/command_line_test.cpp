// The command line: what it asks for, and the answers written for it,
// taken from the in-memory platform as the program writes them.
#include "console/command_line.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "console/output.hpp"
#include "memory_platform.hpp"

namespace {

// requested() over "cosmic-distances" followed by `arguments`.
Request request_for(std::initializer_list<const char*> arguments) {
  std::vector<const char*> argv{"cosmic-distances"};
  argv.insert(argv.end(), arguments);
  const int argc = static_cast<int>(argv.size());
  argv.push_back(nullptr);
  return requested(argc, argv.data());
}

TEST(CommandLine, NoArgumentsRunsTheProgram) {
  EXPECT_EQ(request_for({}), Request::run);
  // A caller may start it with no name at all.
  const char* const empty[] = {nullptr};
  EXPECT_EQ(requested(0, empty), Request::run);
}

TEST(CommandLine, HelpAndVersionAreRecognisedAnywhere) {
  EXPECT_EQ(request_for({"--help"}), Request::help);
  EXPECT_EQ(request_for({"-h"}), Request::help);
  EXPECT_EQ(request_for({"--version"}), Request::version);
  EXPECT_EQ(request_for({"ignored", "--version"}), Request::version);
  EXPECT_EQ(request_for({"-x", "extra", "-h"}), Request::help);
}

TEST(CommandLine, TheFirstOfHelpAndVersionDecides) {
  EXPECT_EQ(request_for({"--help", "--version"}), Request::help);
  EXPECT_EQ(request_for({"--version", "-h"}), Request::version);
}

TEST(CommandLine, EveryOtherArgumentIsIgnored) {
  for (const char* other : {"", "-", "help", "version", "--hel", "--helpx", "-hv", "-H", "--Help",
                            "-v", "-V", "--versions", "-help", "--help=yes"}) {
    EXPECT_EQ(request_for({other}), Request::run) << '"' << other << '"';
  }
}

TEST(CommandLine, DoubleDashEndsTheOptions) {
  EXPECT_EQ(request_for({"--", "--help"}), Request::run);
  EXPECT_EQ(request_for({"--", "--version"}), Request::run);
  EXPECT_EQ(request_for({"--version", "--"}), Request::version);
}

// What the program writes on standard output to answer `request`, which
// must end it with status 0.
std::string answer_to(Request request) {
  memory_platform::output_failure = 0;
  flush_output();
  memory_platform::writes.clear();
  EXPECT_EQ(memory_platform::status_of([request] { answer(request); }), 0);
  std::string written;
  for (const memory_platform::Write& write : memory_platform::writes) {
    EXPECT_EQ(write.stream, platform::Stream::output);
    written += write.bytes;
  }
  return written;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CommandLine, HelpIsAShortUsageThatFitsATerminal) {
  const std::string help = answer_to(Request::help);
  ASSERT_FALSE(help.empty());
  EXPECT_EQ(help.back(), '\n');
  EXPECT_EQ(help.rfind("Usage: cosmic-distances", 0), 0U);
  for (const char* mentioned : {"interactive", "standard input", "--help", "--version",
                                "Exit status", "255", "man cosmic-distances"}) {
    EXPECT_NE(help.find(mentioned), std::string::npos) << mentioned;
  }
  for (const std::string& line : lines_of(help)) {
    EXPECT_LE(line.size(), 80U) << line;
    EXPECT_EQ(line.find('\t'), std::string::npos) << line;
  }
}

// LICENSE's own copyright line, read afresh.
std::string licence_copyright() {
  std::ifstream licence(COSMIC_LICENSE_FILE);
  for (std::string line; std::getline(licence, line);) {
    if (line.rfind("Copyright (c) ", 0) == 0) return line;
  }
  return "<no copyright line in " COSMIC_LICENSE_FILE ">";
}

TEST(CommandLine, VersionNamesTheProjectsVersionCopyrightAndLicence) {
  const std::vector<std::string> lines = lines_of(answer_to(Request::version));
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[0], "cosmic-distances " COSMIC_PROJECT_VERSION);
  EXPECT_EQ(lines[1], licence_copyright());
  EXPECT_NE(lines[2].find("MIT licence"), std::string::npos) << lines[2];
}

}  // namespace
