// Number scanners with the exact grammar of the C library's "%i", "%d" and
// "%lf" conversions (as glibc implements them, quirks included), over a byte
// stream with one byte of look-ahead.
//
// Pure logic: the stream's refill hook is the only way a scanner reaches the
// outside world, so the scanners are tested on strings without a terminal.
#pragma once

#include <cstddef>

// A buffered byte stream. `refill` is called when `cur == end`; it must set
// `cur` and `end` to fresh bytes and return true, or return false at the end
// of input (and keep returning false). A string stream passes a hook that
// always returns false.
struct ByteStream {
  const unsigned char* cur = nullptr;
  const unsigned char* end = nullptr;
  bool (*refill)(ByteStream& stream) = nullptr;
  bool at_end = false;  // set once refill has reported the end; sticky

  // The next byte (0..255), or -1 at the end of input.
  int peek() {
    if (cur == end && !fill()) return -1;
    return *cur;
  }
  void advance() { ++cur; }

 private:
  bool fill() {
    if (at_end || refill == nullptr || !refill(*this)) {
      at_end = true;
      return false;
    }
    return cur != end;
  }
};

enum class ScanResult {
  number,        // a value was read; the stream is just past its numeral
  no_number,     // non-white-space text that is not a number; it was discarded
  end_of_input,  // only white space (or nothing) was left before the end
};

enum class IntegerBase {
  from_prefix,  // "%i": 0x/0X hexadecimal, leading 0 octal, else decimal
  decimal,      // "%d"
};

// Skips white space, then reads an integer as "%i" or "%d" does, consuming
// exactly what glibc's scanf consumes. A numeral beyond the signed 32-bit
// range, in any base and of any length, gives 2147483647 or -2147483648.
// On no_number, the bytes the conversion consumed and the rest of that run of
// non-white-space bytes are discarded (the stream stops before the next white
// space or the end), and *value is untouched.
ScanResult scan_integer(ByteStream& in, IntegerBase base, int* value);

// Skips white space, then reads a real as "%lf" does: decimal and hexadecimal
// numerals, "nan", "inf" and "infinity" in any case, with an optional sign,
// consuming exactly what glibc's scanf consumes and giving the correctly
// rounded double. Memory is fixed whatever the numeral's length; the time is
// linear in it. No_number as for scan_integer.
ScanResult scan_real(ByteStream& in, double* value);

// A stream over a fixed piece of memory (for tests and in-process drivers).
ByteStream memory_stream(const char* text, std::size_t length);
