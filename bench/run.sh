#!/usr/bin/env bash
# Benchmarks of cosmic-distances: scripted throughput, start-up and footprint.
#
#   bash bench/run.sh
#
# Builds the program twice in build-bench/ (native extended precision, and
# the software emulation forced on) together with the micro-benchmarks, the
# session generator and the C stdio yardsticks (bench/CMakeLists.txt), runs
# everything and writes the report to build-bench/report.txt as well as to the
# terminal. Nothing here passes or fails on a time: targets are reported as
# met or missed, and only a broken build or a session that goes astray ends
# the run early.
#
# Environment: COSMIC_BENCH_DIR (build and output directory, default
# build-bench), COSMIC_BENCH_RUNS (runs per timing, default 9; start-up uses
# ten times as many), COSMIC_BENCH_MIN_TIME (seconds per micro-benchmark
# repetition, default 0.2).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${COSMIC_BENCH_DIR:-$root/build-bench}
runs=${COSMIC_BENCH_RUNS:-9}
min_time=${COSMIC_BENCH_MIN_TIME:-0.2}
mkdir -p "$out"
out=$(cd "$out" && pwd)
report=$out/report.txt
work=$out/work
mkdir -p "$work"

# What a fresh machine may lack; installed only where we may.
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v strace >/dev/null || need+=(strace)
command -v valgrind >/dev/null || need+=(valgrind)
[ -x /usr/bin/time ] || need+=(time)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}" >/dev/null
  else
    echo "bench: missing ${need[*]}; install them (as root: apt-get install ${need[*]})" >&2
    exit 1
  fi
fi

exec > >(tee "$report") 2>&1

say() { printf '%s\n' "$*"; }
section() { printf '\n== %s ==\n' "$*"; }
# Floating-point arithmetic for the figures: calc 'expression'.
calc() { awk "BEGIN { printf \"%s\", $1 }" | sed 's/^-0$/0/'; }
fmt() { awk -v x="$1" -v f="${2:-%.3g}" 'BEGIN { printf f, x }'; }
# The value of key=value in a line of figures.
get() { printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
verdict() { awk -v x="$1" -v t="$3" -v op="$2" 'BEGIN {
  ok = (op == "<=") ? x <= t : x >= t; printf "%s", ok ? "met" : "MISSED" }'; }

say "cosmic-distances benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC')"
say "commit: $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)$(git -C "$root" diff --quiet HEAD -- src 2>/dev/null || echo ' (src has local changes)')"
say "machine: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores" \
  "($(lscpu | sed -n 's/^Hypervisor vendor: *//p' | sed 's/.\+/& virtual machine, /')$(free -g | awk '/^Mem:/ { print $2 " GiB" }'))"
say "system: $(uname -sr), $(ldd --version | head -1 | sed 's/^ldd //'), $(g++ --version | head -1)"
say "load average at start: $(cut -d' ' -f1-3 /proc/loadavg) (other work on the machine inflates wall times;" \
  "CPU times and instruction counts are the steadier figures)"

section "build"
stubs=$root/tests/stubs
for variant in native emulation; do
  flags=()
  [ "$variant" = emulation ] && flags=(-DCOSMIC_FORCE_EMULATION=ON)
  cmake -S "$root/bench" -B "$out/$variant" -DCMAKE_BUILD_TYPE=Release "${flags[@]}" \
    >"$out/$variant.configure.log" 2>&1 || { cat "$out/$variant.configure.log"; exit 1; }
  cmake --build "$out/$variant" -j2 >"$out/$variant.build.log" 2>&1 ||
    { tail -40 "$out/$variant.build.log"; exit 1; }
done
native=$out/native
ours=$native/cosmic/cosmic-distances
emulated=$out/emulation/cosmic/cosmic-distances
reference=$native/reference
startup=$native/startup
timeit=$native/timeit
hwm=$native/libhwm.so
say "built $ours and $emulated"
say "shared libraries of the program: $(ldd "$ours" | awk '{ print $1 }' | tr '\n' ' ')"
say "size of the program: $(size "$ours" | awk 'NR == 2 { print "text " $1 ", data " $2 ", bss " $3 " bytes" }')"
export PATH="$stubs:$PATH"

section "micro-benchmarks (Google Benchmark, median of 7 repetitions, ns per item)"
micro() {
  local binary=$1 filter=$2 csv=$3
  "$binary" --benchmark_filter="$filter" --benchmark_repetitions=7 \
    --benchmark_report_aggregates_only=true --benchmark_min_time="$min_time" \
    --benchmark_out="$csv" --benchmark_out_format=csv >"$csv.log" 2>&1 ||
    { cat "$csv.log"; exit 1; }
}
micro "$native/micro" '.' "$work/micro-native.csv"
micro "$out/emulation/micro" '^(lichtkm1|kmlicht1|break_down)/' "$work/micro-emulation.csv"
# name -> ns per item, from the medians (items_per_second is column 7).
ns_per_item() {
  awk -F, -v want="\"$2_median\"" '$1 == want { printf "%.2f", 1e9 / $7 }' "$1"
}
printf '%-26s %12s %12s %8s\n' operation native emulated ratio
worst=0
worst_name=
for op in add subtract multiply divide to_double compare add_chain subtract_chain multiply_chain \
  divide_chain; do
  n=$(ns_per_item "$work/micro-native.csv" "op_$op/native")
  e=$(ns_per_item "$work/micro-native.csv" "op_$op/emulated")
  r=$(calc "$e / $n")
  if [ "$(calc "($r > $worst) ? 1 : 0")" = 1 ]; then
    worst=$r
    worst_name=$op
  fi
  case $op in
    *_chain) label="Extended ${op%_chain} (chain)" ;;
    *) label="Extended $op (arrays)" ;;
  esac
  printf '%-26s %12s %12s %7sx\n' "$label" "$n" "$e" "$(fmt "$r" %.2f)"
done
for f in lichtkm1 kmlicht1 break_down; do
  n=$(ns_per_item "$work/micro-native.csv" "$f/native")
  e=$(ns_per_item "$work/micro-emulation.csv" "$f/emulated")
  printf '%-26s %12s %12s %7sx\n' "$f (function)" "$n" "$e" "$(fmt "$(calc "$e / $n")" %.2f)"
done
say "(arrays: independent operations on Extended values in memory; chain: each result feeds the"
say " next operation, operands widened from doubles as the dialogs do; compare is >=)"
say "emulated/native per Extended operation, worst: $(fmt "$worst" %.2f)x ($worst_name)" \
  "(target at most 10x: $(verdict "$worst" '<=' 10))"
say
printf '%-22s %12s %12s\n' token scan_integer scan_real
for token in 1 24 0x1f 2.5 100000000000000000 abc; do
  printf '%-22s %12s %12s\n' "\"$token\"" "$(ns_per_item "$work/micro-native.csv" "scan_integer/$token")" \
    "$(ns_per_item "$work/micro-native.csv" "scan_real/$token")"
done
say "(scan_integer reads as %i; \"2.5\" stops after the 2, \"abc\" is no number)"

section "sessions"
for n in 10000 100000 1000000; do "$native/make_session" "$n" >"$work/session-$n.txt"; done
# A run that consumed the whole script wrote one prompt per entry and left
# with status 255 (choice 0 at the main menu).
prompts() { grep -o -F ':\> ' "$1" | wc -l; }
check_session() {
  local program=$1 n=$2 output=$3 status=$4
  local p
  p=$(prompts "$output")
  if [ "$status" != 255 ] || [ "$p" != "$n" ]; then
    say "bench: $program went astray on the $n-entry script: status $status, $p prompts" >&2
    exit 1
  fi
}
for n in 10000 100000 1000000; do
  say "session-$n: $(wc -c <"$work/session-$n.txt") bytes of input"
done
set +e
"$ours" <"$work/session-100000.txt" >"$work/check.native"
s_native=$?
"$emulated" <"$work/session-100000.txt" >"$work/check.emulated"
s_emulated=$?
"$reference" <"$work/session-100000.txt" >"$work/check.reference"
s_reference=$?
set -e
check_session "$ours" 100000 "$work/check.native" "$s_native"
check_session "$emulated" 100000 "$work/check.emulated" "$s_emulated"
check_session "$reference" 100000 "$work/check.reference" "$s_reference"
if cmp -s "$work/check.native" "$work/check.emulated"; then
  say "emulated and native output of the 100000-entry session: identical"
else
  say "emulated and native output of the 100000-entry session: DIFFERENT ($(cmp "$work/check.native" "$work/check.emulated" | head -1))"
fi
say "output: ours $(wc -c <"$work/check.native") bytes, reference $(wc -c <"$work/check.reference") bytes" \
  "($(diff "$work/check.native" "$work/check.reference" | grep -c '^<' || true) lines differ, in the last digits)"

section "throughput: 100000 entries piped in, output to a regular file (median of $runs runs)"
line=$("$timeit" session "$runs" "$work/session-100000.txt" "$work/run" "$ours" "$emulated" "$reference")
t_ours=$(sed -n 1p <<<"$line")
t_emul=$(sed -n 2p <<<"$line")
t_ref=$(sed -n 3p <<<"$line")
bytes=$(wc -c <"$work/run.0")
printf '%-24s %10s %10s %10s %14s %14s\n' program "wall s" "min s" "cpu s" "entries/s" "output MB/s"
for row in "ours (native):$t_ours:$work/run.0" "ours (emulated):$t_emul:$work/run.1" "reference (C stdio):$t_ref:$work/run.2"; do
  name=${row%%:*}
  rest=${row#*:}
  figures=${rest%:*}
  file=${rest##*:}
  w=$(get "$figures" wall_median)
  printf '%-24s %10s %10s %10s %14s %14s\n' "$name" "$(fmt "$w" %.4f)" \
    "$(fmt "$(get "$figures" wall_min)" %.4f)" "$(fmt "$(get "$figures" cpu_median)" %.4f)" \
    "$(fmt "$(calc "100000 / $w")" %.0f)" "$(fmt "$(calc "$(wc -c <"$file") / $w / 1e6")" %.1f)"
done
ratio_wall=$(calc "$(get "$t_ref" wall_median) / $(get "$t_ours" wall_median)")
ratio_cpu=$(calc "$(get "$t_ref" cpu_median) / $(get "$t_ours" cpu_median)")
ratio_min=$(calc "$(get "$t_ref" wall_min) / $(get "$t_ours" wall_min)")
say "reference/ours: CPU $(fmt "$ratio_cpu" %.2f)x, wall median $(fmt "$ratio_wall" %.2f)x," \
  "least wall $(fmt "$ratio_min" %.2f)x (target at least 3x, on CPU time: $(verdict "$ratio_cpu" '>=' 3);" \
  "aim 5x: $(verdict "$ratio_cpu" '>=' 5))"
say "(CPU time is user + system of the process and its shells; wall medians carry the machine's other load)"
say "emulated/native whole program: wall $(fmt "$(calc "$(get "$t_emul" wall_median) / $(get "$t_ours" wall_median)")" %.2f)x," \
  "CPU $(fmt "$(calc "$(get "$t_emul" cpu_median) / $(get "$t_ours" cpu_median)")" %.2f)x"
say "output bytes: $bytes (ours), $(wc -c <"$work/run.2") (reference)"

# Instructions in user space (callgrind), 10000 entries: steady whatever the
# load, but blind to the time spent in the kernel.
instructions() {
  { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" <"$2" 2>&1 >/dev/null || true; } |
    sed -n 's/.*Collected : *//p' | tr -d ,
}
ir_ours=$(instructions "$ours" "$work/session-10000.txt")
ir_emul=$(instructions "$emulated" "$work/session-10000.txt")
ir_ref=$(instructions "$reference" "$work/session-10000.txt")
say "user-space instructions per entry (callgrind, 10000 entries): ours $((ir_ours / 10000))," \
  "emulated $((ir_emul / 10000)), reference $((ir_ref / 10000)) (reference/ours $(fmt "$(calc "$ir_ref / $ir_ours")" %.2f)x;" \
  "the rest of the reference's cost is one write system call per prompt, see below)"

section "write and read system calls (strace -c, 100000 entries piped in, output to a regular file)"
syscalls() {
  local program=$1
  cat "$work/session-100000.txt" | strace -c -o "$work/strace.txt" -e trace=read,write "$program" \
    >"$work/strace.out" || true
  writes=$(awk '$NF == "write" { print $4 }' "$work/strace.txt")
  reads=$(awk '$NF == "read" { print $4 }' "$work/strace.txt")
  out_bytes=$(wc -c <"$work/strace.out")
}
in_bytes=$(wc -c <"$work/session-100000.txt")
syscalls "$ours"
say "ours: $writes writes for $out_bytes bytes (output/32 KiB = $(((out_bytes + 32767) / 32768)))," \
  "$reads reads for $in_bytes bytes (input/32 KiB = $(((in_bytes + 32767) / 32768))); 100000 prompts"
ours_writes=$writes
syscalls "$reference"
say "reference: $writes writes, $reads reads"
cat "$work/session-100000.txt" | strace -f -c -o "$work/strace-f.txt" -e trace=read,write "$ours" >/dev/null || true
say "with the shells of clear and date (strace -f): $(awk '$NF == "write" { print $4 }' "$work/strace-f.txt") writes," \
  "$(awk '$NF == "read" { print $4 }' "$work/strace-f.txt") reads"
say "writes per 32 KiB of output: $(fmt "$(calc "$ours_writes / ($out_bytes / 32768)")" %.2f)" \
  "(each read from the device flushes first, so there can be one extra write per read)"

section "memory against input size (median of 3 runs each)"
# /usr/bin/time's %M includes the shells that system() starts. The preloaded
# bench/hwm.c reads the program's own figures at exit: VmHWM also counts the
# library pages it happens to have mapped (which vary by some 100 KiB from run
# to run), RssAnon is its stack, static data and heap: the figure that would
# grow if memory grew with the input.
peak_time() { /usr/bin/time -f %M -o "$work/time.txt" "$1" <"$2" >"$work/mem.out" 2>/dev/null || true; tail -1 "$work/time.txt"; }
own_figures() {
  rm -f "$work/hwm.txt"
  BENCH_HWM_FILE="$work/hwm.txt" LD_PRELOAD="$hwm" "$1" <"$2" >"$work/mem.out" 2>/dev/null || true
  cat "$work/hwm.txt"
}
three() { for i in 1 2 3; do "$@"; done | median; }
own_key() { local key=$1; shift; get "$(own_figures "$@")" "$key"; }
printf '%-9s %11s %11s %13s %15s %15s\n' entries "ours %M" "ours VmHWM" "ours RssAnon" "reference %M" "ref. RssAnon"
declare -A anon
for n in 10000 100000 1000000; do
  s=$work/session-$n.txt
  anon[$n]=$(three own_key rssanon_kib "$ours" "$s")
  printf '%-9s %11s %11s %13s %15s %15s\n' "$n" "$(three peak_time "$ours" "$s")" \
    "$(three own_key vmhwm_kib "$ours" "$s")" "${anon[$n]}" "$(three peak_time "$reference" "$s")" \
    "$(three own_key rssanon_kib "$reference" "$s")"
done
say "(KiB) RssAnon of ours: $(printf %+d $((anon[100000] - anon[10000]))) KiB from 10000 to 100000 entries," \
  "$(printf %+d $((anon[1000000] - anon[100000]))) KiB from 100000 to 1000000" \
  "($([ $((anon[1000000] - anon[100000])) -le 8 ] && echo "flat: it does not grow with the input" || echo "GROWS with the input"))"
heap=$({ valgrind "$ours" <"$work/session-10000.txt" 2>&1 >/dev/null || true; } | sed -n 's/.*total heap usage: //p')
say "heap use of ours over the 10000-entry session (memcheck): $heap"
rm -f "$work/mem.out" "$work/run".* "$work/strace.out"

section "start-up to the first prompt (stand-in clear and date on PATH, pipes both ways)"
startup_runs=$((runs * 10 + 1))
line=$("$timeit" first-prompt "$startup_runs" ':\> ' "$ours" "$startup")
s_ours=$(sed -n 1p <<<"$line")
s_c=$(sed -n 2p <<<"$line")
say "ours:       first prompt after $(fmt "$(calc "$(get "$s_ours" prompt_median) * 1000")" %.2f) ms" \
  "(median of $startup_runs, least $(fmt "$(calc "$(get "$s_ours" prompt_min) * 1000")" %.2f) ms)"
say "startup.c:  first prompt after $(fmt "$(calc "$(get "$s_c" prompt_median) * 1000")" %.2f) ms" \
  "(least $(fmt "$(calc "$(get "$s_c" prompt_min) * 1000")" %.2f) ms)"
ratio_start=$(calc "$(get "$s_ours" prompt_median) / $(get "$s_c" prompt_median)")
say "ours/startup.c: $(fmt "$ratio_start" %.2f)x (target within 1.2x: $(verdict "$ratio_start" '<=' 1.2))"
ir_start_ours=$(printf '0\n' >"$work/zero.txt" && instructions "$ours" "$work/zero.txt")
ir_start_c=$(instructions "$startup" "$work/zero.txt")
say "user-space instructions to the end of \"0\" (callgrind, without the shells): ours $ir_start_ours," \
  "startup.c $ir_start_c"
m_ours=$(for i in 1 2 3 4 5; do peak_time "$ours" "$work/zero.txt"; done | median)
m_c=$(for i in 1 2 3 4 5; do peak_time "$startup" "$work/zero.txt"; done | median)
h_ours=$(three own_key vmhwm_kib "$ours" "$work/zero.txt")
h_c=$(three own_key vmhwm_kib "$startup" "$work/zero.txt")
ratio_rss=$(calc "$m_ours / $m_c")
say "peak resident set (/usr/bin/time %M, shells included, median of 5): ours $m_ours KiB," \
  "startup.c $m_c KiB: $(fmt "$ratio_rss" %.2f)x (target within 1.1x: $(verdict "$ratio_rss" '<=' 1.1))"
say "the process alone (VmHWM at exit): ours $h_ours KiB, startup.c $h_c KiB"

section "done"
say "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
say "report: $report"
