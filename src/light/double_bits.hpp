// A double's IEEE bits and back. This is std::bit_cast, spelled as the
// compiler builtin behind it because not every C++20 library that builds the
// program has std::bit_cast yet (the WebAssembly toolchain's libc++ lacks it);
// g++ and clang both have the builtin, in constant expressions too.
#pragma once

#include <cstdint>

constexpr std::uint64_t bits_of(double d) {
  return __builtin_bit_cast(std::uint64_t, d);
}

constexpr double double_of(std::uint64_t bits) {
  return __builtin_bit_cast(double, bits);
}
