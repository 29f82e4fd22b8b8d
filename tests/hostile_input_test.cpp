// Input no user means to type: NUL and other control bytes, invalid UTF-8,
// lines of megabytes, numerals of a hundred megabytes, CRLF line ends and an
// input that keeps sending words that are not numbers. The program must
// treat all of it by the ordinary entry rules, in fixed memory, and end at
// the end of input.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sessions.hpp"

namespace {

using namespace text;
using namespace std::string_literals;

constexpr std::size_t MB = std::size_t{1} << 20;

// A program that kept a numeral, a word or a line in memory would need far
// more than this for the inputs below; the program itself needs far less.
constexpr long MEMORY_LIMIT_KB = 8 * 1024;

const std::string KM_PROMPT = "\nPlease enter a distance in kilometres:\\> ";
const std::string TO_LIGHT =
    MAIN + LIGHT + "\nCONVERT DISTANCES IN KM TO LIGHTDISTANCES\n" + KM_PROMPT;

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

  std::size_t size() const { return head.size() + piece.size() * count + tail.size(); }
  std::string build() const { return head + repeat(piece, count) + tail; }

  // Copies up to `room` bytes of the input from offset `from` to `out`.
  std::size_t copy(std::size_t from, char* out, std::size_t room) const {
    std::size_t copied = 0;
    while (copied < room && from < size()) {
      const std::size_t body = piece.size() * count;
      std::size_t n = 0;
      if (from < head.size()) {
        n = std::min(room - copied, head.size() - from);
        std::memcpy(out + copied, head.data() + from, n);
      } else if (from < head.size() + body) {
        // One piece (or its rest), then doubled: the copy repeats itself.
        const std::size_t at = (from - head.size()) % piece.size();
        const std::size_t want = std::min(room - copied, head.size() + body - from);
        n = std::min(want, piece.size() - at);
        std::memcpy(out + copied, piece.data() + at, n);
        if (at == 0) {
          while (n < want) {
            const std::size_t more = std::min(n, want - n);
            std::memcpy(out + copied + n, out + copied, more);
            n += more;
          }
        }
      } else {
        const std::size_t at = from - head.size() - body;
        n = std::min(room - copied, tail.size() - at);
        std::memcpy(out + copied, tail.data() + at, n);
      }
      copied += n;
      from += n;
    }
    return copied;
  }
};

Input text_of(const std::string& whole) {
  return {whole, "", 0, ""};
}

// Runs a session through the harness with standard output to a file. The
// inputs here are large and so are many of the answers, and the harness
// hands over the whole input before it reads more output: through a pipe,
// both sides would wait for each other.
SessionResult run(const std::string& input) {
  std::string path = testing::TempDir() + "cosmic-hostile-XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) {
    ADD_FAILURE() << "no temporary file";
    return {};
  }
  close(fd);
  SessionOptions options;
  options.stdout_path = path;
  SessionResult r = run_session(input, options);
  std::ifstream out(path, std::ios::binary);
  r.out.assign(std::istreambuf_iterator<char>(out), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  return r;
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

// What a streamed session gave: its output is counted, not kept.
struct Streamed {
  std::string head;  // the first HEAD_KEPT bytes of the output
  std::string tail;  // the last TAIL_KEPT bytes
  std::size_t size = 0;
  std::size_t complaints = 0;  // occurrences of INCORRECT
  std::string err;
  int status = -1;
  int signal = 0;
  long max_rss_kb = 0;
  long own_rss_kb = 0;  // this process's resident memory when it forked
};

constexpr std::size_t HEAD_KEPT = 4096;
constexpr std::size_t TAIL_KEPT = 4096;

void take_output(Streamed& r, std::string& carry, const char* data, std::size_t n) {
  if (r.head.size() < HEAD_KEPT) r.head.append(data, std::min(n, HEAD_KEPT - r.head.size()));
  r.size += n;
  // A complaint may straddle two reads: search the end of the last read too.
  std::string window = carry;
  window.append(data, n);
  for (std::size_t at = window.find(INCORRECT); at != std::string::npos;
       at = window.find(INCORRECT, at + INCORRECT.size()))
    ++r.complaints;
  carry = window.substr(window.size() - std::min(window.size(), INCORRECT.size() - 1));
  r.tail.append(data, n);
  if (r.tail.size() > TAIL_KEPT) r.tail.erase(0, r.tail.size() - TAIL_KEPT);
}

long resident_kb() {
  long pages = 0, resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return -1;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = -1;
  std::fclose(statm);
  return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs the program as the harness does (real pipes, the stand-ins first on
// PATH), but makes the input as it goes and counts the output as it comes,
// so that this process stays small: a child's peak resident memory counts
// the parent's memory it was forked from, and the harness keeps the whole
// input and output.
Streamed stream(const Input& input) {
  Streamed r;
  signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    ADD_FAILURE() << "pipe failed";
    return r;
  }
  std::vector<std::string> words = program_command();
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  const std::string path = std::string(COSMIC_STUBS) + ":" + (getenv("PATH") ? getenv("PATH") : "");
  r.own_rss_kb = resident_kb();
  const pid_t pid = fork();
  if (pid < 0) {
    ADD_FAILURE() << "fork failed";
    return r;
  }
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    signal(SIGPIPE, SIG_DFL);
    setenv("PATH", path.c_str(), 1);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  int to_child = in[1];
  fcntl(to_child, F_SETFL, O_NONBLOCK);
  int fds_open[2] = {out[0], err[0]};
  std::vector<char> chunk(1 << 16);
  std::size_t sent = 0, chunk_at = 0, chunk_end = 0;
  std::string carry;
  char buffer[1 << 16];
  while (to_child >= 0 || fds_open[0] >= 0 || fds_open[1] >= 0) {
    pollfd fds[3] = {{to_child, POLLOUT, 0}, {fds_open[0], POLLIN, 0}, {fds_open[1], POLLIN, 0}};
    if (poll(fds, 3, -1) < 0) {
      if (errno == EINTR) continue;
      ADD_FAILURE() << "poll failed";
      break;
    }
    if (to_child >= 0 && fds[0].revents) {
      if (chunk_at == chunk_end) {
        chunk_end = input.copy(sent, chunk.data(), chunk.size());
        chunk_at = 0;
      }
      const ssize_t n =
          chunk_end == 0 ? 0 : write(to_child, chunk.data() + chunk_at, chunk_end - chunk_at);
      if (n > 0) chunk_at += static_cast<std::size_t>(n), sent += static_cast<std::size_t>(n);
      const bool failed = n < 0 && errno != EAGAIN && errno != EINTR;
      if (failed || sent == input.size()) close(to_child), to_child = -1;
    }
    for (int i = 0; i < 2; ++i) {
      if (fds_open[i] < 0 || !fds[i + 1].revents) continue;
      const ssize_t n = read(fds_open[i], buffer, sizeof buffer);
      if (n <= 0) {
        close(fds_open[i]), fds_open[i] = -1;
      } else if (i == 0) {
        take_output(r, carry, buffer, static_cast<std::size_t>(n));
      } else {
        r.err.append(buffer, static_cast<std::size_t>(n));
      }
    }
  }
  SessionResult ending;
  wait_for_program(pid, ending);
  r.status = ending.status;
  r.signal = ending.signal;
  r.max_rss_kb = ending.max_rss_kb;
  return r;
}

// The child's peak counts the copy of this process it started as, so the
// peak says something about the program only while this process is smaller
// than the limit (as it is when the test runs on its own, as under CTest).
bool memory_is_checked(const Streamed& r) {
  return memory_is_measurable() && r.own_rss_kb >= 0 && r.own_rss_kb < MEMORY_LIMIT_KB;
}

void expect_small_memory(const Streamed& r) {
  if (memory_is_checked(r)) {
    EXPECT_LT(r.max_rss_kb, MEMORY_LIMIT_KB);
  }
}

struct HostileCase {
  const char* name;
  Input input;
  std::string expected;  // after START
  int status;
};

void PrintTo(const HostileCase& c, std::ostream* os) {
  *os << c.name;
}

class Hostile : public testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, Output) {
  const HostileCase& c = GetParam();
  const SessionResult r = run(c.input.build());
  expect_same(r.out, START + c.expected);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.err, "");
}

std::string hostile_name(const testing::TestParamInfo<HostileCase>& info) {
  return info.param.name;
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
    {"WordOfFourMegabytesWithoutNewline",
     {"", "a", 4 * MB, ""},
     MAIN + INCORRECT + PROMPT + END,
     0},
};
INSTANTIATE_TEST_SUITE_P(Bytes, Hostile, testing::ValuesIn(BYTES), hostile_name);

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
INSTANTIATE_TEST_SUITE_P(Numerals, Hostile, testing::ValuesIn(NUMERALS), hostile_name);

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
};

void PrintTo(const RealCase& c, std::ostream* os) {
  *os << c.name;
}

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

std::string real_name(const testing::TestParamInfo<RealCase>& info) {
  return info.param.name;
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
INSTANTIATE_TEST_SUITE_P(Reals, LongReal, testing::ValuesIn(REALS), real_name);

TEST(LongReal, RoundingDirectionIsVisibleInTheBreakdown) {
  // Otherwise the halfway cases above could not fail.
  EXPECT_NE(break_down(EVEN_BELOW).out, break_down(NEXT_ABOVE).out);
}

std::string replace_newlines(const std::string& input, const std::string& line_end) {
  std::string replaced;
  for (const char c : input) replaced += c == '\n' ? line_end : std::string(1, c);
  return replaced;
}

TEST(LineEnds, CarriageReturnLineFeedGivesTheSameSessions) {
  // Carriage returns are white space like any other: every session must
  // run as it does with plain line feeds.
  ASSERT_FALSE(all_sessions().empty());
  for (const SessionCase& c : all_sessions()) {
    SCOPED_TRACE(c.name);
    const SessionResult r = run(replace_newlines(c.input, "\r\n"));
    EXPECT_EQ(r.out, START + c.expected);
    EXPECT_EQ(r.status, c.status);
  }
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
};

void PrintTo(const EndlessCase& c, std::ostream* os) {
  *os << c.name;
}

class Endless : public testing::TestWithParam<EndlessCase> {};

TEST_P(Endless, EveryWordIsOneComplaint) {
  const EndlessCase& c = GetParam();
  // Seven words of one to a thousand bytes, none of them a number for any
  // of the prompts.
  const std::string block = "x abc - . +- nab " + std::string(1000, 'y') + "\n";
  const std::size_t blocks = c.megabytes * MB / block.size();
  const std::size_t words = 7 * blocks;
  const Streamed r = stream({c.lead_in, block, blocks, ""});
  EXPECT_EQ(r.complaints, words);
  // Every complaint is followed by its prompt, and nothing else is written.
  const std::string start = START + c.reached;
  const std::string complaint = INCORRECT + c.prompt;
  EXPECT_EQ(r.size, start.size() + words * complaint.size() + END.size());
  EXPECT_EQ(r.head, (start + repeat(complaint, HEAD_KEPT)).substr(0, HEAD_KEPT));
  const std::string last = repeat(complaint, TAIL_KEPT) + END;
  EXPECT_EQ(r.tail, last.substr(last.size() - TAIL_KEPT));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  expect_small_memory(r);
}

std::string endless_name(const testing::TestParamInfo<EndlessCase>& info) {
  return info.param.name;
}

const EndlessCase ENDLESS[] = {
    {"FiftyMegabytesAtTheMainMenu", "", MAIN, PROMPT, 50},
    {"FiveMegabytesAtTheKilometrePrompt", "3\n2\n", TO_LIGHT, KM_PROMPT, 5},
};
INSTANTIATE_TEST_SUITE_P(Words, Endless, testing::ValuesIn(ENDLESS), endless_name);

// The longest entries take no more memory than the shortest.
struct MemoryCase {
  const char* name;
  Input input;
  std::size_t complaints;
  int status;
};

void PrintTo(const MemoryCase& c, std::ostream* os) {
  *os << c.name;
}

class FixedMemory : public testing::TestWithParam<MemoryCase> {};

TEST_P(FixedMemory, HundredMegabyteEntry) {
  if (!memory_is_measurable()) GTEST_SKIP() << "resident memory is not measurable in this build";
  const MemoryCase& c = GetParam();
  const Streamed r = stream(c.input);
  EXPECT_EQ(r.complaints, c.complaints);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.err, "");
  if (!memory_is_checked(r)) GTEST_SKIP() << "the program's resident memory is not measurable here";
  EXPECT_LT(r.max_rss_kb, MEMORY_LIMIT_KB);
}

std::string memory_name(const testing::TestParamInfo<MemoryCase>& info) {
  return info.param.name;
}

const MemoryCase MEMORY[] = {
    {"NumeralAtTheMainMenu", {"", "9", 100 * MB, "\n0\n"}, 1, 255},
    {"RealAtTheKilometrePrompt", {"3\n2\n" + HALFWAY + ".", "0", 100 * MB, "1\n0\n"}, 0, 255},
    {"WordWithoutNewline", {"", "a", 100 * MB, ""}, 1, 0},
};
INSTANTIATE_TEST_SUITE_P(Memory, FixedMemory, testing::ValuesIn(MEMORY), memory_name);

}  // namespace
