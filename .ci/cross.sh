#!/usr/bin/env bash
# Cross-builds for another Debian processor and runs the whole suite there
# (the long differential run aside) under user-mode emulation; for 32-bit x86
# natively. The session tests compare every byte of the output, so a pass
# means the processor prints exactly what x86-64 prints.
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
  i686) machine=80386 qemu= ;;
  *) echo "cross.sh: no entry for $triplet" >&2; exit 2 ;;
esac

need=()
command -v "$triplet-g++" >/dev/null || need+=("g++-$triplet")
[ -z "$qemu" ] || command -v "$qemu" >/dev/null || need+=(qemu-user)
[ -d /usr/src/googletest ] || need+=(googletest)
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh "${need[@]}"

build=build-$triplet
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/cross.cmake -DCOSMIC_CROSS_TRIPLET="$triplet" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
readelf -h "$build/cosmic-distances" | grep -q "Machine:.*$machine"
ctest --test-dir "$build" --output-on-failure -j2 -LE differential
