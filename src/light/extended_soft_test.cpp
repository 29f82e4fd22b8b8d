// Tests of the x87 emulation. Every expected value is an x87 result: a
// property of the format or a result read off an x87 (both checked again on
// the processor wherever it is one), a recorded vector, or, on x86, the
// processor itself on drawn operands (COSMIC_DIFFERENTIAL_OPS per operation).
//
// extended_soft_vectors.inc carries x87 results to processors without one.
// tools/record_x87_vectors.cpp records it afresh on x86-64 with the draws
// below; fixed seeds give the same file as long as they stay the same.
#include "light/extended_soft.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#if (defined(__x86_64__) || defined(__i386__)) && __LDBL_MANT_DIG__ == 64
#define COSMIC_NATIVE_X87 1
#include "light/extended_native.hpp"
#else
#define COSMIC_NATIVE_X87 0
#endif

namespace {

using u16 = std::uint16_t;
using u64 = std::uint64_t;

constexpr u64 ONE = u64{1} << 63;            // the integer bit
constexpr u64 QUIET = ONE | (u64{1} << 62);  // integer and quiet bits of a QNaN
constexpr u64 ALL_ONES = ~u64{0};

// An 80-bit value as sign/exponent and significand.
struct Ext {
  u16 se;
  u64 sig;
  bool operator==(const Ext&) const = default;
};

constexpr Ext PLUS_ONE{0x3fff, ONE};
constexpr Ext TWO{0x4000, ONE};
constexpr Ext THREE{0x4000, 0xC000000000000000};
constexpr Ext PLUS_ZERO{0x0000, 0};
constexpr Ext MINUS_ZERO{0x8000, 0};
constexpr Ext PLUS_INF{0x7fff, ONE};
constexpr Ext MINUS_INF{0xffff, ONE};
constexpr Ext DEFAULT_NAN{0xffff, QUIET};
constexpr Ext MIN_NORMAL{0x0001, ONE};
constexpr Ext MAX_FINITE{0x7ffe, ALL_ONES};

SoftExtended soft(Ext x) {
  return SoftExtended::from_bits(x.se, x.sig);
}
Ext ext(SoftExtended x) {
  return {x.sign_exponent(), x.significand()};
}
double double_of(u64 bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
u64 bits_of(double d) {
  u64 bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

enum class Kind {
  from_double,
  from_integer,
  add,
  subtract,
  multiply,
  divide,
  compare,
  to_double,
  truncate
};
constexpr const char* KIND_NAMES[] = {"FromDouble", "FromInteger", "Add",
                                      "Subtract",   "Multiply",    "Divide",
                                      "Compare",    "ToDouble",    "Truncate"};
constexpr int KIND_COUNT = 9;

// Bits of the comparison results: ==, <, <=, >, >=.
template <typename T>
int comparisons(T a, T b) {
  return (a == b ? 1 : 0) | (a < b ? 2 : 0) | (a <= b ? 4 : 0) | (a > b ? 8 : 0) |
         (a >= b ? 16 : 0);
}
constexpr u64 LESS = 2 | 4, EQUAL = 1 | 4 | 16, GREATER = 8 | 16, UNORDERED = 0;

// What truncate_to_u32 must leave in place when it fails.
constexpr std::uint32_t UNTOUCHED = 0xDEADBEEF;

#if COSMIC_NATIVE_X87
long double native(Ext x) {
  long double v = 0;
  std::memcpy(&v, &x.sig, 8);
  std::memcpy(reinterpret_cast<char*>(&v) + 8, &x.se, 2);
  return v;
}
Ext ext(long double v) {
  Ext x;
  std::memcpy(&x.sig, &v, 8);
  std::memcpy(&x.se, reinterpret_cast<const char*>(&v) + 8, 2);
  return x;
}
// The program's own native unit, holding exactly x.
NativeExtended native_unit(Ext x) {
  static_assert(sizeof(NativeExtended) == sizeof(long double));
  return __builtin_bit_cast(NativeExtended, native(x));
}
Ext ext(NativeExtended n) {
  return ext(__builtin_bit_cast(long double, n));
}

#endif  // COSMIC_NATIVE_X87

// The result of one operation in a form that holds every kind: conversions
// take their input from a.sig (double or integer bits); to_double gives
// double bits, truncation (ok, count), comparison the bits of comparisons().
// One body for both implementations, so they are asked exactly the same.
template <class E>
Ext result_of(Kind kind, Ext a, E x, E y) {
  switch (kind) {
    case Kind::from_double:
      return ext(E::from_double(double_of(a.sig)));
    case Kind::from_integer:
      return ext(E::from_integer(static_cast<std::int64_t>(a.sig)));
    case Kind::add:
      return ext(x + y);
    case Kind::subtract:
      return ext(x - y);
    case Kind::multiply:
      return ext(x * y);
    case Kind::divide:
      return ext(x / y);
    case Kind::compare:
      return {0, static_cast<u64>(comparisons(x, y))};
    case Kind::to_double:
      return {0, bits_of(x.to_double())};
    case Kind::truncate: {
      std::uint32_t count = UNTOUCHED;
      const bool ok = x.truncate_to_u32(&count);
      return {static_cast<u16>(ok), count};
    }
  }
  return {};
}

Ext soft_result(Kind kind, Ext a, Ext b) {
  return result_of(kind, a, soft(a), soft(b));
}

#if COSMIC_NATIVE_X87
Ext native_result(Kind kind, Ext a, Ext b) {
  return result_of(kind, a, native_unit(a), native_unit(b));
}
#endif  // COSMIC_NATIVE_X87

std::string describe(Ext x) {
  char text[32];
  std::snprintf(text, sizeof text, "%04x:%016" PRIx64, x.se, x.sig);
  return text;
}

// A fact of the x87 format or of what an x87 does, checked on the emulation
// and, where there is one, on the processor itself.
struct Row {
  const char* what;
  Kind kind;
  Ext a, b, want;
};

template <int N>
void expect_rows(const Row (&rows)[N]) {
  for (const Row& r : rows) {
    EXPECT_EQ(describe(soft_result(r.kind, r.a, r.b)), describe(r.want)) << r.what;
#if COSMIC_NATIVE_X87
    EXPECT_EQ(describe(native_result(r.kind, r.a, r.b)), describe(r.want)) << r.what << " (x87)";
#endif
  }
}

// A double's bits, or an integer's, as the operand of a conversion.
constexpr Ext D(u64 bits) {
  return {0, bits};
}

TEST(SoftExtendedConversion, FromDoubleAndFromIntegerAreExactForEveryKindOfInput) {
  using enum Kind;
  const Row rows[] = {
      {"1", from_double, D(0x3FF0000000000000), {}, PLUS_ONE},
      {"-2", from_double, D(0xC000000000000000), {}, {0xc000, ONE}},
      {"0.1", from_double, D(0x3FB999999999999A), {}, {0x3ffb, 0xCCCCCCCCCCCCD000}},
      {"+0", from_double, D(0), {}, PLUS_ZERO},
      {"-0", from_double, D(0x8000000000000000), {}, MINUS_ZERO},
      {"2^-1074 normalised", from_double, D(1), {}, {0x3bcd, ONE}},
      {"largest subnormal", from_double, D(0x800FFFFFFFFFFFFF), {}, {0xbc00, 0xFFFFFFFFFFFFF000}},
      {"largest double", from_double, D(0x7FEFFFFFFFFFFFFF), {}, {0x43fe, 0xFFFFFFFFFFFFF800}},
      {"+inf", from_double, D(0x7FF0000000000000), {}, PLUS_INF},
      {"-inf", from_double, D(0xFFF0000000000000), {}, MINUS_INF},
      {"NaN", from_double, D(0x7FF8000000000000), {}, {0x7fff, QUIET}},
      {"NaN payload moves up", from_double, D(0xFFF8000000000001), {}, {0xffff, QUIET | 0x800}},
      {"SNaN is quieted", from_double, D(0x7FF0000000000001), {}, {0x7fff, QUIET | 0x800}},
      {"0", from_integer, D(0), {}, PLUS_ZERO},
      {"-3", from_integer, D(static_cast<u64>(-3)), {}, {0xc000, 0xC000000000000000}},
      {"86400", from_integer, D(86400), {}, {0x400f, 0xA8C0000000000000}},
      {"2^63 - 1", from_integer, D(INT64_MAX), {}, {0x403d, 0xFFFFFFFFFFFFFFFE}},
      {"-2^63", from_integer, D(ONE), {}, {0xc03e, ONE}},
  };
  expect_rows(rows);
}

TEST(SoftExtendedArithmetic, RoundsOnceToNearestWithTiesToEven) {
  using enum Kind;
  const Ext all_but_last{0x3ffe, ALL_ONES};                                  // 1 - 2^-64
  const Ext two_m64{0x3fbf, ONE}, two_m65{0x3fbe, ONE};                      // 2^-64, 2^-65
  const Ext p1{0x401f, 0x8000000080000000}, p3{0x401f, 0x8000000180000000};  // 2^32 + 1, + 3
  const Row rows[] = {
      {"1/3", divide, PLUS_ONE, THREE, {0x3ffd, 0xAAAAAAAAAAAAAAAB}},
      {"2/3", divide, TWO, THREE, {0x3ffe, 0xAAAAAAAAAAAAAAAB}},
      {"1 + 2^-64: tie, stays even", add, PLUS_ONE, two_m64, PLUS_ONE},
      {"(1 + 2^-63) + 2^-64: tie, up", add, {0x3fff, ONE | 1}, two_m64, {0x3fff, ONE | 2}},
      {"1 - 2^-64 is exact", subtract, PLUS_ONE, two_m64, all_but_last},
      {"1 - 2^-65: tie, to 1", subtract, PLUS_ONE, two_m65, PLUS_ONE},
      {"1 - just over 2^-65", subtract, PLUS_ONE, {0x3fbe, ONE | 1}, all_but_last},
      {"1 - 2^-1000", subtract, PLUS_ONE, {0x3fff - 1000, ONE}, PLUS_ONE},
      {"(2^32+1)^2: tie, down", multiply, p1, p1, {0x403f, 0x8000000100000000}},
      {"(2^32+3)(2^32+1): tie, up", multiply, p3, p1, {0x403f, 0x8000000200000002}},
      {"(2^64-1) + 1/2 carries", add, {0x403e, ALL_ONES}, {0x3ffe, ONE}, {0x403f, ONE}},
      {"smallest normal / 2", divide, MIN_NORMAL, TWO, {0x0000, u64{1} << 62}},
      {"denormal rounds up to normal", multiply, MIN_NORMAL, all_but_last, MIN_NORMAL},
      {"half a denormal ulp: to 0", multiply, {0x0000, 1}, {0x3ffe, ONE}, PLUS_ZERO},
      {"1.5 denormal ulps: to 2", multiply, {0x0000, 3}, {0x3ffe, ONE}, {0x0000, 2}},
      {"overflow", multiply, MAX_FINITE, TWO, PLUS_INF},
  };
  expect_rows(rows);
}

TEST(SoftExtendedArithmetic, SignedZerosInfinitiesAndInvalidOperationsFollowX87) {
  using enum Kind;
  const Ext five{0x4001, 0xA000000000000000}, minus_five{0xc001, 0xA000000000000000};
  const Row rows[] = {
      {"x - x", subtract, five, five, PLUS_ZERO},
      {"-x + x", add, minus_five, five, PLUS_ZERO},
      {"-0 + -0", add, MINUS_ZERO, MINUS_ZERO, MINUS_ZERO},
      {"-0 - +0", subtract, MINUS_ZERO, PLUS_ZERO, MINUS_ZERO},
      {"+0 + -0", add, PLUS_ZERO, MINUS_ZERO, PLUS_ZERO},
      {"-0 * 5", multiply, MINUS_ZERO, five, MINUS_ZERO},
      {"5 / -inf", divide, five, MINUS_INF, MINUS_ZERO},
      {"-5 / +0", divide, minus_five, PLUS_ZERO, MINUS_INF},
      {"5 / -0", divide, five, MINUS_ZERO, MINUS_INF},
      {"inf + inf", add, PLUS_INF, PLUS_INF, PLUS_INF},
      {"5 - inf", subtract, five, PLUS_INF, MINUS_INF},
      {"-inf * -5", multiply, MINUS_INF, minus_five, PLUS_INF},
      {"inf - inf", subtract, PLUS_INF, PLUS_INF, DEFAULT_NAN},
      {"-inf + inf", add, MINUS_INF, PLUS_INF, DEFAULT_NAN},
      {"0 * inf", multiply, PLUS_ZERO, PLUS_INF, DEFAULT_NAN},
      {"0 / 0", divide, PLUS_ZERO, MINUS_ZERO, DEFAULT_NAN},
      {"inf / inf", divide, MINUS_INF, PLUS_INF, DEFAULT_NAN},
  };
  expect_rows(rows);
}

// First read off an x87 (AMD EPYC); Intel documents the same rules.
TEST(SoftExtendedArithmetic, NanOperandsPropagateQuietedAsOnX87) {
  using enum Kind;
  const Ext q1{0x7fff, QUIET | 1}, minus_q1{0xffff, QUIET | 1}, minus_q2{0xffff, QUIET | 2};
  const Ext s3{0x7fff, ONE | 3}, minus_s3{0xffff, ONE | 3}, s_big{0x7fff, ALL_ONES >> 1};
  const Row rows[] = {
      {"QNaN + 1", add, q1, PLUS_ONE, q1},
      {"SNaN + 1 is quieted", add, s3, PLUS_ONE, {0x7fff, QUIET | 3}},
      {"1 - NaN keeps the NaN's sign", subtract, PLUS_ONE, minus_q2, minus_q2},
      {"larger significand wins", add, q1, minus_q2, minus_q2},
      {"larger significand wins, swapped", multiply, minus_q2, q1, minus_q2},
      {"equal significands: positive wins", multiply, minus_q1, q1, q1},
      {"equal significands, swapped", divide, q1, minus_q1, q1},
      {"quiet beats signalling", add, s3, q1, q1},
      {"quiet beats larger signalling", subtract, s_big, DEFAULT_NAN, DEFAULT_NAN},
      {"two signalling: positive on a tie", add, minus_s3, s3, {0x7fff, QUIET | 3}},
      {"NaN beats infinity", multiply, PLUS_INF, minus_q1, minus_q1},
  };
  expect_rows(rows);
}

TEST(SoftExtendedComparison, OrdersLikeIeeeAndNeverHoldsForNan) {
  using enum Kind;
  const Ext half{0x3ffe, ONE}, minus_two{0xc000, ONE}, denormal{0x0000, 5}, nan{0x7fff, QUIET};
  const Row rows[] = {
      {"1 < 2", compare, PLUS_ONE, TWO, D(LESS)},
      {"2 > 1", compare, TWO, PLUS_ONE, D(GREATER)},
      {"2 == 2", compare, TWO, TWO, D(EQUAL)},
      {"+0 == -0", compare, PLUS_ZERO, MINUS_ZERO, D(EQUAL)},
      {"-2 < 1/2", compare, minus_two, half, D(LESS)},
      {"-2 > -2 - ulp", compare, minus_two, {0xc000, ONE | 1}, D(GREATER)},
      {"-0 < 1/2", compare, MINUS_ZERO, half, D(LESS)},
      {"denormal < smallest normal", compare, denormal, MIN_NORMAL, D(LESS)},
      {"denormal > +0", compare, denormal, PLUS_ZERO, D(GREATER)},
      {"-inf < -2", compare, MINUS_INF, minus_two, D(LESS)},
      {"inf > largest", compare, PLUS_INF, MAX_FINITE, D(GREATER)},
      {"inf == inf", compare, PLUS_INF, PLUS_INF, D(EQUAL)},
      {"NaN vs 1", compare, nan, PLUS_ONE, D(UNORDERED)},
      {"1 vs NaN", compare, PLUS_ONE, nan, D(UNORDERED)},
      {"NaN vs itself", compare, nan, nan, D(UNORDERED)},
      {"NaN vs -inf", compare, DEFAULT_NAN, MINUS_INF, D(UNORDERED)},
  };
  expect_rows(rows);
}

TEST(SoftExtendedToDouble, RoundsOnceToNearestEvenLikeAStoreToMemory) {
  using enum Kind;
  const Row rows[] = {
      {"1 + 2^-53: tie, stays even", to_double, {0x3fff, ONE | 0x400}, {}, D(0x3FF0000000000000)},
      {"1 + 3 * 2^-53: tie, up", to_double, {0x3fff, ONE | 0xC00}, {}, D(0x3FF0000000000002)},
      {"just above a tie", to_double, {0x3fff, ONE | 0x401}, {}, D(0x3FF0000000000001)},
      {"just below a tie", to_double, {0xbfff, ONE | 0x3ff}, {}, D(0xBFF0000000000000)},
      {"1.5 subnormal ulps: tie, to 2", to_double, {0x3bcd, 0xC000000000000000}, {}, D(2)},
      {"half a subnormal ulp: tie, to 0", to_double, {0x3bcc, ONE}, {}, D(0)},
      {"just over half: rounded once, up", to_double, {0x3bcc, ONE | 1}, {}, D(1)},
      {"and negative", to_double, {0xbbcc, ONE | 1}, {}, D(0x8000000000000001)},
      {"under half an ulp", to_double, {0x3bcb, ALL_ONES}, {}, D(0)},
      {"largest subnormal + tie",
       to_double,
       {0x3c00, 0xFFFFFFFFFFFFF800},
       {},
       D(0x0010000000000000)},
      {"largest subnormal + less",
       to_double,
       {0x3c00, 0xFFFFFFFFFFFFF7FF},
       {},
       D(0x000FFFFFFFFFFFFF)},
      {"below the overflow tie",
       to_double,
       {0x43fe, 0xFFFFFFFFFFFFFBFF},
       {},
       D(0x7FEFFFFFFFFFFFFF)},
      {"overflow tie", to_double, {0x43fe, 0xFFFFFFFFFFFFFC00}, {}, D(0x7FF0000000000000)},
      {"-2^1024", to_double, {0xc3ff, ONE}, {}, D(0xFFF0000000000000)},
      {"largest extended", to_double, MAX_FINITE, {}, D(0x7FF0000000000000)},
      {"extended denormal", to_double, {0x8000, 1}, {}, D(0x8000000000000000)},
      {"-0", to_double, MINUS_ZERO, {}, D(0x8000000000000000)},
      {"-inf", to_double, MINUS_INF, {}, D(0xFFF0000000000000)},
      {"default NaN keeps its sign", to_double, DEFAULT_NAN, {}, D(0xFFF8000000000000)},
      {"NaN payload moves down", to_double, {0x7fff, QUIET | 0x800}, {}, D(0x7FF8000000000001)},
      {"SNaN is quieted", to_double, {0x7fff, ONE | 0x800}, {}, D(0x7FF8000000000001)},
  };
  expect_rows(rows);
}

TEST(SoftExtendedTruncation, CountsOnlyValuesAboveMinusOneAndBelowTwoToThe32) {
  using enum Kind;
  const Ext refused{0, UNTOUCHED};
  const Row rows[] = {
      {"largest below 2^32", truncate, {0x401e, ALL_ONES}, {}, {1, 4294967295}},
      {"2^32", truncate, {0x401f, ONE}, {}, refused},
      {"2^32 + 1", truncate, {0x401f, ONE | (u64{1} << 31)}, {}, refused},
      {"2^31 + 1/2", truncate, {0x401e, ONE | (u64{1} << 31)}, {}, {1, 2147483648}},
      {"1", truncate, PLUS_ONE, {}, {1, 1}},
      {"largest below 1", truncate, {0x3ffe, ALL_ONES}, {}, {1, 0}},
      {"denormal", truncate, {0x0000, 1}, {}, {1, 0}},
      {"-0", truncate, MINUS_ZERO, {}, {1, 0}},
      {"-1/2", truncate, {0xbffe, ONE}, {}, {1, 0}},
      {"just above -1", truncate, {0xbffe, ALL_ONES}, {}, {1, 0}},
      {"-1", truncate, {0xbfff, ONE}, {}, refused},
      {"-inf", truncate, MINUS_INF, {}, refused},
      {"+inf", truncate, PLUS_INF, {}, refused},
      {"NaN", truncate, {0x7fff, QUIET}, {}, refused},
  };
  expect_rows(rows);
}

// One recorded operation: its kind, operands and the x87's result, encoded
// as soft_result() gives it.
struct Vector {
  Kind kind;
  u16 a_se;
  u64 a_sig;
  u16 b_se;
  u64 b_sig;
  u16 r_se;
  u64 r_sig;
};

constexpr Vector RECORDED[] = {
#include "light/extended_soft_vectors.inc"
};

TEST(SoftExtendedRecordedVectors, ReproducesEveryRecordedX87Result) {
  int per_kind[KIND_COUNT] = {};
  int mismatches = 0;
  for (const Vector& v : RECORDED) {
    ++per_kind[static_cast<int>(v.kind)];
    const Ext got = soft_result(v.kind, {v.a_se, v.a_sig}, {v.b_se, v.b_sig});
    if (got == Ext{v.r_se, v.r_sig}) continue;
    if (++mismatches <= 20) {
      ADD_FAILURE() << KIND_NAMES[static_cast<int>(v.kind)] << " a=" << describe({v.a_se, v.a_sig})
                    << " b=" << describe({v.b_se, v.b_sig}) << " x87 "
                    << describe({v.r_se, v.r_sig}) << " emulated " << describe(got);
    }
  }
  EXPECT_EQ(mismatches, 0);
  for (int k = 0; k < KIND_COUNT; ++k) EXPECT_GE(per_kind[k], 100) << KIND_NAMES[k];
}

#if COSMIC_NATIVE_X87

class Rng {
 public:
  explicit Rng(u64 seed) : state_(seed) {}
  u64 next() {  // splitmix64
    u64 z = (state_ += 0x9E3779B97F4A7C15);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<u64>(n)); }
  u16 sign() { return (next() & 1) != 0 ? 0x8000 : 0; }

 private:
  u64 state_;
};

constexpr double PROGRAM_FACTORS[] = {299792.46,
                                      365.2422,
                                      86400,
                                      3600,
                                      24,
                                      60,
                                      7,
                                      30,
                                      9460528499561.357,
                                      777062056320.0,
                                      181314479808.0,
                                      25902068544.0,
                                      1079252856.0,
                                      17987547.6};

template <typename T, int N>
T pick(Rng& rng, const T (&items)[N]) {
  return items[rng.below(N)];
}

// A distance of the size the program handles: up to 1e22 km, log-uniform.
double program_distance(Rng& rng) {
  double d = 1.0 + static_cast<double>(rng.next() >> 11) * 0x1p-53 * 9.0;
  for (int digits = rng.below(23); digits > 0; --digits) d *= 10.0;
  return d;
}

double random_double(Rng& rng) {
  switch (rng.below(6)) {
    case 0:
      return double_of(rng.next() & 0x800FFFFFFFFFFFFF);  // subnormal or zero
    case 1:
      return double_of(rng.next() | 0x7FF0000000000000);  // NaN (or infinity)
    case 2:
      return pick(rng, PROGRAM_FACTORS);
    case 3:
      return program_distance(rng);
    default:
      return double_of(rng.next());
  }
}

const Ext SPECIALS[] = {PLUS_ZERO,
                        MINUS_ZERO,
                        PLUS_INF,
                        MINUS_INF,
                        DEFAULT_NAN,
                        {0x7fff, QUIET},
                        {0x7fff, QUIET | 12345},
                        {0xffff, QUIET | 1},
                        {0x7fff, ONE | 7},
                        MIN_NORMAL,
                        {0x8000, 1},
                        MAX_FINITE,
                        PLUS_ONE,
                        {0xbfff, ONE},
                        {0x401f, ONE},
                        {0x403e, ONE},
                        {0x3bcd, ONE},
                        {0x43fe, 0xFFFFFFFFFFFFF800}};

// Any operand; many with a full 64-bit significand.
Ext draw_operand(Rng& rng) {
  switch (rng.below(9)) {
    case 0:
      return ext(static_cast<long double>(random_double(rng)));
    case 1:
      return pick(rng, SPECIALS);
    case 2:
      return {static_cast<u16>(rng.sign() | (1 + rng.below(0x7ffe))), ONE | rng.next()};
    case 3:
      return {static_cast<u16>(rng.sign() | (16383 - 100 + rng.below(200))), ONE | rng.next()};
    case 4:
      return {rng.sign(), rng.next() >> (1 + rng.below(63))};  // x87 denormal
    case 5: {  // results of a few earlier operations
      const long double a = random_double(rng), b = random_double(rng), c = random_double(rng);
      return ext((a * b) / c + static_cast<long double>(random_double(rng)));
    }
    case 6: {
      long double km = program_distance(rng);
      for (int n = rng.below(4); n >= 0; --n)
        km = km * static_cast<long double>(pick(rng, PROGRAM_FACTORS));
      return ext(rng.below(2) != 0 ? km
                                   : km / static_cast<long double>(pick(rng, PROGRAM_FACTORS)));
    }
    case 7:
      return ext(static_cast<long double>(static_cast<std::int64_t>(rng.next()) >> rng.below(64)));
    default:
      return ext(static_cast<long double>(program_distance(rng)));
  }
}

// The integer bit set exactly where the exponent is nonzero: drawn bits
// make no unnormals or pseudo-denormals, which no operation produces.
Ext canonical(Ext x) {
  return {x.se, (x.se & 0x7fff) != 0 ? x.sig | ONE : x.sig & ~ONE};
}

u16 offset_exponent(Ext a, int offset) {
  int e = (a.se & 0x7fff) + offset;
  e = e < 0 ? 0 : (e > 0x7ffe ? 0x7ffe : e);
  return static_cast<u16>((a.se & 0x8000) | e);
}

// A second operand close to the first in exponent, often 63 to 66 below
// it: with a power-of-two significand (or one bit more) sums land on a tie or
// just beside it, where only the bits shifted out decide.
Ext nearby(Rng& rng, Ext a) {
  const u64 sigs[] = {ONE,
                      ONE | 1,
                      a.sig,
                      a.sig ^ static_cast<u64>(rng.below(8)),
                      ONE | rng.next(),
                      ALL_ONES,
                      ONE | (rng.next() & 0xFFFFFFFF)};
  const int offsets[] = {rng.below(3) - 1, -rng.below(71), -63 - rng.below(4), -63 - rng.below(4)};
  return {static_cast<u16>(offset_exponent(a, pick(rng, offsets)) ^ rng.sign()), pick(rng, sigs)};
}

// Odd significands whose bit lengths add up to 65: the exact product lies
// halfway between two representable values.
Ext tie_factor(Rng& rng, int bits) {
  const u64 m = (rng.next() >> (64 - bits)) | 1 | (u64{1} << (bits - 1));
  return {static_cast<u16>(rng.sign() | (16383 - 40 + rng.below(80))), m << (64 - bits)};
}

struct Pair {
  Ext a, b;
};

Pair draw_hard_pair(Kind kind, Rng& rng, Ext a) {
  switch (kind) {
    case Kind::multiply: {
      if (rng.below(2) != 0) {  // products around the smallest normal
        const Ext target{static_cast<u16>(rng.below(2)), ONE ^ (rng.next() >> rng.below(64))};
        return {a, ext(native(canonical(target)) / native(a))};
      }
      const int bits = 1 + rng.below(64);
      return {tie_factor(rng, bits), tie_factor(rng, bits == 1 ? 64 : 65 - bits)};
    }
    case Kind::divide: {  // quotients that sit close to a rounding boundary
      const long double b = native(a), q = native(draw_operand(rng));
      return {ext(q * b), a};
    }
    case Kind::compare: {
      const u64 sigs[] = {a.sig, a.sig + 1, a.sig - 1};
      return {a, {static_cast<u16>(a.se ^ (rng.below(4) == 0 ? 0x8000 : 0)), pick(rng, sigs)}};
    }
    default: {  // cancellation: the same magnitude with a few low bits changed
      const u64 low_bits = rng.next() >> rng.below(64);
      const u16 sign = kind == Kind::add ? 0x8000 : 0;
      if (rng.below(3) == 0)
        return {a, {static_cast<u16>(offset_exponent(a, -1) ^ sign), ALL_ONES ^ low_bits}};
      return {a, {static_cast<u16>(a.se ^ sign), a.sig ^ low_bits}};
    }
  }
}

Pair draw_pair(Kind kind, Rng& rng) {
  const Ext a = draw_operand(rng);
  switch (rng.below(4)) {
    case 0:
      return {a, draw_operand(rng)};
    case 1:
      return {a, nearby(rng, a)};
    case 2:
      return draw_hard_pair(kind, rng, a);
    default: {  // the program's kind of operation
      const Ext factor = ext(static_cast<long double>(pick(rng, PROGRAM_FACTORS)));
      const Ext km = ext(static_cast<long double>(program_distance(rng)));
      return rng.below(2) != 0 ? Pair{km, factor} : Pair{a, factor};
    }
  }
}

// Values around the edges of the double range and exact double ties.
Ext draw_for_to_double(Rng& rng) {
  Ext x = ext(static_cast<long double>(random_double(rng)));
  switch (rng.below(4)) {
    case 0:
      return draw_operand(rng);
    case 1:
      x.se = static_cast<u16>(rng.sign() | (0x3bcd - 66 + rng.below(120)));
      break;  // subnormal
    case 2:
      x.se = static_cast<u16>(rng.sign() | (0x43fe - 1 + rng.below(3)));
      break;  // overflow
    default:
      break;
  }
  const u64 low_bits[] = {0x400, 0x3ff, 0x401, rng.next() & 0x7ff, rng.next()};
  x.sig = ONE | (x.sig & ~u64{0x7ff}) | pick(rng, low_bits);
  return x;
}

// Values around -1, 0 and 2^32.
Ext draw_for_truncation(Rng& rng) {
  const long double nudge = static_cast<long double>(random_double(rng)) * 0x1p-60L;
  switch (rng.below(5)) {
    case 0:
      return draw_operand(rng);
    case 1:
      return ext(4294967296.0L + static_cast<long double>(rng.below(7) - 3) + nudge);
    case 2:
      return ext(-1.0L + nudge);
    case 3:
      return ext(static_cast<long double>(rng.below(5) - 2) * 0.5L + nudge);
    default:
      return {static_cast<u16>(rng.sign() | (16383 - 2 + rng.below(36))), ONE | rng.next()};
  }
}

u64 draw_integer(Rng& rng) {
  const std::int64_t near[] = {0, 1, -1, INT64_MAX, INT64_MIN, 4294967296, -4294967296};
  if (rng.below(4) == 0)
    return static_cast<u64>(pick(rng, near)) + static_cast<u64>(rng.below(9) - 4);
  return (rng.next() >> rng.below(64)) ^ (rng.below(2) != 0 ? ALL_ONES : 0);
}

Pair draw_case(Kind kind, Rng& rng) {
  switch (kind) {
    case Kind::from_double:
      return {{0, bits_of(random_double(rng))}, {}};
    case Kind::from_integer:
      return {{0, draw_integer(rng)}, {}};
    case Kind::to_double:
      return {canonical(draw_for_to_double(rng)), {}};
    case Kind::truncate:
      return {canonical(draw_for_truncation(rng)), {}};
    default: {
      const Pair p = draw_pair(kind, rng);
      return {canonical(p.a), canonical(p.b)};
    }
  }
}

bool is_nan(Kind kind, Ext r) {
  if (kind == Kind::to_double)
    return (r.sig & 0x7FF0000000000000) == 0x7FF0000000000000 && (r.sig << 12) != 0;
  if (kind == Kind::compare || kind == Kind::truncate) return false;
  return (r.se & 0x7fff) == 0x7fff && r.sig != ONE;
}
bool sign_of(Kind kind, Ext r) {
  return kind == Kind::to_double ? (r.sig >> 63) != 0 : (r.se >> 15) != 0;
}

long operation_count() {
  const char* text = std::getenv("COSMIC_DIFFERENTIAL_OPS");
  const long count = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
  return count > 0 ? count : 2000000;
}

class SoftExtendedDifferential : public ::testing::TestWithParam<Kind> {};

TEST_P(SoftExtendedDifferential, AgreesBitForBitWithTheX87) {
  const Kind kind = GetParam();
  Rng rng(0x5EED0000 + static_cast<u64>(kind));
  const long count = operation_count();
  long mismatches = 0, payload_differences = 0;
  for (long i = 0; i < count; ++i) {
    const Pair p = draw_case(kind, rng);
    const Ext want = native_result(kind, p.a, p.b);
    const Ext got = soft_result(kind, p.a, p.b);
    if (got == want) continue;
    if (is_nan(kind, want) && is_nan(kind, got) && sign_of(kind, want) == sign_of(kind, got)) {
      ++payload_differences;
      continue;
    }
    if (++mismatches <= 10) {
      ADD_FAILURE() << "a=" << describe(p.a) << " b=" << describe(p.b) << " x87 " << describe(want)
                    << " emulated " << describe(got);
    }
  }
  std::printf("[ differential ] %-11s compared %ld, mismatches %ld, NaN payload differences %ld\n",
              KIND_NAMES[static_cast<int>(kind)], count, mismatches, payload_differences);
  EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, SoftExtendedDifferential,
                         ::testing::Values(Kind::from_double, Kind::from_integer, Kind::add,
                                           Kind::subtract, Kind::multiply, Kind::divide,
                                           Kind::compare, Kind::to_double, Kind::truncate),
                         [](const ::testing::TestParamInfo<Kind>& info) {
                           return std::string(KIND_NAMES[static_cast<int>(info.param)]);
                         });

#endif  // COSMIC_NATIVE_X87

}  // namespace
