#!/usr/bin/env bash
# Fuzz smoke run: the whole program in-process under libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer, seeded with the inputs of
# the session tests, for a fixed number of inputs per arithmetic variant
# (the processor's extended precision and the software emulation). Any
# crash, leak, sanitizer report, hang or unexpected exit status fails. The
# count of runs and the seed are fixed, so the result does not depend on the
# speed of the machine.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${COSMIC_FUZZ_RUNS:-500000}
build=build-fuzz

need=()
command -v clang++-14 >/dev/null || need+=(clang-14)
compgen -G "/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
  need+=(libclang-rt-14-dev)
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh "${need[@]}"

CC=clang-14 CXX=clang++-14 cmake -S fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

for target in cosmic_fuzz cosmic_fuzz_emulated; do
  corpus="$build/corpus-$target"
  rm -rf "$corpus" && mkdir -p "$corpus"
  "$build/write_seeds" "$corpus"
  log="$build/$target.log"
  echo "fuzzing $target: $runs runs"
  # -max_len leaves room for numerals far beyond the 800 significant digits
  # the real scanner keeps, and for inputs that cross several refills.
  if ! "$build/$target" -runs="$runs" -seed=1 -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
      -dict=fuzz/cosmic.dict -print_final_stats=1 -artifact_prefix="$build/" \
      "$corpus" 2>"$log"; then
    tail -n 80 "$log"
    echo "fuzzing $target failed; the input that failed is in $build/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log"
done
