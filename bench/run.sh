#!/usr/bin/env bash
# Benchmarks of cosmic-distances with standard tools: hyperfine times whole
# sessions and start-up, /usr/bin/time -f %M reads peak memory, strace -c
# counts system calls, Google Benchmark (micro.cpp) times the extended
# precision and the scanners. The yardsticks are limits, not rivals: `cat`
# of the same output bytes (the I/O floor), startup.c (the same two start-up
# commands and nothing else) and the x87 against its software emulation.
# The WebAssembly build under Node runs the same workload and start-up
# against native, with `node -e 0` (Node starting and doing nothing) for a
# floor.
#
#   bash bench/run.sh [--quick]    # the report also goes to build-bench/report.txt
#
# No figure passes or fails anything. The run ends early only when a build
# breaks or a session goes astray: a status other than 0 at the end of its
# input, or emulated output other than native.
#
# The workload is bench/*.in, each a few dialogs (complaints included) from
# the main menu back to it, repeated COSMIC_BENCH_REPEAT times (default 2000,
# --quick 100). The program comes from build/, build-emulation/ and
# build-wasm/ (the default, emulation and wasm presets), configured here when
# missing; micro.cpp and startup.c from the bench preset's build-bench/.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
# (googletest: the wasm preset configures its tests.)
bash .ci/need.sh hyperfine:hyperfine strace:strace /usr/bin/time:time python3:python3 \
  /usr/include/benchmark/benchmark.h:libbenchmark-dev /usr/src/googletest:googletest \
  /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake:emscripten >/dev/null
[ "${1:-}" = --quick ] && quick=1 || quick=0
repeat=${COSMIC_BENCH_REPEAT:-$((quick ? 100 : 2000))}
runs=$((quick ? 3 : 20))
min_time=$( ((quick)) && echo 0.01 || echo 0.2)
out=build-bench work=build-bench/work
mkdir -p "$work"

# Runs a command, showing its output only when it fails.
quietly() { local log; log=$("$@" 2>&1) || { printf '%s\n' "$log" >&2; return 1; }; }
quietly cmake --workflow --preset bench
for preset in default:build emulation:build-emulation wasm:build-wasm; do
  [ -f "${preset#*:}/CMakeCache.txt" ] || quietly cmake --preset "${preset%:*}"
  quietly cmake --build --preset "${preset%:*}" --target cosmic-distances
done
ours=build/cosmic-distances emulated=build-emulation/cosmic-distances wasm=build-wasm/cosmic-distances.js

exec > >(tee $out/report.txt)
section() { printf '\n== %s ==\n' "$*"; }
echo "cosmic-distances benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), commit" \
  "$(git rev-parse --short HEAD 2>/dev/null || echo unknown)$( ((quick)) && echo ', quick run')"
echo "$(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores, load average" \
  "$(cut -d' ' -f1-3 /proc/loadavg); $(g++ --version | head -1)"
export PATH=$PWD/tests/stubs:$PATH

# The workload, and the outputs every timed run must reproduce.
mix=$work/mix.in
once=$(cat bench/*.in)
for ((i = 0; i < repeat; i++)); do printf '%s\n' "$once"; done >"$mix"
entries=$(wc -w <"$mix")
"$ours" <"$mix" >$work/native.out || { echo "bench: the native run ended with $?" >&2; exit 1; }
for other in "$emulated" "node $wasm"; do
  $other <"$mix" >$work/other.out && cmp $work/native.out $work/other.out >&2 ||
    { echo "bench: $other ended with another status or output than native" >&2; exit 1; }
done
bytes=$(wc -c <$work/native.out)

# hyperfine's own Markdown table of the named commands, in milliseconds;
# its Relative column compares each with the fastest.
time_commands() {
  hyperfine --style none --warmup 1 --runs "$runs" --time-unit millisecond \
    --export-markdown $work/times.md "$@" >/dev/null
  cat $work/times.md
}

section "throughput: bench/*.in x $repeat = $entries entries piped in, $bytes bytes out to a file"
time_commands -n native "$ours <$mix >$work/sink" -n emulated "$emulated <$mix >$work/sink" \
  -n "under Node" "node $wasm <$mix >$work/sink" -n "cat (the I/O floor)" "cat $work/native.out >$work/sink"

section "start-up: to the end of an empty input (stand-in clear and date on PATH)"
time_commands -N -n cosmic-distances "$ours" -n startup.c "$out/startup" -n "under Node" "node $wasm" \
  -n "node -e 0" "node -e 0"

section "peak resident set (/usr/bin/time -f %M, KiB; the shells of clear and date included)"
peak() { /usr/bin/time -f %M -o $work/time.txt "$1" <"$2" >$work/sink 2>/dev/null || true; tail -1 $work/time.txt; }
printf '%s\n' "$once" >$work/once.in
echo "startup.c: $(peak $out/startup /dev/null); cosmic-distances: $(peak "$ours" /dev/null) at start-up," \
  "$(peak "$ours" $work/once.in) for $(wc -w <$work/once.in) entries, $(peak "$ours" "$mix") for $entries"

section "system calls (strace -c, the program alone, the throughput workload)"
strace -c -e trace=read,write -o $work/strace.txt "$ours" <"$mix" >$work/sink
calls() { awk -v name="$1" '$NF == name { print $4 }' $work/strace.txt; }
echo "$(calls write) writes for $bytes bytes out ($(((bytes + 32767) / 32768)) of 32 KiB)," \
  "$(calls read) reads for $(wc -c <"$mix") bytes in ($((($(wc -c <"$mix") + 32767) / 32768)) of 32 KiB)"

section "micro-benchmarks (Google Benchmark; op_*/native is the x87, op_*/emulated its emulation)"
$out/micro --benchmark_min_time="$min_time" --benchmark_color=false 2>/dev/null

section "the web page: build-wasm/site/, gzipped, its start in headless chromium, a long paste"
node bench/page.mjs $((quick ? 3 : 10))
node bench/paste.mjs $( ((quick)) && echo 100 || echo 100 1024)
