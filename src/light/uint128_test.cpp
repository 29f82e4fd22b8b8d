// Tests of the two-halves 128-bit integer. Expected values are worked out by
// hand (carries, borrows, shifts across the halves) or are products and
// quotients computed exactly with arbitrary-precision integers; where the
// compiler has a native 128-bit type, drawn operands are checked against it.
#include "light/uint128.hpp"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using u64 = std::uint64_t;
constexpr u64 ALL = ~u64{0};
constexpr u64 TOP = u64{1} << 63;

std::string hex(UInt128 x) {
  char text[40];
  std::snprintf(text, sizeof text, "%016" PRIx64 ":%016" PRIx64, x.high, x.low);
  return text;
}

TEST(UInt128, AddAndSubtractCarryAndBorrowAcrossTheHalves) {
  EXPECT_EQ(hex(UInt128{0, ALL} + UInt128{0, 1}), hex({1, 0}));
  EXPECT_EQ(hex(UInt128{5, ALL} + UInt128{7, ALL}), hex({13, ALL - 1}));
  EXPECT_EQ(hex(UInt128{ALL, ALL} + UInt128{0, 1}), hex({0, 0}));  // wraps
  EXPECT_EQ(hex(UInt128{2, 3} + UInt128{4, 5}), hex({6, 8}));      // no carry
  EXPECT_EQ(hex(UInt128{1, 0} - UInt128{0, 1}), hex({0, ALL}));
  EXPECT_EQ(hex(UInt128{9, 3} - UInt128{4, 5}), hex({4, ALL - 1}));
  EXPECT_EQ(hex(UInt128{0, 0} - UInt128{0, 1}), hex({ALL, ALL}));  // wraps
  EXPECT_EQ(hex(UInt128{6, 8} - UInt128{4, 5}), hex({2, 3}));      // no borrow
}

TEST(UInt128, ShiftsMoveBitsAcrossTheHalvesForEveryCountClass) {
  const UInt128 x{0x0123456789ABCDEF, 0xFEDCBA9876543210};
  const struct {
    int count;
    UInt128 left, right;
  } cases[] = {
      {0, x, x},
      {1, {0x02468ACF13579BDF, 0xFDB97530ECA86420}, {0x0091A2B3C4D5E6F7, 0xFF6E5D4C3B2A1908}},
      {4, {0x123456789ABCDEFF, 0xEDCBA98765432100}, {0x00123456789ABCDE, 0xFFEDCBA987654321}},
      {63, {0xFF6E5D4C3B2A1908, 0}, {0, 0x02468ACF13579BDF}},
      {64, {0xFEDCBA9876543210, 0}, {0, 0x0123456789ABCDEF}},
      {68, {0xEDCBA98765432100, 0}, {0, 0x00123456789ABCDE}},
      {127, {0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex(x << c.count), hex(c.left)) << c.count;
    EXPECT_EQ(hex(x >> c.count), hex(c.right)) << c.count;
  }
  EXPECT_EQ(hex(UInt128{0, 1} << 127), hex({TOP, 0}));
  EXPECT_EQ(hex(UInt128{TOP, 0} >> 127), hex({0, 1}));
}

TEST(UInt128, ShiftRightStickyKeepsEveryLostBitInBitZero) {
  const struct {
    UInt128 x;
    int count;
    UInt128 want;
  } cases[] = {
      {{0, 0b1000}, 3, {0, 0b1}},    // nothing lost
      {{0, 0b1100}, 3, {0, 0b1}},    // a lost 1: sticky
      {{0, 0b1010}, 3, {0, 0b1}},    // sticky on an odd result stays odd
      {{1, 0}, 1, {0, TOP}},         // a bit crosses the halves exactly
      {{1, 1}, 64, {0, 1}},          // the whole low half lost: sticky
      {{1, 1}, 1, {0, TOP | 1}},     // only bit 0 lost
      {{TOP, 0}, 127, {0, 1}},       // exact
      {{TOP, 1}, 127, {0, 1}},       // 1 | sticky
      {{TOP, 0}, 128, {0, 1}},       // all lost, nonzero
      {{0, 0}, 500, {0, 0}},         // zero stays zero
      {{3, 5}, 0, {3, 5}},           // no shift
      {{3, 5}, -2, {3, 5}},          // negative counts do nothing
      {{0, 0xF0}, 4, {0, 0xF}},      // low bits all zero: exact
      {{0x10, 0}, 68, {0, 1}},       // exact across the halves
      {{0x10, 0x8000}, 68, {0, 1}},  // the only lost bit is in the low half
      {{0x18, 0}, 68, {0, 1}},       // lost bit in the high half
      {{0x30, 0}, 68, {0, 3}},       // 0b11 exactly
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex(shift_right_sticky(c.x, c.count)), hex(c.want)) << hex(c.x) << " >> " << c.count;
  }
}

TEST(UInt128, CountsLeadingZerosInBothHalves) {
  EXPECT_EQ(countl_zero({0, 0}), 128);
  EXPECT_EQ(countl_zero({0, 1}), 127);
  EXPECT_EQ(countl_zero({0, TOP}), 64);
  EXPECT_EQ(countl_zero({1, 0}), 63);
  EXPECT_EQ(countl_zero({TOP, ALL}), 0);
  EXPECT_TRUE(UInt128({TOP, 0}).top_bit());
  EXPECT_FALSE(UInt128({TOP >> 1, ALL}).top_bit());
  EXPECT_TRUE(UInt128({0, 0}).is_zero());
  EXPECT_FALSE(UInt128({1, 0}).is_zero());
  EXPECT_FALSE(UInt128({0, 1}).is_zero());
}

TEST(UInt128, MultipliesTwo64BitNumbersExactly) {
  const struct {
    u64 a, b;
    UInt128 want;
  } cases[] = {
      {0, ALL, {0, 0}},
      {1, ALL, {0, ALL}},
      {ALL, ALL, {ALL - 1, 1}},
      {u64{1} << 32, u64{1} << 32, {1, 0}},
      {0x100000001, 0xFFFFFFFF, {0, ALL}},  // (2^32 + 1)(2^32 - 1)
      {TOP, 2, {1, 0}},
      {0xFFFFFFFF, 0xFFFFFFFF, {0, 0xFFFFFFFE00000001}},
      {0x123456789ABCDEF0, 0xFEDCBA9876543210, {0x121FA00AD77D7422, 0x236D88FE5618CF00}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex(multiply(c.a, c.b)), hex(c.want)) << std::hex << c.a << " * " << c.b;
    EXPECT_EQ(hex(multiply(c.b, c.a)), hex(c.want)) << std::hex << c.b << " * " << c.a;
  }
}

TEST(UInt128, DividesWhenTheQuotientFits64Bits) {
  const struct {
    UInt128 n;
    u64 d, quotient, remainder;
  } cases[] = {
      {{1, 0}, 3, 0x5555555555555555, 1},  // divisor not normalised
      {{0x7B, 0x1C8}, 1000000000000000000, 0x8DC, 0x0D2D6061061001C8},
      {{ALL - 1, ALL}, ALL, ALL, ALL - 1},  // the largest quotient
      {{TOP, 1}, TOP | 1, ALL - 1, 3},
      {{0x7FFF800000000000, 0}, 0x800000000000FFFF, 0xFFFEFFFFFFFE0003, 0x7FFF0001FFFB0003},
      {{0xFFFFFFFF, 0xFFFFFFFF00000000}, u64{1} << 32, ALL, 0},  // exact
      {{0, 41}, 7, 5, 6},                                        // high half zero
      {{0, 0}, 9, 0, 0},
  };
  for (const auto& c : cases) {
    u64 remainder = ALL;
    EXPECT_EQ(divide(c.n, c.d, &remainder), c.quotient) << hex(c.n) << " / " << c.d;
    EXPECT_EQ(remainder, c.remainder) << hex(c.n) << " % " << c.d;
  }
}

#if defined(__SIZEOF_INT128__)

__extension__ typedef unsigned __int128 native128;

native128 native(UInt128 x) {
  return (static_cast<native128>(x.high) << 64) | x.low;
}

// splitmix64, with operands biased towards runs of ones and zeros, where
// carries and the division's digit corrections happen.
u64 draw(u64& state) {
  u64 z = (state += 0x9E3779B97F4A7C15);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
  z ^= z >> 31;
  switch (z & 3) {
    case 0:
      return z >> (z >> 58);
    case 1:
      return ALL << ((z >> 2) & 63) | (z >> 60);
    default:
      return z;
  }
}

TEST(UInt128, AgreesWithTheCompilersOwn128BitIntegerOnDrawnOperands) {
  u64 state = 0x128128;
  int mismatches = 0;
  for (int i = 0; i < 200000 && mismatches < 10; ++i) {
    const u64 a = draw(state), b = draw(state), c = draw(state), d = draw(state) | 1;
    const int count = static_cast<int>(c & 127);
    const UInt128 x{a, b}, y{c, d};
    bool ok = native(x + y) == native(x) + native(y) && native(x - y) == native(x) - native(y) &&
              native(x << count) == native(x) << count &&
              native(x >> count) == native(x) >> count &&
              native(multiply(a, b)) == static_cast<native128>(a) * b;
    const UInt128 n{a % d, b};  // the quotient fits 64 bits
    u64 remainder = 0;
    const u64 quotient = divide(n, d, &remainder);
    ok = ok && quotient == native(n) / d && remainder == native(n) % d;
    if (!ok) {
      ++mismatches;
      ADD_FAILURE() << std::hex << a << ' ' << b << ' ' << c << ' ' << d;
    }
  }
}

#endif  // __SIZEOF_INT128__

}  // namespace
