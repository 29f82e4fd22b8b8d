// UInt128: an unsigned 128-bit integer held as two 64-bit halves, with just
// the operations the software extended precision needs. Every C++20 compiler
// has 64-bit integers, 32-bit processors included, so the emulation builds
// and gives the same bits everywhere; a native 128-bit type is not used, so
// there is only one code path to test.
//
// All arithmetic wraps modulo 2^128. Shift counts are 0..127.
#pragma once

#include <bit>
#include <cstdint>

struct UInt128 {
  std::uint64_t high = 0;
  std::uint64_t low = 0;

  constexpr bool operator==(const UInt128&) const = default;
  constexpr bool top_bit() const { return (high >> 63) != 0; }
  constexpr bool is_zero() const { return (high | low) == 0; }
};

constexpr UInt128 operator+(UInt128 a, UInt128 b) {
  const std::uint64_t low = a.low + b.low;
  return {a.high + b.high + (low < a.low ? 1 : 0), low};
}

constexpr UInt128 operator-(UInt128 a, UInt128 b) {
  return {a.high - b.high - (a.low < b.low ? 1 : 0), a.low - b.low};
}

constexpr UInt128 operator|(UInt128 a, UInt128 b) {
  return {a.high | b.high, a.low | b.low};
}

constexpr UInt128 operator<<(UInt128 x, int count) {
  if (count == 0) return x;
  if (count >= 64) return {x.low << (count - 64), 0};
  return {(x.high << count) | (x.low >> (64 - count)), x.low << count};
}

constexpr UInt128 operator>>(UInt128 x, int count) {
  if (count == 0) return x;
  if (count >= 64) return {0, x.high >> (count - 64)};
  return {x.high >> count, (x.low >> count) | (x.high << (64 - count))};
}

// Leading zero bits: 128 for zero.
constexpr int countl_zero(UInt128 x) {
  return x.high != 0 ? std::countl_zero(x.high) : 64 + std::countl_zero(x.low);
}

// Shifts right, folding every bit shifted out into bit 0 so that rounding
// still sees that the value was inexact. Any count >= 0 is allowed.
constexpr UInt128 shift_right_sticky(UInt128 x, int count) {
  if (count <= 0) return x;
  if (count >= 128) return {0, x.is_zero() ? 0U : 1U};
  const bool lost = !(x << (128 - count)).is_zero();
  return (x >> count) | UInt128{0, lost ? 1U : 0U};
}

// The exact product of two 64-bit numbers, from four 32-bit partial products.
constexpr UInt128 multiply(std::uint64_t a, std::uint64_t b) {
  constexpr std::uint64_t MASK = 0xFFFFFFFF;
  const std::uint64_t a_low = a & MASK, a_high = a >> 32;
  const std::uint64_t b_low = b & MASK, b_high = b >> 32;
  const std::uint64_t low_low = a_low * b_low;
  const std::uint64_t high_low = a_high * b_low;
  const std::uint64_t low_high = a_low * b_high;
  // The middle column: at most 3 * (2^32 - 1), so it cannot overflow.
  const std::uint64_t middle = (low_low >> 32) + (high_low & MASK) + (low_high & MASK);
  return {a_high * b_high + (high_low >> 32) + (low_high >> 32) + (middle >> 32),
          (middle << 32) | (low_low & MASK)};
}

namespace uint128_detail {

constexpr std::uint64_t DIGIT_MASK = 0xFFFFFFFF;

// One 32-bit quotient digit of (top * 2^32 + next) / divisor, for a divisor
// with its top bit set, top < divisor and next < 2^32. The estimate from the
// divisor's upper digit is at most two too large (Knuth's Algorithm D).
constexpr std::uint64_t divide_digit(std::uint64_t top, std::uint64_t next, std::uint64_t divisor,
                                     std::uint64_t* remainder) {
  const std::uint64_t d_high = divisor >> 32, d_low = divisor & DIGIT_MASK;
  std::uint64_t q = top / d_high;
  std::uint64_t r = top - q * d_high;
  while (q > DIGIT_MASK || q * d_low > ((r << 32) | next)) {
    --q;
    r += d_high;
    if (r > DIGIT_MASK) break;
  }
  // Modulo 2^64: the true remainder is below the divisor.
  *remainder = ((top << 32) | next) - q * divisor;
  return q;
}

}  // namespace uint128_detail

// floor(dividend / divisor) for 0 < divisor and dividend.high < divisor (so
// the quotient fits 64 bits); the remainder goes to *remainder. Schoolbook
// division in two 32-bit digits, the divisor first normalised.
constexpr std::uint64_t divide(UInt128 dividend, std::uint64_t divisor, std::uint64_t* remainder) {
  const int shift = std::countl_zero(divisor);
  const UInt128 n = dividend << shift;
  const std::uint64_t d = divisor << shift;
  std::uint64_t rest = 0;
  const std::uint64_t q1 = uint128_detail::divide_digit(n.high, n.low >> 32, d, &rest);
  const std::uint64_t q0 =
      uint128_detail::divide_digit(rest, n.low & uint128_detail::DIGIT_MASK, d, &rest);
  *remainder = rest >> shift;
  return (q1 << 32) | q0;
}
