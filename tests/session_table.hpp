// Session cases: one row each, an input and the whole output the program
// must give for it. Expected texts are assembled from the fragments below,
// written out from the program's documented dialogs, never from its output.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session.hpp"

// A parameterised case shows as its name, in the test's name and wherever a
// failure prints the case: each case type begins with `const char* name`
// (a plain first member, so that its table's rows need no inner braces) and
// has a PrintTo friend, which beats the library's byte dump.

// Instantiates `fixture` over a table of such cases, one test per row,
// named Prefix/Fixture.Test/<name>.
#define NAMED_CASES(prefix, fixture, table)                           \
  INSTANTIATE_TEST_SUITE_P(prefix, fixture, testing::ValuesIn(table), \
                           [](const auto& info) { return std::string(info.param.name); })

struct SessionCase {
  const char* name;
  std::string input;
  std::string expected;  // standard output after START
  int status;
  // Each white-space separated word of the input is exactly one entry, so
  // the input can be typed a word at a time, and cutting it after any word
  // must end the session at the next prompt (SessionByEntry's shapes, which
  // a word that holds more than one entry, `12abc`, leaves out).
  bool one_entry_per_word = true;
  friend void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }
};

// Every registered case, for tests that run all sessions in other ways.
std::vector<SessionCase>& all_sessions();

struct SessionRegistration {
  template <std::size_t N>
  explicit SessionRegistration(const SessionCase (&cases)[N]) {
    all_sessions().insert(all_sessions().end(), cases, cases + N);
  }
};

class Session : public testing::TestWithParam<SessionCase> {};
// The shapes that take the input entry by entry, for the rows whose every
// word is one entry.
class SessionByEntry : public Session {};

template <std::size_t N>
std::vector<SessionCase> one_entry_per_word(const SessionCase (&cases)[N]) {
  std::vector<SessionCase> rows;
  for (const SessionCase& c : cases)
    if (c.one_entry_per_word) rows.push_back(c);
  return rows;
}

// Runs a table of cases in every shape of session_table.cpp that applies to
// each row, as tests named Prefix/Session.<Shape>/<name> and
// Prefix/SessionByEntry.<Shape>/<name>.
#define SESSIONS(prefix, table)                                   \
  NAMED_CASES(prefix, Session, table);                            \
  NAMED_CASES(prefix, SessionByEntry, one_entry_per_word(table)); \
  static const SessionRegistration prefix##_registration(table)

// Fragments of the dialogs.
namespace text {

inline const std::string PROMPT = "\nPlease select an item from the menu:\\> ";
inline const std::string MAIN =
    "\n\nCOSMIC DISTANCES\n"
    "\n1\tsun to sun distances\n2\tdistances within our solar "
    "system\n3\tlightdistances\n0\texit\n\n" +
    PROMPT;
inline const std::string INCORRECT = "\nincorrect entry!\a\n";
inline const std::string LIGHT =
    "\nLIGHTDISTANCES\n"
    "\n1\tconverting lightdistances to kilometres\n2\tconverting kilometres to lightdistances\n"
    "0\tcancel\n" +
    PROMPT;
inline const std::string PLANET_SUB =
    "\n\nTHE PLANETS OF OUR SOLAR SYSTEM\n\n1\tsingle distance\n2\tcomplete list\n0\tcancel\n" +
    PROMPT;
inline const std::string KM_PROMPT = "\nPlease enter a distance in kilometres:\\> ";
// From the start to the kilometre prompt of the breakdown into light time.
inline const std::string TO_LIGHT =
    MAIN + LIGHT + "\nCONVERT DISTANCES IN KM TO LIGHTDISTANCES\n" + KM_PROMPT;
// At the end of input the program ends the waiting prompt's line.
inline const std::string END = "\n";

inline const std::string STARS = "******************************************************";
inline const std::string EQUALS = "======================================================\n";

}  // namespace text
