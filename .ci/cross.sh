#!/usr/bin/env bash
# Cross-builds for another Debian processor and runs the whole suite there
# (the long differential run aside) under user-mode emulation; for 32-bit x86
# natively where the kernel runs 32-bit programs, else under qemu-i386. The
# session tests compare every byte of the output, so a pass means the
# processor prints exactly what x86-64 prints.
#   bash .ci/cross.sh TRIPLET     the preset of that name: aarch64-linux-gnu,
#                                 arm-linux-gnueabihf, s390x-linux-gnu,
#                                 i686-linux-gnu
set -euo pipefail
cd "$(dirname "$0")/.."
triplet=${1:?usage: .ci/cross.sh TRIPLET (e.g. aarch64-linux-gnu)}
# (qemu-user brings every qemu-*.)
bash .ci/need.sh "$triplet-g++:g++-$triplet" qemu-arm:qemu-user /usr/src/googletest:googletest

# What readelf -h calls the processor, so that a host build cannot pass.
declare -A machines=([aarch64]=AArch64 [arm]=ARM [s390x]=S/390 [i686]=80386)
machine=${machines[${triplet%%-*}]:?"cross.sh: no entry for $triplet"}
build=build-$triplet
cmake --preset "$triplet" >/dev/null
cmake --build --preset "$triplet"
readelf -h "$build/cosmic-distances" | grep -q "Machine:.*$machine"
# How cmake/cross.cmake found the build's programs can run here.
emulator=$(sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:STRING=//p' "$build/CMakeCache.txt")
if [[ $emulator != qemu-i386\;* ]]; then
  ctest --preset "$triplet"
  exit
fi
# i686 under qemu-i386, for this kernel runs no 32-bit programs. There a
# thread's signals hang the platform tests and a forked child spins (the
# session harness's before it reaches exec, the death test's of an
# over-long format). So the host's session harness starts the i686 program
# under qemu-i386 instead, and the platform's POSIX code and that death
# test, the same source on every processor, are left to the other builds.
echo "cross.sh: this kernel runs no 32-bit x86 programs; using qemu-i386" >&2
# (The preset's own filter would override these on ctest's command line.)
ctest --test-dir "$build" --output-on-failure -LE 'differential|session' -E '^Piped(Input|Output)\.|^Output\.AFormattedTextMustBeShorterThan1KiB$'
[ -x build/tests/session_tests ] || { cmake --preset default && cmake --build --preset default --target session_tests; }
COSMIC_PROGRAM="${emulator//;/ } $build/cosmic-distances" build/tests/session_tests
