#!/usr/bin/env bash
# The whole suite built with clang and LLVM's C++ library, libc++, as on
# macOS, FreeBSD and Android's Termux, with the software extended precision
# forced on (as where long double is a plain double: Apple silicon). Debian
# 12's own clang 14 with libc++ 14 (the clang preset), then its newest,
# clang 19 with libc++ 19, under AddressSanitizer and
# UndefinedBehaviorSanitizer (clang-sanitize). GoogleTest is built from
# source by each, with its compiler and library.
#
# Debian's libc++ packages of two versions conflict: libc++ 19 is installed,
# and libc++ 14's packages are unpacked into build-clang/libc++-14, where
# the clang preset points clang 14 (and its programs' run path).
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/need.sh clang++-14:clang-14 clang++-19:clang-19 /usr/lib/llvm-19/include/c++/v1:libc++-19-dev \
  /usr/lib/llvm-19/lib/libc++abi.so:libc++abi-19-dev \
  '/usr/lib/llvm-19/lib/clang/*/lib/linux/libclang_rt.asan-x86_64.a:libclang-rt-19-dev' \
  /usr/src/googletest:googletest

libcxx=build-clang/libc++-14
if [ ! -d "$libcxx/usr" ]; then
  mkdir -p "$libcxx/debs"
  packages=(libc++-14-dev libc++1-14 libc++abi-14-dev libc++abi1-14 libunwind-14 libunwind-14-dev)
  # Fetched with the package lists as they are, or refreshed ones.
  (cd "$libcxx/debs" && { apt-get download -q "${packages[@]}" || { apt-get update -q && apt-get download -q "${packages[@]}"; }; })
  for deb in "$libcxx"/debs/*.deb; do dpkg-deb -x "$deb" "$libcxx"; done
fi

cmake --workflow --preset clang
cmake --workflow --preset clang-sanitize
