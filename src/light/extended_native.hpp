// The extended-precision real on processors whose `long double` is the x87
// format (64-bit significand, round to nearest even): a thin value wrapper, so
// that the dialogs use the same interface as with the software emulation and
// never touch `long double` themselves.
#pragma once

#include <cstdint>

class NativeExtended {
 public:
  constexpr NativeExtended() = default;

  // Both conversions are exact.
  static constexpr NativeExtended from_double(double d) { return NativeExtended(d); }
  static constexpr NativeExtended from_integer(std::int64_t n) {
    return NativeExtended(static_cast<long double>(n));
  }

  // Each operation rounds once, to the 64-bit significand.
  friend NativeExtended operator+(NativeExtended a, NativeExtended b) { return a.v_ + b.v_; }
  friend NativeExtended operator-(NativeExtended a, NativeExtended b) { return a.v_ - b.v_; }
  friend NativeExtended operator*(NativeExtended a, NativeExtended b) { return a.v_ * b.v_; }
  friend NativeExtended operator/(NativeExtended a, NativeExtended b) { return a.v_ / b.v_; }

  // IEEE comparisons: every ordered comparison with a NaN is false.
  friend bool operator==(NativeExtended a, NativeExtended b) { return a.v_ == b.v_; }
  friend bool operator<(NativeExtended a, NativeExtended b) { return a.v_ < b.v_; }
  friend bool operator<=(NativeExtended a, NativeExtended b) { return a.v_ <= b.v_; }
  friend bool operator>(NativeExtended a, NativeExtended b) { return a.v_ > b.v_; }
  friend bool operator>=(NativeExtended a, NativeExtended b) { return a.v_ >= b.v_; }

  // Rounds to the nearest double, ties to even (as an x87 store to memory).
  // Where doubles are evaluated in x87 registers (32-bit x86), g++ may keep
  // the converted value at full precision in C++; the store to a volatile
  // double makes the rounding happen here, so what the caller stores,
  // compares or prints is truly the double.
  double to_double() const {
#if defined(__FLT_EVAL_METHOD__) && __FLT_EVAL_METHOD__ != 0
    const volatile double rounded = static_cast<double>(v_);
    return rounded;
#else
    return static_cast<double>(v_);
#endif
  }

  // Truncates toward zero into *count and returns true when the result lies
  // in 0..4294967295; returns false (leaving *count alone) otherwise,
  // NaN included. Never undefined behaviour.
  bool truncate_to_u32(std::uint32_t* count) const {
    if (!(v_ > -1.0L && v_ < 4294967296.0L)) return false;
    *count = static_cast<std::uint32_t>(v_);
    return true;
  }

 private:
  constexpr NativeExtended(long double v) : v_(v) {}
  long double v_ = 0.0L;
};
