// SoftExtended: the x87 80-bit extended real in integer arithmetic, for
// processors whose `long double` is something else (IEEE quad on 64-bit Arm,
// plain double elsewhere), so that they print the digits an x87 prints. Every
// result is bit for bit the one of an x87 in round-to-nearest-even with
// precision control "extended" (as Linux sets it):
// - + - * / round once to the 64-bit significand; results below the normal
//   range become x87 denormals (rounded once), results above it infinity.
// - Signed zeros as IEEE: x - x = +0, (-0) + (-0) = -0.
// - inf - inf, 0 * inf, 0 / 0 and inf / inf give the x87 default NaN (sign
//   set, significand 0xC000000000000000); x / 0 gives a signed infinity.
// - A NaN operand comes back quieted. Of two NaNs a quiet one beats a
//   signalling one, then the larger significand wins, then the positive one.
// - to_double rounds as an x87 store to a double does: once, straight to the
//   subnormal precision for tiny results; too large gives infinity.
// Pseudo-denormals, unnormals and pseudo-NaNs never come out of these
// operations and get no x87 treatment when fed in through from_bits.
#pragma once

#include <bit>
#include <cstdint>

#include "light/double_bits.hpp"

class SoftExtended {
 public:
  constexpr SoftExtended() = default;

  // Both conversions are exact.
  static constexpr SoftExtended from_double(double d);
  static constexpr SoftExtended from_integer(std::int64_t n);

  // Raw x87 layout: sign bit and 15-bit exponent biased by 16383, then the
  // 64-bit significand with its integer bit explicit.
  static constexpr SoftExtended from_bits(std::uint16_t sign_exponent, std::uint64_t significand) {
    return SoftExtended(sign_exponent, significand);
  }
  constexpr std::uint16_t sign_exponent() const { return sign_exponent_; }
  constexpr std::uint64_t significand() const { return significand_; }

  static constexpr std::uint16_t SIGN_BIT = 0x8000;
  static constexpr int MAX_EXPONENT = 0x7fff;  // of infinities and NaNs
  static constexpr std::uint64_t INTEGER_BIT = std::uint64_t{1} << 63;

  // The value's class, read off its encoding.
  constexpr bool is_negative() const { return (sign_exponent_ & SIGN_BIT) != 0; }
  constexpr int exponent() const { return sign_exponent_ & MAX_EXPONENT; }
  constexpr bool is_nan() const {
    return exponent() == MAX_EXPONENT && significand_ != INTEGER_BIT;
  }
  // Every caller has ruled out NaNs first, so an exponent of all ones here
  // is always an infinity; the test of the significand keeps the function
  // true on its own.
  constexpr bool is_infinity() const {
    return exponent() == MAX_EXPONENT && significand_ == INTEGER_BIT;  // GCOVR_EXCL_BR_LINE
  }
  constexpr bool is_zero() const { return exponent() == 0 && significand_ == 0; }

  // Each operation rounds once, to the 64-bit significand.
  friend SoftExtended operator+(SoftExtended a, SoftExtended b);
  friend SoftExtended operator-(SoftExtended a, SoftExtended b);
  friend SoftExtended operator*(SoftExtended a, SoftExtended b);
  friend SoftExtended operator/(SoftExtended a, SoftExtended b);

  // IEEE comparisons: every ordered comparison with a NaN is false.
  friend constexpr bool operator==(SoftExtended a, SoftExtended b) {
    if (a.is_nan() || b.is_nan()) return false;
    if (a.is_zero() && b.is_zero()) return true;
    return a.sign_exponent_ == b.sign_exponent_ && a.significand_ == b.significand_;
  }
  friend constexpr bool operator<(SoftExtended a, SoftExtended b) {
    return !a.is_nan() && !b.is_nan() && a.precedes(b);
  }
  friend constexpr bool operator<=(SoftExtended a, SoftExtended b) {
    return !a.is_nan() && !b.is_nan() && !b.precedes(a);
  }
  friend constexpr bool operator>(SoftExtended a, SoftExtended b) { return b < a; }
  friend constexpr bool operator>=(SoftExtended a, SoftExtended b) { return b <= a; }

  // Rounds to the nearest double, ties to even (as an x87 store to memory).
  double to_double() const;

  // Truncates toward zero into *count and returns true when the result lies
  // in 0..4294967295; returns false (leaving *count alone) otherwise,
  // NaN included. Never undefined behaviour.
  bool truncate_to_u32(std::uint32_t* count) const;

 private:
  constexpr SoftExtended(std::uint16_t sign_exponent, std::uint64_t significand)
      : significand_(significand), sign_exponent_(sign_exponent) {}

  // |this| < |other| for non-NaN values: the encoding orders magnitudes.
  constexpr bool smaller_magnitude(SoftExtended other) const {
    return exponent() != other.exponent() ? exponent() < other.exponent()
                                          : significand_ < other.significand_;
  }
  // this < other for non-NaN values.
  constexpr bool precedes(SoftExtended other) const {
    if (is_zero() && other.is_zero()) return false;
    if (is_negative() != other.is_negative()) return is_negative();
    return is_negative() ? other.smaller_magnitude(*this) : smaller_magnitude(other);
  }

  std::uint64_t significand_ = 0;
  std::uint16_t sign_exponent_ = 0;
};

constexpr SoftExtended SoftExtended::from_double(double d) {
  const std::uint64_t bits = bits_of(d);
  const std::uint16_t sign = (bits >> 63) != 0 ? SIGN_BIT : 0;
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0x7ff) {
    // Infinity, or a NaN quieted with its payload moved up as fld does.
    const std::uint64_t quiet = fraction != 0 ? std::uint64_t{1} << 62 : 0;
    return SoftExtended(sign | MAX_EXPONENT, INTEGER_BIT | quiet | (fraction << 11));
  }
  if (biased == 0) {
    if (fraction == 0) return SoftExtended(sign, 0);
    // A double subnormal is a normal number in the wider exponent range.
    const int shift = std::countl_zero(fraction);
    return SoftExtended(static_cast<std::uint16_t>(sign | (15372 - shift)), fraction << shift);
  }
  return SoftExtended(static_cast<std::uint16_t>(sign | (biased + 15360)),
                      INTEGER_BIT | (fraction << 11));
}

constexpr SoftExtended SoftExtended::from_integer(std::int64_t n) {
  if (n == 0) return SoftExtended();
  const std::uint16_t sign = n < 0 ? SIGN_BIT : 0;
  const std::uint64_t magnitude =
      n < 0 ? ~static_cast<std::uint64_t>(n) + 1 : static_cast<std::uint64_t>(n);
  const int shift = std::countl_zero(magnitude);
  return SoftExtended(static_cast<std::uint16_t>(sign | (16383 + 63 - shift)), magnitude << shift);
}
