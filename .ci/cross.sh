#!/usr/bin/env bash
# Cross-builds for another Debian processor and runs the whole suite there
# (the long differential run aside) under user-mode emulation; for 32-bit x86
# natively where the kernel runs 32-bit programs, else under qemu-i386. The
# session tests compare every byte of the output, so a pass means the
# processor prints exactly what x86-64 prints.
#   bash .ci/cross.sh TRIPLET     e.g. aarch64-linux-gnu, arm-linux-gnueabihf,
#                                 s390x-linux-gnu, i686-linux-gnu
set -euo pipefail
cd "$(dirname "$0")/.."
triplet=${1:?usage: .ci/cross.sh TRIPLET (e.g. aarch64-linux-gnu)}
cpu=${triplet%%-*}

# What readelf -h calls the processor, so that a host build cannot pass.
case $cpu in
  aarch64) machine=AArch64 qemu=qemu-aarch64 ;;
  arm) machine=ARM qemu=qemu-arm ;;
  s390x) machine=S/390 qemu=qemu-s390x ;;
  powerpc64le) machine=PowerPC64 qemu=qemu-ppc64le ;;
  riscv64) machine=RISC-V qemu=qemu-riscv64 ;;
  mips64el) machine=MIPS qemu=qemu-mips64el ;;
  i686) machine=80386 qemu=qemu-i386 ;;
  *) echo "cross.sh: no entry for $triplet" >&2; exit 2 ;;
esac

need=()
command -v "$triplet-g++" >/dev/null || need+=("g++-$triplet")
[ -z "$qemu" ] || command -v "$qemu" >/dev/null || need+=(qemu-user)
[ -d /usr/src/googletest ] || need+=(googletest)
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh "${need[@]}"

build=build-$triplet
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/cross.cmake -DCOSMIC_CROSS_TRIPLET="$triplet" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"
readelf -h "$build/cosmic-distances" | grep -q "Machine:.*$machine"
# How cmake/cross.cmake found the build's programs can run here.
emulator=$(sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:STRING=//p' "$build/CMakeCache.txt")
if [[ $emulator != qemu-i386\;* ]]; then
  ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE differential
  exit
fi
# i686 under qemu-i386, for this kernel runs no 32-bit programs. There a
# thread's signals hang the platform tests and a forked child spins (the
# session harness's before it reaches exec, the death test's of an
# over-long format). So the host's session harness starts the i686 program
# under qemu-i386 instead, and the platform's POSIX code and that death
# test, the same source on every processor, are left to the other builds.
echo "cross.sh: this kernel runs no 32-bit x86 programs; using qemu-i386" >&2
ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE 'differential|session' \
  -E '^Piped(Input|Output)\.|^Output\.AFormattedTextMustBeShorterThan1KiB$'
[ -x build/tests/session_tests ] || { cmake --preset default && cmake --build --preset default --target session_tests; }
COSMIC_PROGRAM="${emulator//;/ } $build/cosmic-distances" build/tests/session_tests
