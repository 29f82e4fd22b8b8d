// The scanners walk the C library's own state machine byte by byte: it can
// push back only one byte, so every decision below is taken on the byte under
// the look-ahead, and a byte is consumed only once it belongs to the numeral.
// Reals are reduced to a short numeral (bounded significant digits, a sticky
// digit and a clamped exponent) that std::strtod rounds exactly as it would
// round the full text. The numeral goes to strtod without its sign, which is
// set afterwards: not every C library keeps it on a NaN or on a result that
// underflows to zero, and rounding to nearest is symmetric.
#include "console/scan.hpp"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

// isspace() in the C locale: space, \t, \n, \v, \f, \r.
constexpr bool is_space(int c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

constexpr bool is_digit(int c) {
  return c >= '0' && c <= '9';
}

constexpr int to_lower(int c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

constexpr bool is_xdigit(int c) {
  return is_digit(c) || (to_lower(c) >= 'a' && to_lower(c) <= 'f');
}

// The next byte that is not white space, or -1 at the end.
int skip_space(ByteStream& in) {
  int c = in.peek();
  while (is_space(c)) {
    in.advance();
    c = in.peek();
  }
  return c;
}

// Drops the rest of a rejected entry, up to the next white space.
ScanResult reject(ByteStream& in) {
  for (int c = in.peek(); c >= 0 && !is_space(c); c = in.peek()) in.advance();
  return ScanResult::no_number;
}

// Consumes the sign under the look-ahead, if any; returns the next byte.
int take_sign(ByteStream& in, int c, bool* negative) {
  *negative = c == '-';
  if (c != '-' && c != '+') return c;
  in.advance();
  return in.peek();
}

std::int64_t add_saturated(std::int64_t a, std::int64_t b) {
  std::int64_t sum;
  // GCOVR_EXCL_BR_START: only a numeral of some 2^61 digits, far beyond any
  // input, could overflow the exponent sums; they saturate all the same.
  if (__builtin_add_overflow(a, b, &sum)) return b < 0 ? INT64_MIN : INT64_MAX;
  // GCOVR_EXCL_BR_STOP
  return sum;
}

// ---- integers ----

// The value of c as a digit of radix 8, 10 or 16, or -1.
int digit_value(int c, unsigned radix) {
  unsigned d;
  if (is_digit(c)) {
    d = static_cast<unsigned>(c - '0');
  } else if (radix == 16 && is_xdigit(c)) {
    d = static_cast<unsigned>(to_lower(c) - 'a' + 10);
  } else {
    return -1;
  }
  return d < radix ? static_cast<int>(d) : -1;
}

// Any magnitude above this is out of range for either sign; holding it there
// keeps the accumulator from wrapping however long the numeral is.
constexpr std::uint64_t MAGNITUDE_CAP = std::uint64_t{1} << 32;

int saturate_to_int(bool negative, std::uint64_t magnitude) {
  if (negative) {
    return magnitude >= std::uint64_t{1} << 31 ? INT_MIN : -static_cast<int>(magnitude);
  }
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

// After an optional sign: a leading '0' is a digit, and for "%i" it selects
// octal, or hexadecimal when an x follows (the x is consumed even when no hex
// digit comes after it). Returns the radix; *c is the byte after the prefix.
unsigned take_radix_prefix(ByteStream& in, IntegerBase base, int* c, bool* got_digit) {
  if (*c != '0') return 10;
  *got_digit = true;
  in.advance();
  *c = in.peek();
  if (base == IntegerBase::decimal) return 10;
  if (to_lower(*c) != 'x') return 8;
  in.advance();
  *c = in.peek();
  return 16;
}

}  // namespace

ScanResult scan_integer(ByteStream& in, IntegerBase base, int* value) {
  int c = skip_space(in);
  if (c < 0) return ScanResult::end_of_input;
  bool negative;
  c = take_sign(in, c, &negative);
  bool got_digit = false;
  const unsigned radix = take_radix_prefix(in, base, &c, &got_digit);
  std::uint64_t magnitude = 0;
  for (int d = digit_value(c, radix); d >= 0; d = digit_value(c, radix)) {
    magnitude = magnitude * radix + static_cast<unsigned>(d);
    if (magnitude > MAGNITUDE_CAP) magnitude = MAGNITUDE_CAP;
    got_digit = true;
    in.advance();
    c = in.peek();
  }
  if (!got_digit) return reject(in);
  *value = saturate_to_int(negative, magnitude);
  return ScanResult::number;
}

namespace {

// ---- reals ----

// Every double and every midpoint between two adjacent doubles has at most
// 767 significant decimal digits (53 bits need at most 15 hex digits), so
// beyond these limits only "is anything non-zero left" can change the
// rounding: that is kept as one extra non-zero sticky digit.
constexpr int MAX_DECIMAL_DIGITS = 800;
constexpr int MAX_HEX_DIGITS = 24;

// With at most 801 digits, any power of ten beyond +-9999 (of two beyond
// +-99999) overflows or underflows as surely as the unclamped one.
constexpr std::int64_t DECIMAL_EXPONENT_CLAMP = 9999;
constexpr std::int64_t BINARY_EXPONENT_CLAMP = 99999;

constexpr int PREFIX_ROOM = 2;  // "0x"

// The decimal digits of a non-negative n.
constexpr int digit_count(std::int64_t n) {
  return n < 10 ? 1 : 1 + digit_count(n / 10);
}

// Room for the longest numeral that convert() rebuilds, a decimal one: the
// prefix's room (unused), the kept digits, the sticky digit, 'e', a minus
// sign, the clamped exponent and the terminating NUL. A hexadecimal one, of
// far fewer digits, needs less.
constexpr int NUMERAL_SIZE =
    PREFIX_ROOM + MAX_DECIMAL_DIGITS + 1 + 2 + digit_count(DECIMAL_EXPONENT_CLAMP) + 1;
static_assert(NUMERAL_SIZE == 2 + 800 + 1 + 1 + 1 + 4 + 1);
static_assert(PREFIX_ROOM + MAX_HEX_DIGITS + 1 + 2 + digit_count(BINARY_EXPONENT_CLAMP) + 1 <
              NUMERAL_SIZE);

// The significant digits of a numeral as an integer D, and the exponent e
// with value = D * radix^e (radix 10, or 2 for hex numerals whose digits each
// step e by 4). The digits are stored where the rebuilt numeral needs them.
// The text is always indexed, never walked with a pointer, so that the
// sanitizers check every byte written against its size.
struct Significand {
  char text[NUMERAL_SIZE];
  int kept = 0;
  int limit = MAX_DECIMAL_DIGITS;
  int step = 1;
  bool sticky = false;
  std::int64_t exponent = 0;
};

void take_integer_digit(Significand& s, int c) {
  if (s.kept == s.limit) {
    s.sticky |= c != '0';
    s.exponent = add_saturated(s.exponent, s.step);
  } else if (s.kept > 0 || c != '0') {
    s.text[PREFIX_ROOM + s.kept++] = static_cast<char>(c);
  }
}

void take_fraction_digit(Significand& s, int c) {
  if (s.kept == s.limit) {
    s.sticky |= c != '0';
    return;
  }
  if (s.kept > 0 || c != '0') s.text[PREFIX_ROOM + s.kept++] = static_cast<char>(c);
  s.exponent = add_saturated(s.exponent, -s.step);
}

// What the real grammar has seen so far.
struct RealState {
  bool negative = false;
  bool hex = false;
  bool got_digit = false;
  bool got_dot = false;
};

// A leading "0x" switches to hexadecimal; a lone leading '0' is a digit.
int take_hex_prefix(ByteStream& in, int c, RealState& st, Significand& s) {
  if (c != '0') return c;
  in.advance();
  c = in.peek();
  if (to_lower(c) != 'x') {
    st.got_digit = true;
    return c;
  }
  st.hex = true;
  s.limit = MAX_HEX_DIGITS;
  s.step = 4;
  in.advance();
  return in.peek();
}

// Digits with at most one point; returns the first byte not taken.
int take_mantissa(ByteStream& in, int c, RealState& st, Significand& s) {
  for (;; in.advance(), c = in.peek()) {
    if (st.hex ? is_xdigit(c) : is_digit(c)) {
      st.got_dot ? take_fraction_digit(s, c) : take_integer_digit(s, c);
      st.got_digit = true;
    } else if (c == '.' && !st.got_dot) {
      st.got_dot = true;
    } else {
      return c;
    }
  }
}

// Past the exponent letter: a sign directly after it, then decimal digits,
// saturated well before int64 wraps. Returns the signed exponent.
std::int64_t take_exponent(ByteStream& in) {
  in.advance();
  bool negative;
  int c = take_sign(in, in.peek(), &negative);
  std::int64_t e = 0;
  for (; is_digit(c); in.advance(), c = in.peek()) {
    if (e < INT64_MAX / 100) e = e * 10 + (c - '0');
  }
  return negative ? -e : e;
}

// Writes a non-negative n in decimal into s.text from `at` on; returns the
// index after it.
int write_decimal(Significand& s, int at, std::int64_t n) {
  const int end = at + digit_count(n);
  for (int i = end - 1; i >= at; --i, n /= 10) s.text[i] = static_cast<char>('0' + n % 10);
  return end;
}

// A bit operation, so it signs NaNs and zeros too.
double with_sign(double magnitude, bool negative) {
  return std::copysign(magnitude, negative ? -1.0 : 1.0);
}

std::int64_t clamp(std::int64_t n, std::int64_t limit) {
  return n > limit ? limit : n < -limit ? -limit : n;
}

// Rebuilds "[0x]digits[1](e|p)exponent", converts it and signs the result.
double convert(Significand& s, const RealState& st) {
  if (s.kept == 0) return with_sign(0.0, st.negative);
  int at = PREFIX_ROOM + s.kept;
  std::int64_t e = s.exponent;
  if (s.sticky) {
    s.text[at++] = '1';  // one more digit: one more step down
    e = add_saturated(e, -s.step);
  }
  s.text[at++] = st.hex ? 'p' : 'e';
  e = clamp(e, st.hex ? BINARY_EXPONENT_CLAMP : DECIMAL_EXPONENT_CLAMP);
  if (e < 0) s.text[at++] = '-';
  s.text[write_decimal(s, at, e < 0 ? -e : e)] = '\0';
  s.text[0] = '0';
  s.text[1] = 'x';
  return with_sign(std::strtod(s.text + (st.hex ? 0 : PREFIX_ROOM), nullptr), st.negative);
}

// Consumes word (lower case) byte by byte; stops before the first mismatch.
bool take_word(ByteStream& in, const char* word) {
  for (; *word != '\0'; ++word) {
    if (to_lower(in.peek()) != *word) return false;
    in.advance();
  }
  return true;
}

// "nan", "inf" or "infinity" in any case, the first letter under the
// look-ahead. Once "infi" is seen, only "infinity" will do.
ScanResult take_nan_or_infinity(ByteStream& in, bool negative, double* value) {
  const bool nan = to_lower(in.peek()) == 'n';
  if (!take_word(in, nan ? "nan" : "inf")) return reject(in);
  if (!nan && to_lower(in.peek()) == 'i' && !take_word(in, "inity")) return reject(in);
  *value = with_sign(nan ? std::strtod("nan", nullptr) : __builtin_inf(), negative);
  return ScanResult::number;
}

}  // namespace

ScanResult scan_real(ByteStream& in, double* value) {
  int c = skip_space(in);
  if (c < 0) return ScanResult::end_of_input;
  RealState st;
  c = take_sign(in, c, &st.negative);
  if (to_lower(c) == 'n' || to_lower(c) == 'i') return take_nan_or_infinity(in, st.negative, value);
  Significand s;
  c = take_hex_prefix(in, c, st, s);
  c = take_mantissa(in, c, st, s);
  if (st.got_digit && to_lower(c) == (st.hex ? 'p' : 'e')) {
    s.exponent = add_saturated(s.exponent, take_exponent(in));
  }
  // A hex numeral may be "0x." alone (zero), but not a bare "0x".
  if (st.hex ? !st.got_digit && !st.got_dot : !st.got_digit) return reject(in);
  *value = convert(s, st);
  return ScanResult::number;
}

namespace {
bool no_refill(ByteStream&) {
  return false;
}
}  // namespace

ByteStream memory_stream(const char* text, std::size_t length) {
  ByteStream stream;
  stream.cur = reinterpret_cast<const unsigned char*>(text);
  stream.end = stream.cur + length;
  stream.refill = no_refill;
  return stream;
}
