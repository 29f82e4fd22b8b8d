// Every session in every shape its input can take: piped in whole, as a
// script gives it; a byte per read; typed at the prompts; with CR LF line
// ends; and cut after each of its entries. Each shape is one test of the
// Session fixture, so every table runs in all of them, as
// Prefix/Session.<Shape>/<name>, but the two that take the input entry by
// entry, SessionByEntry's, which run only the rows whose every word is one
// entry; each start of the program must give exactly the output and the
// status that the case says.
#include <cctype>

#include "session_table.hpp"

std::vector<SessionCase>& all_sessions() {
  static std::vector<SessionCase> cases;
  return cases;
}

namespace {

// One start of the program, and all that it must give.
struct Start {
  std::string input;
  SessionOptions options;
  std::string out;  // the whole of standard output
  int status;
};

void expect_starts(const std::vector<Start>& starts) {
  for (const Start& start : starts) {
    SCOPED_TRACE("input " + testing::PrintToString(start.input));
    const SessionResult r = run_session(start.input, start.options);
    ASSERT_FALSE(r.timed_out) << "the next prompt never came after:\n" << r.out;
    EXPECT_EQ(r.out, start.out);
    EXPECT_EQ(r.status, start.status);
    EXPECT_EQ(r.err, "");
  }
}

Start piped(const SessionCase& c) {
  return {c.input, {}, START + c.expected, c.status};
}

std::string replace_newlines(const std::string& input, const std::string& line_end) {
  std::string replaced;
  for (const char c : input) replaced += c == '\n' ? line_end : std::string(1, c);
  return replaced;
}

// Where each white-space separated word of `input` ends.
std::vector<std::size_t> word_ends(const std::string& input) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < input.size(); ++i) {
    const bool word = !std::isspace(static_cast<unsigned char>(input[i]));
    const bool last =
        i + 1 == input.size() || std::isspace(static_cast<unsigned char>(input[i + 1]));
    if (word && last) ends.push_back(i + 1);
  }
  return ends;
}

// The expected output up to the end of its `count`-th prompt.
std::string up_to_prompt(const std::string& output, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t n = 0; n < count; ++n) {
    at = output.find(":\\> ", at);
    if (at == std::string::npos) return "<no prompt " + std::to_string(count) + ">";
    at += 4;
  }
  return output.substr(0, at);
}

// The input cut after each of its entries, right after the word or after
// the white space that follows it: each start ends quietly at the next prompt.
std::vector<Start> cut_after_each_entry(const SessionCase& c) {
  const std::string full = START + c.expected;
  const std::vector<std::size_t> ends = word_ends(c.input);
  std::vector<Start> starts;
  for (std::size_t entries = 0; entries < ends.size(); ++entries) {
    std::size_t cut = entries == 0 ? 0 : ends[entries - 1];
    if (entries % 2 == 1 && cut < c.input.size()) ++cut;
    starts.push_back({c.input.substr(0, cut), {}, up_to_prompt(full, entries + 1) + "\n", 0});
  }
  return starts;
}

}  // namespace

TEST_P(Session, Output) {
  expect_starts({piped(GetParam())});
}

// However the input arrives, a byte per read included, a read returns
// entries, not the end of input.
TEST_P(Session, OneBytePerRead) {
  Start start = piped(GetParam());
  start.options.one_byte_per_read = true;
  expect_starts({start});
}

// Every prompt is on the screen before the program waits for its entry: a
// person types each entry only once its prompt is there, and a prompt left
// in the program's buffer would leave both waiting.
TEST_P(SessionByEntry, TypedAtThePrompts) {
  Start start = piped(GetParam());
  start.options.type_at_prompts = true;
  expect_starts({start});
}

// Carriage returns are white space like any other: every session must run
// as it does with plain line feeds.
TEST_P(Session, CarriageReturnLineFeeds) {
  Start start = piped(GetParam());
  start.input = replace_newlines(start.input, "\r\n");
  expect_starts({start});
}

// The end of input at any prompt.
TEST_P(SessionByEntry, EndOfInputAfterEachEntry) {
  expect_starts(cut_after_each_entry(GetParam()));
}
