#include "console/scan.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

// Hands out its text one byte per refill, each byte in a buffer of its own,
// so a scanner that reads past `end` sees garbage rather than the next byte.
struct TrickleStream : ByteStream {
  const char* next;
  const char* last;
  unsigned char byte;
};

bool trickle(ByteStream& stream) {
  auto& t = static_cast<TrickleStream&>(stream);
  if (t.next == t.last) return false;
  t.byte = static_cast<unsigned char>(*t.next++);
  t.cur = &t.byte;
  t.end = t.cur + 1;
  return true;
}

struct Outcome {
  ScanResult result;
  std::uint64_t value;   // the int, or the double's bits; a sentinel if untouched
  std::size_t consumed;  // bytes the stream has moved past
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* os) {
  *os << "{result " << static_cast<int>(o.result) << ", value 0x" << std::hex << o.value << std::dec
      << ", consumed " << o.consumed << "}";
}

constexpr int INT_SENTINEL = 0x5eed;
constexpr double REAL_SENTINEL = 0x1.5eedp-3;

std::uint64_t bits(double d) {
  std::uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}
std::uint64_t bits(int i) {
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(i));
}

// Scans one entry of `text` as "%i" (from_prefix), "%d" (decimal) or, with
// real set, "%lf"; over memory, or a byte at a time.
Outcome scan(const std::string& text, IntegerBase base, bool real, bool byte_at_a_time = false) {
  TrickleStream t{};
  t.next = text.data();
  t.last = text.data() + text.size();
  t.refill = trickle;
  ByteStream memory = memory_stream(text.data(), text.size());
  ByteStream& in = byte_at_a_time ? static_cast<ByteStream&>(t) : memory;
  int i = INT_SENTINEL;
  double d = REAL_SENTINEL;
  const ScanResult r = real ? scan_real(in, &d) : scan_integer(in, base, &i);
  const std::size_t delivered = byte_at_a_time ? t.next - text.data() : text.size();
  return {r, real ? bits(d) : bits(i), delivered - static_cast<std::size_t>(in.end - in.cur)};
}
Outcome scan_i(const std::string& text) {
  return scan(text, IntegerBase::from_prefix, false);
}
Outcome scan_d(const std::string& text) {
  return scan(text, IntegerBase::decimal, false);
}
Outcome scan_lf(const std::string& text) {
  return scan(text, IntegerBase::decimal, true);
}
double real_of(const std::string& text) {
  double d = REAL_SENTINEL;
  ByteStream in = memory_stream(text.data(), text.size());
  EXPECT_EQ(scan_real(in, &d), ScanResult::number) << text.substr(0, 40);
  EXPECT_EQ(in.cur, in.end) << text.substr(0, 40);
  return d;
}

constexpr ScanResult NUM = ScanResult::number;
constexpr ScanResult NO = ScanResult::no_number;
constexpr ScanResult END = ScanResult::end_of_input;

struct IntCase {
  const char* text;
  Outcome as_i, as_d;
};

TEST(ScanInteger, ConsumesWhatGlibcConsumesAndSaturates) {
  const IntCase cases[] = {
      {"  \t\n\v\f\r42", {NUM, 42, 9}, {NUM, 42, 9}},
      {"08", {NUM, 0, 1}, {NUM, 8, 2}},
      {"0xg", {NUM, 0, 2}, {NUM, 0, 1}},
      {"0x10", {NUM, 16, 4}, {NUM, 0, 1}},
      {"-0x", {NUM, 0, 3}, {NUM, 0, 2}},
      {"0777", {NUM, 511, 4}, {NUM, 777, 4}},
      {"12abc", {NUM, 12, 2}, {NUM, 12, 2}},
      {"+7 8", {NUM, 7, 2}, {NUM, 7, 2}},
      {"2147483647", {NUM, 2147483647, 10}, {NUM, 2147483647, 10}},
      {"2147483648", {NUM, 2147483647, 10}, {NUM, 2147483647, 10}},
      {"-2147483648", {NUM, bits(INT_MIN), 11}, {NUM, bits(INT_MIN), 11}},
      {"4294967297", {NUM, 2147483647, 10}, {NUM, 2147483647, 10}},
      {"-99999999999", {NUM, bits(INT_MIN), 12}, {NUM, bits(INT_MIN), 12}},
      {"99999999999999999999999999", {NUM, 2147483647, 26}, {NUM, 2147483647, 26}},
      {"0x7fffffff", {NUM, 2147483647, 10}, {NUM, 0, 1}},
      {"0x80000000", {NUM, 2147483647, 10}, {NUM, 0, 1}},
      {"-0x80000000", {NUM, bits(INT_MIN), 11}, {NUM, 0, 2}},
      {"-0X80000001", {NUM, bits(INT_MIN), 11}, {NUM, 0, 2}},
      {"0x100000000", {NUM, 2147483647, 11}, {NUM, 0, 1}},
      {"017777777777", {NUM, 2147483647, 12}, {NUM, 2147483647, 12}},
      {"-020000000000", {NUM, bits(INT_MIN), 13}, {NUM, bits(INT_MIN), 13}},
      {"020000000000", {NUM, 2147483647, 12}, {NUM, 2147483647, 12}},
      {"abc 5", {NO, bits(INT_SENTINEL), 3}, {NO, bits(INT_SENTINEL), 3}},
      {"-", {NO, bits(INT_SENTINEL), 1}, {NO, bits(INT_SENTINEL), 1}},
      {"+x", {NO, bits(INT_SENTINEL), 2}, {NO, bits(INT_SENTINEL), 2}},
      {" - 5", {NO, bits(INT_SENTINEL), 2}, {NO, bits(INT_SENTINEL), 2}},
      {"", {END, bits(INT_SENTINEL), 0}, {END, bits(INT_SENTINEL), 0}},
      {" \n\t ", {END, bits(INT_SENTINEL), 4}, {END, bits(INT_SENTINEL), 4}},
  };
  for (const IntCase& c : cases) {
    EXPECT_EQ(scan_i(c.text), c.as_i) << '"' << c.text << "\" as %i";
    EXPECT_EQ(scan_d(c.text), c.as_d) << '"' << c.text << "\" as %d";
  }
}

struct RealCase {
  const char* text;
  Outcome as_lf;
};

TEST(ScanReal, ConsumesWhatGlibcConsumes) {
  const std::uint64_t untouched = bits(REAL_SENTINEL);
  const RealCase cases[] = {
      {"1.5", {NUM, bits(1.5), 3}},
      {"3e8", {NUM, bits(3e8), 3}},
      {".5", {NUM, bits(0.5), 2}},
      {"1.5.3", {NUM, bits(1.5), 3}},
      {"1e5.3", {NUM, bits(1e5), 3}},
      {"inf", {NUM, bits(INFINITY), 3}},
      {"infx", {NUM, bits(INFINITY), 3}},
      {"-infinity", {NUM, bits(-INFINITY), 9}},
      {"0x1p3", {NUM, bits(8.0), 5}},
      {"0x.e", {NUM, bits(0.875), 4}},
      {"0X1P+1", {NUM, bits(2.0), 6}},
      {"0x1e3p1", {NUM, bits(966.0), 7}},
      {"0x.", {NUM, bits(0.0), 3}},
      {"-0x.", {NUM, bits(-0.0), 4}},
      {"1ex", {NUM, bits(1.0), 2}},
      {"1e+x", {NUM, bits(1.0), 3}},
      {"1e+-5", {NUM, bits(1.0), 3}},
      {"08", {NUM, bits(8.0), 2}},
      {"-0", {NUM, bits(-0.0), 2}},
      {"1e400", {NUM, bits(INFINITY), 5}},
      {"1e999999999999999999", {NUM, bits(INFINITY), 20}},
      {"-1e-9999", {NUM, bits(-0.0), 8}},
      {"1e-99999999999999", {NUM, bits(0.0), 17}},
      {"0e99999999999999999999", {NUM, bits(0.0), 22}},
      {"0x1p99999999999999999999", {NUM, bits(INFINITY), 24}},
      {"0.0000000000000000000000000001e28", {NUM, bits(1.0), 33}},
      {"0xg", {NO, untouched, 3}},
      {"0xp3", {NO, untouched, 4}},
      {"infinix", {NO, untouched, 7}},
      {"infin 5", {NO, untouched, 5}},
      {"na 5", {NO, untouched, 2}},
      {"+", {NO, untouched, 1}},
      {"-.", {NO, untouched, 2}},
      {".e5", {NO, untouched, 3}},
      {"abc 5", {NO, untouched, 3}},
      {" \t", {END, untouched, 2}},
  };
  for (const RealCase& c : cases) EXPECT_EQ(scan_lf(c.text), c.as_lf) << '"' << c.text << '"';
}

// Which quiet NaN the C library makes is its own business (MIPS's legacy
// one is 0x7ff7ffffffffffff, others 0x7ff8000000000000); what shows in the
// output is that it is a NaN and its sign, printed as "nan" or "-nan".
TEST(ScanReal, NanIsANumberWithItsSignWhateverItsBits) {
  const struct {
    const char* text;
    bool negative;
    std::size_t consumed;
  } cases[] = {{"nan", false, 3}, {"-NaN", true, 4}, {"+nAn", false, 4}, {"nan(12)", false, 3}};
  for (const auto& c : cases) {
    const Outcome got = scan_lf(c.text);
    double d;
    std::memcpy(&d, &got.value, sizeof d);
    EXPECT_EQ(got.result, NUM) << c.text;
    EXPECT_EQ(got.consumed, c.consumed) << c.text;
    EXPECT_TRUE(std::isnan(d)) << c.text;
    EXPECT_EQ(std::signbit(d), c.negative) << c.text;
  }
}

// A result too small for a double is a zero of the numeral's sign, and the
// smallest one that is not rounds away from zero; decimal and hexadecimal
// numerals take different paths through the conversion.
TEST(ScanReal, UnderflowToZeroKeepsTheSign) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"-1e-400", -0.0},
      {"1e-400", 0.0},
      {"-0x1p-1080", -0.0},
      {"0x1p-1080", 0.0},
      {"-2.4703282292062327e-324", -0.0},  // just below half the least subnormal
      {"-2.4703282292062328e-324", -0x1p-1074},
      {"-0x1p-1075", -0.0},  // exactly half: to even, zero
      {"-0x1.000001p-1075", -0x1p-1074},
      {"-0e5", -0.0},
      {"-0x0p9", -0.0},
  };
  for (const auto& c : cases) EXPECT_EQ(bits(real_of(c.text)), bits(c.value)) << c.text;
}

TEST(Scan, SuccessiveEntriesResumeAfterEachNumeralOrRejectedEntry) {
  const std::string text = "12abc 0x1g -inf7 z";
  ByteStream in = memory_stream(text.data(), text.size());
  int i = 0;
  double d = 0;
  EXPECT_EQ(scan_integer(in, IntegerBase::decimal, &i), NUM);
  EXPECT_EQ(i, 12);
  EXPECT_EQ(scan_integer(in, IntegerBase::decimal, &i), NO);
  EXPECT_EQ(scan_integer(in, IntegerBase::from_prefix, &i), NUM);
  EXPECT_EQ(i, 1);
  EXPECT_EQ(scan_real(in, &d), NO);  // "g" is the rest of "0x1g"
  EXPECT_EQ(scan_real(in, &d), NUM);
  EXPECT_EQ(d, -INFINITY);
  EXPECT_EQ(scan_integer(in, IntegerBase::decimal, &i), NUM);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(scan_real(in, &d), NO);
  EXPECT_EQ(scan_real(in, &d), END);
}

TEST(ByteStream, WithoutARefillHookEndsWhereItsBytesEnd) {
  const char text[] = "7";
  ByteStream in;
  in.cur = reinterpret_cast<const unsigned char*>(text);
  in.end = in.cur + 1;
  int i = 0;
  EXPECT_EQ(scan_integer(in, IntegerBase::decimal, &i), NUM);
  EXPECT_EQ(i, 7);
  EXPECT_EQ(scan_integer(in, IntegerBase::decimal, &i), END);
  EXPECT_TRUE(in.at_end);
  ByteStream nothing;
  double d = 0;
  EXPECT_EQ(scan_real(nothing, &d), END);
}

// ---- differential against the C library ----

std::string random_token(std::mt19937_64& rng) {
  static const char* const pieces[] = {
      "0",    "1",        "7",        "8",           "9",           "5",
      "0x",   "0X",       "x",        ".",           "e",           "E",
      "p",    "P",        "+",        "-",           "a",           "f",
      "F",    "g",        "n",        "i",           "t",           "y",
      "nan",  "inf",      "infinity", "IN",          "NaN",         "fin",
      "(",    "infin",    " ",        "2147483647",  "2147483648",  "4294967296",
      "ff",   "80000000", "7fffffff", "17777777777", "20000000000", "9007199254740993",
      "e308", "e-324",    "\f",       "\xb5",        "INFINITY",    "iNfInItY"};
  std::string token = rng() % 8 == 0 ? " \t\n" : "";
  for (int n = 1 + static_cast<int>(rng() % 6); n > 0; --n) {
    if (rng() % 16 == 0) {
      const char* run = rng() % 2 ? "0123456789" : "0000000001";
      for (int k = static_cast<int>(rng() % 900); k > 0; --k) token += run[rng() % 10];
    } else {
      token += pieces[rng() % std::size(pieces)];
    }
  }
  return token;
}

// What glibc's " %li%n" / " %ld%n" / " %lf%n" does with the token, in the
// program's terms: rejected entries are dropped up to the next white space,
// and integers saturate to 32 bits.
Outcome glibc(const std::string& token, const char* format, bool real) {
  long l = 0;
  double d = 0;
  int n = 0;
  const int r = real ? std::sscanf(token.c_str(), format, &d, &n)
                     : std::sscanf(token.c_str(), format, &l, &n);
  if (r == 1) {
    const long clamped = l > INT_MAX ? INT_MAX : l < INT_MIN ? INT_MIN : l;
    return {NUM, real ? bits(d) : bits(static_cast<int>(clamped)), static_cast<std::size_t>(n)};
  }
  std::size_t end = token.find_first_not_of(" \t\n\v\f\r");
  if (end != std::string::npos) end = token.find_first_of(" \t\n\v\f\r", end);
  return {r == EOF ? END : NO, real ? bits(REAL_SENTINEL) : bits(INT_SENTINEL),
          end == std::string::npos ? token.size() : end};
}

TEST(ScanDifferential, MatchesGlibcOnGeneratedTokensInMemoryAndByteAtATime) {
  struct Conversion {
    const char* format;
    IntegerBase base;
    bool real;
  };
  const Conversion conversions[] = {{" %li%n", IntegerBase::from_prefix, false},
                                    {" %ld%n", IntegerBase::decimal, false},
                                    {" %lf%n", IntegerBase::decimal, true}};
  std::mt19937_64 rng(20240601);
  constexpr int TOKENS = 200000;
  for (const Conversion& c : conversions) {
    int mismatches = 0;
    int numbers = 0;
    for (int k = 0; k < TOKENS && mismatches < 10; ++k) {
      const std::string token = random_token(rng);
      const Outcome expected = glibc(token, c.format, c.real);
      numbers += expected.result == NUM;
      const bool memory_ok = scan(token, c.base, c.real) == expected;
      const bool trickle_ok = scan(token, c.base, c.real, true) == expected;
      if (!memory_ok || !trickle_ok) {
        ++mismatches;
        ADD_FAILURE() << c.format << " on \"" << token << "\" (memory " << memory_ok
                      << ", byte at a time " << trickle_ok << ")";
      }
    }
    EXPECT_GT(numbers, TOKENS / 4) << c.format;  // the generator must reach both outcomes
    EXPECT_LT(numbers, TOKENS * 3 / 4) << c.format;
  }
}

// ---- long numerals ----

constexpr std::size_t HUGE_NUMERAL = 10'000'000;

TEST(ScanLong, TenMillionDigitNumeralsRoundOnTheirLastDigit) {
  const std::string zeros(HUGE_NUMERAL, '0');
  EXPECT_EQ(real_of("9007199254740993." + zeros), 9007199254740992.0);  // tie, to even
  EXPECT_EQ(real_of("9007199254740993." + zeros + "1"), 9007199254740994.0);
  EXPECT_EQ(real_of("-0." + zeros + "9007199254740993e" + std::to_string(HUGE_NUMERAL + 16)),
            -9007199254740992.0);
  EXPECT_EQ(real_of("1" + zeros + "e-" + std::to_string(HUGE_NUMERAL)), 1.0);
  EXPECT_EQ(real_of("0x1.00000000000008" + zeros), 1.0);
  EXPECT_EQ(real_of("0x1.00000000000008" + zeros + "1"), 0x1.0000000000001p0);
  EXPECT_EQ(real_of("0x1" + zeros + "p-" + std::to_string(4 * HUGE_NUMERAL)), 1.0);
  EXPECT_EQ(real_of("0x0." + zeros + "1p" + std::to_string(4 * HUGE_NUMERAL + 4)), 1.0);
  EXPECT_EQ(scan_i(zeros + "48"),
            (Outcome{NUM, 4, HUGE_NUMERAL + 1}));  // octal: "8" is not a digit
  EXPECT_EQ(scan_d("-" + zeros + "2147483648"), (Outcome{NUM, bits(INT_MIN), HUGE_NUMERAL + 11}));
  EXPECT_EQ(scan_d("1" + zeros), (Outcome{NUM, 2147483647, HUGE_NUMERAL + 1}));
}

// The longest numeral the scanner rebuilds for strtod fills its text to the
// last byte: all 800 kept digits, the sticky digit for the 801st, then "e-"
// and an exponent of four digits, clamped or not.
TEST(ScanLong, TheLongestRebuiltNumeralFitsItsText) {
  const std::string digits(801, '7');
  for (const std::string& numeral :
       {digits + "e-1100", "-" + digits + "e-1100", "0." + digits + "e-9000", digits + "e-99999"}) {
    EXPECT_EQ(bits(real_of(numeral)), bits(std::strtod(numeral.c_str(), nullptr))) << numeral;
  }
  EXPECT_GT(real_of(digits + "e-1100"), 7e-300);
}

// The exact decimal expansion of m * 2^e.
std::string exact_decimal(std::uint64_t m, int e) {
  std::vector<int> digits;  // least significant first
  for (; m > 0; m /= 10) digits.push_back(static_cast<int>(m % 10));
  const int factor = e < 0 ? 5 : 2;
  for (int k = std::abs(e); k > 0; --k) {
    int carry = 0;
    for (int& d : digits) {
      carry += d * factor;
      d = carry % 10;
      carry /= 10;
    }
    if (carry > 0) digits.push_back(carry);
  }
  // Dividing by 10^places puts the point after digit `places`.
  const std::size_t places = e < 0 ? static_cast<std::size_t>(-e) : 0;
  if (e < 0 && digits.size() <= places) digits.resize(places + 1, 0);
  std::string text;
  for (std::size_t i = digits.size(); i-- > 0;) {
    text += static_cast<char>('0' + digits[i]);
    if (e < 0 && i == places) text += '.';
  }
  return text;
}

TEST(ScanLong, ExactMidpointsRoundToEvenAndTheFarthestDigitBreaksTheTie) {
  struct Midpoint {
    std::uint64_t m;
    int e;
    double below, tie, above;
  };
  const Midpoint cases[] = {
      {1, -1075, 0.0, 0.0, 0x1p-1074},
      {(1ull << 53) + 1, -1075, 0x1p-1022, 0x1p-1022, 0x1.0000000000001p-1022},
      {(1ull << 53) + 3, -1075, 0x1.0000000000001p-1022, 0x1.0000000000002p-1022,
       0x1.0000000000002p-1022},
      {(1ull << 53) + 1, -600, 0x1p-547, 0x1p-547, 0x1.0000000000001p-547},
      {(1ull << 53) + 1, -53, 1.0, 1.0, 0x1.0000000000001p0},
      {(1ull << 54) - 1, 970, DBL_MAX, INFINITY, INFINITY},
  };
  for (const Midpoint& c : cases) {
    const std::string tie = exact_decimal(c.m, c.e);
    std::string below = tie;
    --below.back();  // the last digit of an odd multiple of a power of two is not 0
    below += tie.find('.') == std::string::npos ? ".9999999999" : "9999999999";
    const std::string above =
        tie + (tie.find('.') == std::string::npos ? "." : "") + std::string(2000, '0') + "1";
    EXPECT_EQ(real_of(below), c.below) << c.m << "*2^" << c.e;
    EXPECT_EQ(real_of(tie), c.tie) << c.m << "*2^" << c.e << " = " << tie;
    EXPECT_EQ(real_of(above), c.above) << c.m << "*2^" << c.e;
    EXPECT_EQ(bits(real_of("-" + tie)), bits(-c.tie)) << c.m << "*2^" << c.e;
  }
}

// Only as many significant digits are kept as any double's rounding can
// need; every digit behind them still counts as "something non-zero is
// left". So a digit that lifts a halfway value above the tie decides the
// rounding wherever it stands: among the kept digits, right behind them or
// thousands behind, in the integer part as in the fraction. The C library's
// strtod reads the whole numeral and has the last word.
TEST(ScanLong, ADigitPastTheKeptOnesStillDecidesTheRounding) {
  struct Tie {
    std::string prefix;
    std::string digits;  // halfway between two adjacent doubles
    char exponent;
    int bits_per_digit;
    std::size_t kept;  // significant digits the scanner keeps
  };
  const Tie ties[] = {
      {"", "9007199254740993", 'e', 1, 800},  // 2^53 + 1
      {"0x", "100000000000008", 'p', 4, 24},  // 2^56 + 8
  };
  for (const Tie& t : ties) {
    for (const std::size_t position :
         {t.kept - 1, t.kept, t.kept + 1, t.kept + 2, std::size_t{5000}}) {
      // Significant digit number `position` is the 1 at the end.
      const std::string zeros(position - t.digits.size() - 1, '0');
      const std::size_t behind_point = zeros.size() + 1;
      std::string scale(1, t.exponent);
      scale += '-';
      scale += std::to_string(behind_point * t.bits_per_digit);
      const std::string numerals[] = {t.prefix + t.digits + zeros + "1" + scale,
                                      t.prefix + t.digits + "." + zeros + "1"};
      for (const std::string& above : numerals) {
        std::string tie = above;
        tie[tie.find('1', t.prefix.size() + t.digits.size())] = '0';
        const char* where = &above[t.prefix.size() + t.digits.size()];
        SCOPED_TRACE(t.prefix + t.digits + "... with its digit " + std::to_string(position) +
                     (*where == '.' ? " in the fraction" : " in the integer part"));
        const double expected = std::strtod(above.c_str(), nullptr);
        ASSERT_NE(expected, std::strtod(tie.c_str(), nullptr)) << "the last digit must decide";
        EXPECT_EQ(bits(real_of(above)), bits(expected));
        EXPECT_EQ(bits(real_of(tie)), bits(std::strtod(tie.c_str(), nullptr)));
        EXPECT_EQ(bits(real_of("-" + above)), bits(-expected));
      }
    }
  }
}

}  // namespace
