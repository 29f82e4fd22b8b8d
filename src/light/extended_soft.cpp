#include "light/extended_soft.hpp"

#include <cstdint>

#include "light/uint128.hpp"

namespace {

constexpr int BIAS = 16383;
constexpr int MAX_EXPONENT = SoftExtended::MAX_EXPONENT;
constexpr std::uint64_t INTEGER_BIT = SoftExtended::INTEGER_BIT;
constexpr std::uint64_t QUIET_BIT = std::uint64_t{1} << 62;
constexpr std::uint64_t HALF = std::uint64_t{1} << 63;

// A finite nonzero value taken apart: value = significand * 2^(exponent -
// BIAS - 63), with the top bit of the significand set. Denormals are
// normalised, so their exponent drops below 1.
struct Unpacked {
  bool negative;
  int exponent;
  std::uint64_t significand;
};

std::uint16_t sign_of(bool negative) {
  return negative ? SoftExtended::SIGN_BIT : 0;
}

SoftExtended make(bool negative, int exponent, std::uint64_t significand) {
  return SoftExtended::from_bits(static_cast<std::uint16_t>(sign_of(negative) | exponent),
                                 significand);
}
SoftExtended zero(bool negative) {
  return make(negative, 0, 0);
}
SoftExtended infinity(bool negative) {
  return make(negative, MAX_EXPONENT, INTEGER_BIT);
}
// What x87 delivers for an invalid operation with no NaN operand.
SoftExtended default_nan() {
  return make(true, MAX_EXPONENT, INTEGER_BIT | QUIET_BIT);
}
SoftExtended with_sign(SoftExtended x, bool negative) {
  return make(negative, x.exponent(), x.significand());
}

// For finite nonzero x only.
Unpacked unpack(SoftExtended x) {
  const int exponent = x.exponent();
  const std::uint64_t significand = x.significand();
  if (exponent != 0) return {x.is_negative(), exponent, significand};
  const int shift = std::countl_zero(significand);
  return {x.is_negative(), 1 - shift, significand << shift};
}

// Rounds m (top bit set; value = m * 2^(exponent - BIAS - 127)) to 64 bits,
// to nearest with ties to even, and packs it; too small a result becomes a
// denormal rounded once, too large a one infinity.
SoftExtended round_and_pack(bool negative, int exponent, UInt128 m) {
  if (exponent < 1) {
    m = shift_right_sticky(m, 1 - exponent);
    exponent = 0;
  }
  std::uint64_t significand = m.high;
  const std::uint64_t rest = m.low;
  // Computed without a branch: on real data the round-up is a coin toss,
  // and a mispredicted branch here costs more than the whole sum.
  const std::uint64_t up = static_cast<std::uint64_t>(rest > HALF) |
                           (static_cast<std::uint64_t>(rest == HALF) & significand & 1);
  significand += up;
  if (up != 0 && (significand == 0 || exponent == 0)) {
    if (significand == 0) {
      significand = INTEGER_BIT;
      ++exponent;
    } else if ((significand & INTEGER_BIT) != 0) {
      exponent = 1;  // here exponent was 0: a denormal rounded up into the normal range
    }
  }
  if (exponent >= MAX_EXPONENT) return infinity(negative);
  return make(negative, exponent, significand);
}

SoftExtended quieted(SoftExtended x) {
  return SoftExtended::from_bits(x.sign_exponent(), x.significand() | QUIET_BIT);
}

// At least one operand is a NaN: the one x87 passes on, quieted.
SoftExtended propagate_nan(SoftExtended a, SoftExtended b) {
  if (!b.is_nan()) return quieted(a);
  if (!a.is_nan()) return quieted(b);
  const bool a_quiet = (a.significand() & QUIET_BIT) != 0;
  const bool b_quiet = (b.significand() & QUIET_BIT) != 0;
  if (a_quiet != b_quiet) return quieted(a_quiet ? a : b);
  if (a.significand() != b.significand()) {
    return quieted(a.significand() > b.significand() ? a : b);
  }
  return quieted(a.is_negative() ? b : a);
}

// x + y for finite nonzero operands, x of the larger magnitude.
SoftExtended add_ordered(Unpacked x, Unpacked y) {
  // Bit 126 holds the integer bit; 63 bits below it keep an aligned operand
  // exact up to an exponent difference of 63 and sticky beyond.
  const UInt128 mx = UInt128{0, x.significand} << 63;
  const UInt128 my = shift_right_sticky(UInt128{0, y.significand} << 63, x.exponent - y.exponent);
  if (x.negative == y.negative) {
    const UInt128 sum = mx + my;
    if (sum.top_bit()) return round_and_pack(x.negative, x.exponent + 1, sum);
    return round_and_pack(x.negative, x.exponent, sum << 1);
  }
  const UInt128 difference = mx - my;
  if (difference.is_zero()) return zero(false);  // x - x is +0 when rounding to nearest
  const int shift = countl_zero(difference);
  return round_and_pack(x.negative, x.exponent - shift + 1, difference << shift);
}

SoftExtended add_finite(SoftExtended a, SoftExtended b) {
  const Unpacked x = unpack(a);
  const Unpacked y = unpack(b);
  const bool y_larger =
      y.exponent != x.exponent ? y.exponent > x.exponent : y.significand > x.significand;
  return y_larger ? add_ordered(y, x) : add_ordered(x, y);
}

// a + b, where b_negative replaces b's sign (so that a - b needs no copy of
// b that would lose the NaN it may be).
SoftExtended add(SoftExtended a, SoftExtended b, bool b_negative) {
  if (a.is_nan() || b.is_nan()) return propagate_nan(a, b);
  if (a.is_infinity()) {
    if (b.is_infinity() && a.is_negative() != b_negative) return default_nan();
    return a;
  }
  if (b.is_infinity()) return infinity(b_negative);
  if (b.is_zero()) return a.is_zero() ? zero(a.is_negative() && b_negative) : a;
  if (a.is_zero()) return with_sign(b, b_negative);
  return add_finite(a, with_sign(b, b_negative));
}

SoftExtended multiply_finite(SoftExtended a, SoftExtended b, bool negative) {
  const Unpacked x = unpack(a);
  const Unpacked y = unpack(b);
  const UInt128 product = multiply(x.significand, y.significand);
  const int exponent = x.exponent + y.exponent - BIAS;
  if (product.top_bit()) return round_and_pack(negative, exponent + 1, product);
  return round_and_pack(negative, exponent, product << 1);
}

// floor(numerator * 2^64 / divisor) for numerator < divisor; the remainder
// goes to *remainder.
std::uint64_t divide_step(std::uint64_t numerator, std::uint64_t divisor,
                          std::uint64_t* remainder) {
  return divide(UInt128{numerator, 0}, divisor, remainder);
}

SoftExtended divide_finite(SoftExtended a, SoftExtended b, bool negative) {
  const Unpacked x = unpack(a);
  const Unpacked y = unpack(b);
  const std::uint64_t divisor = y.significand;
  int exponent = x.exponent - y.exponent + BIAS;
  // 65 quotient bits (integer bit, 63 more, one for rounding) and whether
  // anything remains.
  UInt128 quotient;
  std::uint64_t remainder = 0;
  if (x.significand >= divisor) {
    quotient = {1, divide_step(x.significand - divisor, divisor, &remainder)};
  } else {
    quotient = {0, divide_step(x.significand, divisor, &remainder)};
    const bool bit = remainder >= divisor - remainder;  // 2 * remainder >= divisor
    quotient = (quotient << 1) | UInt128{0, bit ? 1U : 0U};
    remainder = bit ? remainder - (divisor - remainder) : remainder << 1;
    --exponent;
  }
  return round_and_pack(negative, exponent,
                        (quotient << 63) | UInt128{0, remainder != 0 ? 1U : 0U});
}

}  // namespace

SoftExtended operator+(SoftExtended a, SoftExtended b) {
  return add(a, b, b.is_negative());
}

SoftExtended operator-(SoftExtended a, SoftExtended b) {
  return add(a, b, !b.is_negative());
}

SoftExtended operator*(SoftExtended a, SoftExtended b) {
  if (a.is_nan() || b.is_nan()) return propagate_nan(a, b);
  const bool sign = a.is_negative() != b.is_negative();
  if (a.is_infinity() || b.is_infinity()) {
    return a.is_zero() || b.is_zero() ? default_nan() : infinity(sign);
  }
  if (a.is_zero() || b.is_zero()) return zero(sign);
  return multiply_finite(a, b, sign);
}

SoftExtended operator/(SoftExtended a, SoftExtended b) {
  if (a.is_nan() || b.is_nan()) return propagate_nan(a, b);
  const bool sign = a.is_negative() != b.is_negative();
  if (a.is_infinity()) return b.is_infinity() ? default_nan() : infinity(sign);
  if (b.is_infinity()) return zero(sign);
  if (b.is_zero()) return a.is_zero() ? default_nan() : infinity(sign);
  if (a.is_zero()) return zero(sign);
  return divide_finite(a, b, sign);
}

namespace {

constexpr std::uint64_t DOUBLE_EXPONENT_MASK = std::uint64_t{0x7ff} << 52;

double double_from(bool negative, std::uint64_t magnitude_bits) {
  return double_of((negative ? std::uint64_t{1} << 63 : 0) | magnitude_bits);
}

// Keeps the top 64 - shift bits of the significand, rounded to nearest even.
// A carry out of the kept bits is left in place for the caller.
std::uint64_t round_off(std::uint64_t significand, int shift) {
  if (shift > 64) return 0;  // below half of the last kept bit
  const std::uint64_t kept = shift == 64 ? 0 : significand >> shift;
  const std::uint64_t rest = shift == 64 ? significand : significand << (64 - shift);
  const bool up = rest > HALF || (rest == HALF && (kept & 1) != 0);
  return kept + (up ? 1 : 0);
}

// Finite nonzero x to the bits of |x| as a double.
std::uint64_t double_magnitude(SoftExtended x) {
  const Unpacked u = unpack(x);
  const int biased = u.exponent - BIAS + 1023;
  if (biased >= 0x7ff) return DOUBLE_EXPONENT_MASK;
  if (biased >= 1) {
    // The integer bit lands in the exponent field, adding the 1 taken off
    // here; a rounding carry moves on into it (up to infinity) the same way.
    const std::uint64_t significand = round_off(u.significand, 11);
    return (static_cast<std::uint64_t>(biased - 1) << 52) + significand;
  }
  // Subnormal: rounded once, at its own precision; rounding up to 2^52
  // gives the smallest normal's bits.
  return round_off(u.significand, 12 - biased);
}

}  // namespace

double SoftExtended::to_double() const {
  if (is_nan()) {
    // Quieted, the top 52 bits of the fraction kept, as fst does.
    const std::uint64_t payload = (significand_ >> 11) & ((std::uint64_t{1} << 52) - 1);
    return double_from(is_negative(), DOUBLE_EXPONENT_MASK | (std::uint64_t{1} << 51) | payload);
  }
  if (is_infinity()) return double_from(is_negative(), DOUBLE_EXPONENT_MASK);
  if (is_zero()) return double_from(is_negative(), 0);
  return double_from(is_negative(), double_magnitude(*this));
}

bool SoftExtended::truncate_to_u32(std::uint32_t* count) const {
  if (is_nan()) return false;
  const int unbiased = exponent() - BIAS;  // denormals and zeros: far below 0
  if (unbiased < 0) {
    *count = 0;  // |x| < 1, so -1 < x < 1
    return true;
  }
  if (is_negative() || unbiased >= 32) return false;  // x <= -1 or x >= 2^32 (or infinite)
  *count = static_cast<std::uint32_t>(significand_ >> (63 - unbiased));
  return true;
}
