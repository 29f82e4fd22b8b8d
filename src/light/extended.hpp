// `Extended`: the one extended-precision real type through which all of the
// program's real arithmetic goes. It behaves as the x87 80-bit format: a
// 64-bit significand, round to nearest with ties to even, x87's exponent
// range. Where `long double` is that format it is used directly; elsewhere
// (or with COSMIC_FORCE_EMULATION) a bit-exact software emulation stands in,
// so every processor prints the same digits.
//
// Interface (both implementations): from_double, from_integer (exact),
// + - * / (one rounding each), == < <= > >= (IEEE: false with NaN),
// to_double (round to nearest even), truncate_to_u32 (range-checked).
#pragma once

#if !defined(COSMIC_FORCE_EMULATION) && defined(__LDBL_MANT_DIG__) && __LDBL_MANT_DIG__ == 64
#include "light/extended_native.hpp"
using Extended = NativeExtended;
#define COSMIC_EXTENDED_IS_NATIVE 1
#else
#include "light/extended_soft.hpp"
using Extended = SoftExtended;
#define COSMIC_EXTENDED_IS_NATIVE 0
#endif
