// Start-up, the main menu, the light-distance sub-menu and the reading rules
// every prompt shares.
#include "session_table.hpp"

namespace {

using namespace text;

const SessionCase CONSOLE[] = {
    {"ChoiceZeroExitsWith255", "0\n", MAIN, 255},
    {"EmptyInputEndsWithStatus0", "", MAIN + END, 0},
    // Input of one byte, which the program gets in a read of one byte.
    {"SingleByteZeroExitsWith255", "0", MAIN, 255},
    {"SingleByteThreeOpensTheLightMenu", "3", MAIN + LIGHT + END, 0},
    {"SingleByteNonNumberComplains", "x", MAIN + INCORRECT + PROMPT + END, 0},
    {"OnlyWhiteSpaceEndsWithStatus0", " \n\t \n", MAIN + END, 0},
    {"NonNumberComplainsAndAsksAgain", "abc\n0\n", MAIN + INCORRECT + PROMPT, 255},
    {"NonNumberRightBeforeTheEnd", "abc", MAIN + INCORRECT + PROMPT + END, 0},
    {"LoneSignIsNoNumber", "- + .\n0\n",
     MAIN + INCORRECT + PROMPT + INCORRECT + PROMPT + INCORRECT + PROMPT, 255},
    {"HexadecimalTwoOpensThePlanets", "0x2\n0\n0\n", MAIN + PLANET_SUB + MAIN, 255},
    {"LeadingZeroIsOctalSoTenIsEight", "010\n0\n", MAIN + INCORRECT + MAIN, 255},
    {"ZeroEightIsOctalZeroAndEnds", "08\n", MAIN, 255, false},
    {"MinusOneIsIncorrect", "-1\n0\n", MAIN + INCORRECT + MAIN, 255},
    {"FourIsIncorrect", "4\n0\n", MAIN + INCORRECT + MAIN, 255},
    {"HugeNumeralSaturatesInsteadOfWrapping", "4294967297\n0\n", MAIN + INCORRECT + MAIN, 255},
    {"HugeNegativeNumeralSaturates", "-4294967296\n0\n", MAIN + INCORRECT + MAIN, 255},
    {"TwoEntriesOnOneLine", "7 2\n0\n0\n", MAIN + INCORRECT + MAIN + PLANET_SUB + MAIN, 255},
    {"TrailingTextIsTheNextEntry", "12abc\n0\n", MAIN + INCORRECT + MAIN + INCORRECT + PROMPT, 255,
     false},
    {"LightMenuCancelReturnsSilently", "3\n0\n0\n", MAIN + LIGHT + MAIN, 255},
    {"LightMenuIncorrectReturnsToMainMenu", "3\n7\n0\n", MAIN + LIGHT + INCORRECT + MAIN, 255},
    {"LightMenuThreeIsIncorrect", "3\n3\n0\n", MAIN + LIGHT + INCORRECT + MAIN, 255},
    {"LightMenuMinusOneIsIncorrect", "3\n-1\n0\n", MAIN + LIGHT + INCORRECT + MAIN, 255},
    {"LightMenuNonNumberAsksAgain", "3\nxyz\n0\n0\n", MAIN + LIGHT + INCORRECT + PROMPT + MAIN,
     255},
    {"EndOfInputAtLightMenu", "3\n", MAIN + LIGHT + END, 0},
    {"CarriageReturnsAreWhiteSpace", "3\r\n0\r\n0\r\n", MAIN + LIGHT + MAIN, 255},
};
SESSIONS(Console, CONSOLE);

}  // namespace

// A caller may leave standard input non-blocking; "nothing yet" is neither
// the end of input nor a read error.
TEST(ConsoleInput, NonBlockingInputIsWaitedFor) {
  SessionOptions options;
  options.nonblocking_input = true;
  options.input_delay_ms = 200;
  const SessionResult r = run_session("3\n0\n0\n", options);
  EXPECT_EQ(r.out, START + text::MAIN + text::LIGHT + text::MAIN);
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.err, "");
}

// Standard input that cannot be read at all is an error, not the end; the
// prompt's line is ended before the message, as at the end of input.
TEST(ConsoleInput, UnreadableInputIsAReadError) {
  SessionOptions options;
  options.stdin_path = "/";  // reading a directory fails
  const SessionResult r = run_session("", options);
  EXPECT_EQ(r.out, START + text::MAIN + text::END);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "cosmic-distances: read error: Is a directory\n");
}

// Input and output both far larger than a pipe holds: the harness must feed
// and drain at once, or the two sides wait on each other for ever.
TEST(ConsoleInput, LargeInputAndOutputDoNotDeadlock) {
  std::string input;
  for (int i = 0; i < 20000; ++i) input += "3\n0\n";
  const SessionResult r = run_session(input + "0\n");
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out.size(),
            START.size() + 20000 * (text::MAIN + text::LIGHT).size() + text::MAIN.size());
}
