#!/usr/bin/env bash
# Fuzz smoke run: the whole program in-process under libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer, seeded with the inputs of
# the session tests, for a fixed number of inputs per arithmetic variant
# (the processor's extended precision and the software emulation), with the
# commands fuzz/CMakeLists.txt gives. Any crash, leak, sanitizer report, hang
# or unexpected exit status fails. The count of runs and the seed are fixed,
# so the result does not depend on the speed of the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/need.sh clang++-14:clang-14 \
  '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-14-dev'

runs=${COSMIC_FUZZ_RUNS:-500000}
cmake --workflow --preset fuzz

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

for target in cosmic_fuzz cosmic_fuzz_emulated; do
  corpus=build-fuzz/corpus-$target
  rm -rf "$corpus"
  build-fuzz/write_seeds "$corpus"
  log=build-fuzz/$target.log
  echo "fuzzing $target: $runs runs"
  # -max_len leaves room for numerals far beyond the 800 significant digits
  # the real scanner keeps, and for inputs that cross several refills.
  if ! "build-fuzz/$target" -dict=fuzz/cosmic.dict -max_len=8192 -runs="$runs" -seed=1 -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build-fuzz/ "$corpus" 2>"$log"; then
    tail -n 80 "$log"
    echo "fuzzing $target failed; the input that failed is in build-fuzz/" >&2
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))' "$log"
done
