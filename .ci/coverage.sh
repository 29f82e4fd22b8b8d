#!/usr/bin/env bash
# Line and branch coverage of the program's sources (src/, the unit tests'
# own *_test.cpp aside) under the test suite, measured with gcov through
# gcovr. Prints the per-file tables and fails unless every line and every
# branch ran, or is marked in the source where it stands with a reason:
#   GCOVR_EXCL_LINE, GCOVR_EXCL_BR_LINE, GCOVR_EXCL_START ... GCOVR_EXCL_STOP
# Edges that the compiler alone makes are left out here, not in the source:
# those into exception handling (the program uses no exceptions) and those
# on lines without code of their own (a closing brace).
#
# Left out of the run: the long differential run of the emulation (it adds
# no line), and the FileLimit tests, which run the program under a file-size
# limit: there it cannot write its coverage data, and gcov's complaint on
# standard error would fail them. Their paths also run under other tests.
set -euo pipefail
cd "$(dirname "$0")/.."

bash .ci/need.sh --no-install-recommends gcovr:gcovr

build=build-coverage
# Counts add up across runs, and counts of an older build of a unit make its
# next run complain: start from none, before the build (whose test discovery
# runs the tests' programs) and after it.
[ ! -d "$build" ] || find "$build" -name '*.gcda' -delete
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find "$build" -name '*.gcda' -delete
ctest --preset coverage

# gcov runs once, into a report that the tables and the check below read.
report=$build/coverage.json
gcovr --root . --filter 'src/' --exclude '.*_test\.cpp$' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --exclude-directories '.*/CompilerId' --json "$report" "$build/CMakeFiles" "$build/tests"

# gcovr's tables: the Missing column names each line that never ran, and
# in the second each line with a branch never taken.
echo
gcovr --add-tracefile "$report" --txt -
gcovr --add-tracefile "$report" --branches --txt -

gcovr --add-tracefile "$report" --fail-under-line 100 --fail-under-branch 100 >/dev/null || {
  echo "coverage: FAILED: the lines in the Missing columns above run under no test, or have a branch never" \
    "taken. Cover each with a test or, where no test can reach it, mark it where it stands" \
    "(GCOVR_EXCL_LINE, GCOVR_EXCL_BR_LINE, GCOVR_EXCL_START/STOP) with a short reason." >&2
  exit 1
}
echo "coverage: every line and branch of src/ runs or is marked with its reason"
