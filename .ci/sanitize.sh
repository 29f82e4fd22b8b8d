#!/usr/bin/env bash
# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer:
# the program, the unit tests and the session harness, with leak detection
# on and the first report fatal. The session tests run the program without
# their address-space limit here (the sanitizers reserve far more).
set -euo pipefail
cd "$(dirname "$0")/.."
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
cmake --preset sanitize && cmake --build --preset sanitize && ctest --preset sanitize
