// Input no user means to type: NUL and other control bytes, invalid UTF-8,
// lines of megabytes, numerals of a hundred megabytes, CRLF line ends and an
// input that keeps sending words that are not numbers. The program must
// treat all of it by the ordinary entry rules, in fixed memory, and end at
// the end of input.
#include <string>

#include "session_table.hpp"

namespace {

using namespace text;
using namespace std::string_literals;

constexpr std::size_t MB = std::size_t{1} << 20;

// Every run here gets this much address space, where it can be limited: the
// program needs less than half of it, while one that kept a numeral, a word
// or a line in memory would need far more for the inputs below.
constexpr std::size_t MEMORY_LIMIT = 8 * MB;

std::string repeat(const std::string& piece, std::size_t times) {
  std::string all;
  all.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) all += piece;
  return all;
}

// An input of `head`, `count` times `piece`, and `tail`: the tables hold
// the recipe, and the megabytes exist only while their test runs.
struct Input {
  std::string head;
  std::string piece;
  std::size_t count = 0;
  std::string tail;

  std::string build() const { return head + repeat(piece, count) + tail; }
};

Input text_of(const std::string& whole) {
  return {whole, "", 0, ""};
}

SessionResult run(const std::string& input) {
  SessionOptions options;
  if (memory_can_be_limited()) options.memory_limit = MEMORY_LIMIT;
  return run_session(input, options);
}

// Like EXPECT_EQ, but tells where texts of megabytes part instead of
// printing them whole.
void expect_same(const std::string& actual, const std::string& expected) {
  if (actual == expected) return;
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  const std::size_t from = at < 40 ? 0 : at - 40;
  ADD_FAILURE() << "output of " << actual.size() << " bytes, expected " << expected.size()
                << "; they part at byte " << at
                << "\n  actual:   " << testing::PrintToString(actual.substr(from, 120))
                << "\n  expected: " << testing::PrintToString(expected.substr(from, 120));
}

struct HostileCase {
  const char* name;
  Input input;
  std::string expected;  // after START
  int status;
  friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};

class Hostile : public testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, Output) {
  const HostileCase& c = GetParam();
  const SessionResult r = run(c.input.build());
  expect_same(r.out, START + c.expected);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.err, "");
}

const std::string TWICE_INCORRECT = INCORRECT + PROMPT + INCORRECT + PROMPT;

// Bytes that are not white space in the C locale belong to a word, and a word
// that is not a number is one complaint, whatever the bytes are.
const HostileCase BYTES[] = {
    {"NulBytesAreWordBytes", text_of("\0\0x\0 \0\n0\n"s), MAIN + TWICE_INCORRECT, 255},
    {"NulRightAfterANumeralIsTheNextEntry", text_of("3\0 0\n0\n"s),
     MAIN + LIGHT + INCORRECT + PROMPT + MAIN, 255},
    {"InvalidUtf8WordsAreOneComplaintEach",
     text_of("\xff\xfe \xc3 \xc0\xaf \xed\xa0\x80 \xf8\x88\x80\x80\x80\n0\n"),
     MAIN + repeat(INCORRECT + PROMPT, 5), 255},
    {"NoBreakSpaceAndNextLineAreNotWhiteSpace", text_of("\xa0 \x85 \xc2\xa0 \xe2\x80\x83\n0\n"),
     MAIN + repeat(INCORRECT + PROMPT, 4), 255},
    {"UnicodeDigitsAreNotDigits", text_of("\xd9\xa3 \xef\xbc\x93\n0\n"), MAIN + TWICE_INCORRECT,
     255},
    {"EscapeSequenceDeleteAndControlD", text_of("\x1b[A \x7f \x04\n0\n"),
     MAIN + repeat(INCORRECT + PROMPT, 3), 255},
    {"InvalidByteEndsAKilometreNumeral", text_of("3\n2\n1\xff\n0\n"),
     TO_LIGHT +
         "\nThe given distance equals\n0 lightyears\n0 lightmonths\n0 lightweeks\n0 lightdays\n"
         "0 lighthours\n0 lightminutes\n0.000003 lightseconds\n" +
         MAIN + INCORRECT + PROMPT,
     255},
    {"WordOfHundredMegabytesWithoutNewline",
     {"", "a", 100 * MB, ""},
     MAIN + INCORRECT + PROMPT + END,
     0},
};
NAMED_CASES(Bytes, Hostile, BYTES);

TEST(LongLine, HundredThousandEntriesWithoutNewline) {
  const SessionResult r = run(repeat("7 ", 100000) + "0");
  expect_same(r.out, START + MAIN + repeat(INCORRECT + MAIN, 100000));
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "");
}

// Integers beyond the 32-bit range count as the nearest limit however long
// they are, and are read in fixed memory; leading zeros are no magnitude.
const HostileCase NUMERALS[] = {
    {"HundredMegabyteNumeralIsTheLargestInteger",
     {"", "9", 100 * MB, "\n0\n"},
     MAIN + INCORRECT + MAIN,
     255},
    {"TenMegabyteNegativeNumeral", {"-", "9", 10 * MB, "\n0\n"}, MAIN + INCORRECT + MAIN, 255},
    {"TenMegabyteHexadecimalNumeral", {"0x", "f", 10 * MB, "\n0\n"}, MAIN + INCORRECT + MAIN, 255},
    {"TenMegabyteOctalNumeral", {"0", "7", 10 * MB, "\n0\n"}, MAIN + INCORRECT + MAIN, 255},
    {"TenMegabytesOfZerosAreChoiceZero", {"", "0", 10 * MB, "\n"}, MAIN, 255},
    {"HexadecimalThreeAfterTenMegabytesOfZeros",
     {"0x", "0", 10 * MB, "3\n0\n0\n"},
     MAIN + LIGHT + MAIN,
     255},
    {"SignedThreeAfterTenMegabytesOfZeros",
     {"+", "0", 10 * MB, "3\n0\n0\n"},
     MAIN + LIGHT + MAIN,
     255},
};
NAMED_CASES(Numerals, Hostile, NUMERALS);

// The breakdown the program gives for a distance entered as `numeral`.
SessionResult break_down(const std::string& numeral) {
  return run("3\n2\n" + numeral + "\n0\n");
}

// A long real must give exactly what the short numeral of its correctly
// rounded value gives.
struct RealCase {
  const char* name;
  Input numeral;
  std::string same_as;
  friend void PrintTo(const RealCase& c, std::ostream* os) { *os << c.name; }
};

class LongReal : public testing::TestWithParam<RealCase> {};

TEST_P(LongReal, IsCorrectlyRounded) {
  const RealCase& c = GetParam();
  const SessionResult r = break_down(c.numeral.build());
  const SessionResult expected = break_down(c.same_as);
  ASSERT_EQ(expected.status, 255);
  expect_same(r.out, expected.out);
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "");
}

// 2^56 + 8 lies halfway between the doubles 2^56 and 2^56 + 16 (whose
// breakdowns differ, see below): exactly halfway it rounds to the even 2^56,
// any non-zero digit however far behind it rounds it up.
const std::string HALFWAY = "72057594037927944";
const std::string EVEN_BELOW = "72057594037927936";
const std::string NEXT_ABOVE = "72057594037927952";
constexpr std::size_t TEN_MB = 10 * MB;

const RealCase REALS[] = {
    {"HundredMegabytesPastHalfwayRoundUp", {HALFWAY + ".", "0", 100 * MB, "1"}, NEXT_ABOVE},
    {"TenMegabytesOfZerosAfterHalfwayStayEven", {HALFWAY + ".", "0", TEN_MB, ""}, EVEN_BELOW},
    {"IntegerDigitThousandsPastHalfwayRoundsUp", {HALFWAY, "0", 5000, "1e-5001"}, NEXT_ABOVE},
    {"IntegerZerosThousandsPastHalfwayStayEven", {HALFWAY, "0", 5001, "e-5001"}, EVEN_BELOW},
    {"TenMegabytesOfLeadingZeros", {"", "0", TEN_MB, "299792.46"}, "299792.46"},
    {"OneWithTenMegabytesOfZerosScaledBack",
     {"1", "0", TEN_MB, "e-" + std::to_string(TEN_MB)},
     "1"},
    {"TenMegabytesOfFractionZerosScaledBack",
     {"0.", "0", TEN_MB, "1e" + std::to_string(TEN_MB + 1)},
     "1"},
    {"HexadecimalOneWithTenMegabytesOfZerosScaledBack",
     {"0x1", "0", TEN_MB, "p-" + std::to_string(4 * TEN_MB)},
     "1"},
    {"TenMegabytesOfFractionZerosUnderflowToZero", {"0.", "0", TEN_MB, "1"}, "0"},
    {"OneWithTenMegabytesOfZerosOverflowsToInfinity", {"1", "0", TEN_MB, ""}, "inf"},
};
NAMED_CASES(Reals, LongReal, REALS);

TEST(LongReal, RoundingDirectionIsVisibleInTheBreakdown) {
  // Otherwise the halfway cases above could not fail.
  EXPECT_NE(break_down(EVEN_BELOW).out, break_down(NEXT_ABOVE).out);
}

TEST(LineEnds, LoneCarriageReturnsAndOtherWhiteSpaceSeparateEntries) {
  const SessionResult r = run("3\r2\v299792.46\f0\t");
  const SessionResult expected = run("3\n2\n299792.46\n0\n");
  EXPECT_EQ(r.out, expected.out);
  EXPECT_EQ(r.status, 255);
}

// Words that are not numbers, sent on and on: each is one complaint and is
// consumed, so the program moves through the input and ends at its end.
struct EndlessCase {
  const char* name;
  std::string lead_in;  // input that reaches the prompt
  std::string reached;  // output up to that prompt, after START
  std::string prompt;   // written again after each complaint
  std::size_t megabytes;
  friend void PrintTo(const EndlessCase& c, std::ostream* os) { *os << c.name; }
};

class Endless : public testing::TestWithParam<EndlessCase> {};

TEST_P(Endless, EveryWordIsOneComplaint) {
  const EndlessCase& c = GetParam();
  // Seven words of one to a thousand bytes, none of them a number for any
  // of the prompts.
  const std::string block = "x abc - . +- nab " + std::string(1000, 'y') + "\n";
  const std::size_t blocks = c.megabytes * MB / block.size();
  const std::size_t words = 7 * blocks;
  const SessionResult r = run(c.lead_in + repeat(block, blocks));
  // Every complaint is followed by its prompt, and nothing else is written.
  expect_same(r.out, START + c.reached + repeat(INCORRECT + c.prompt, words) + END);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

const EndlessCase ENDLESS[] = {
    {"FiftyMegabytesAtTheMainMenu", "", MAIN, PROMPT, 50},
    {"FiveMegabytesAtTheKilometrePrompt", "3\n2\n", TO_LIGHT, KM_PROMPT, 5},
};
NAMED_CASES(Words, Endless, ENDLESS);

// The memory limit above must bite, or the runs under it would prove nothing.
TEST(MemoryLimit, TooSmallALimitStopsTheProgram) {
  if (!memory_can_be_limited()) GTEST_SKIP() << "the address space cannot be limited in this build";
  SessionOptions options;
  options.memory_limit = MB;
  EXPECT_NE(run_session("0\n", options).status, 255);
  options.memory_limit = MEMORY_LIMIT;
  EXPECT_EQ(run_session("0\n", options).status, 255);
}

}  // namespace
