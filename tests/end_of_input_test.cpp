// The end of input at any prompt: for every session, the input cut after
// each of its entries must end the program quietly at the next prompt.
#include <cctype>

#include "session_table.hpp"

namespace {

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

// The sessions to which cutting applies: a word that holds more than one
// entry (`12abc`) cannot be cut between its entries.
std::vector<SessionCase> cuttable_sessions() {
  std::vector<SessionCase> cases;
  for (const SessionCase& c : all_sessions()) {
    if (c.one_entry_per_word) cases.push_back(c);
  }
  return cases;
}

class EndOfInput : public testing::TestWithParam<SessionCase> {};

TEST_P(EndOfInput, EndsQuietlyAtTheNextPrompt) {
  const SessionCase& c = GetParam();
  const std::string full = START + c.expected;
  const std::vector<std::size_t> ends = word_ends(c.input);
  for (std::size_t entries = 0; entries < ends.size(); ++entries) {
    // Cut right after the word, or after the white space that follows it.
    std::size_t cut = entries == 0 ? 0 : ends[entries - 1];
    if (entries % 2 == 1 && cut < c.input.size()) ++cut;
    const SessionResult r = run_session(c.input.substr(0, cut));
    SCOPED_TRACE("input cut after " + std::to_string(entries) + " entries");
    EXPECT_EQ(r.out, up_to_prompt(full, entries + 1) + "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
  }
}

NAMED_CASES(AllSessions, EndOfInput, cuttable_sessions());

}  // namespace
