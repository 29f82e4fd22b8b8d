#!/usr/bin/env bash
# Cross-builds for 64-bit Arm, where long double is IEEE quadruple precision
# and the software extended precision is used, and runs the whole suite under
# user-mode emulation: the sessions must print exactly the same bytes.
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
command -v aarch64-linux-gnu-g++ >/dev/null || need+=(g++-aarch64-linux-gnu)
command -v qemu-aarch64 >/dev/null || need+=(qemu-user)
[ -d /usr/src/googletest ] || need+=(googletest)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}"
fi

build=build-aarch64
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2
readelf -h "$build/cosmic-distances" | grep -q AArch64
ctest --test-dir "$build" --output-on-failure -j2 -LE differential
