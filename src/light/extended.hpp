// `Extended`: the one extended-precision real type through which all of the
// program's real arithmetic goes. It behaves as the x87 80-bit format: a
// 64-bit significand, round to nearest with ties to even, x87's exponent
// range. Where `long double` is that format it is used directly; elsewhere
// (or with COSMIC_FORCE_EMULATION) a bit-exact software emulation stands in,
// so every processor prints the same digits.
#pragma once

#include <concepts>
#include <cstdint>

// What both implementations offer: exact conversions from double and from
// integers, + - * / with one rounding each, IEEE comparisons (false with a
// NaN), to_double rounding to nearest even, and truncate_to_u32, which
// checks the range (see either type for the details).
template <class T>
concept ExtendedReal = std::semiregular<T> &&
    requires(T a, T b, double d, std::int64_t n, std::uint32_t* count) {
  { T::from_double(d) } -> std::same_as<T>;
  { T::from_integer(n) } -> std::same_as<T>;
  { a + b } -> std::same_as<T>;
  { a - b } -> std::same_as<T>;
  { a* b } -> std::same_as<T>;
  { a / b } -> std::same_as<T>;
  { a == b } -> std::same_as<bool>;
  { a < b } -> std::same_as<bool>;
  { a <= b } -> std::same_as<bool>;
  { a > b } -> std::same_as<bool>;
  { a >= b } -> std::same_as<bool>;
  { a.to_double() } -> std::same_as<double>;
  { a.truncate_to_u32(count) } -> std::same_as<bool>;
};

#include "light/extended_soft.hpp"
static_assert(ExtendedReal<SoftExtended>);

#if !defined(COSMIC_FORCE_EMULATION) && defined(__LDBL_MANT_DIG__) && __LDBL_MANT_DIG__ == 64
#include "light/extended_native.hpp"
static_assert(ExtendedReal<NativeExtended>);
using Extended = NativeExtended;
#define COSMIC_EXTENDED_IS_NATIVE 1
#else
using Extended = SoftExtended;
#define COSMIC_EXTENDED_IS_NATIVE 0
#endif
