#!/usr/bin/env bash
# The WebAssembly build: the program and the unit tests compiled with
# Debian's emscripten, the unit tests run under Node, and every session test
# and the README check run against `node build-wasm/cosmic-distances.js`,
# each comparing the whole output with what the native program must print.
# The session tests are the host build's harness (build/tests/session_tests,
# of the default preset, made or brought up to date here first), told by
# COSMIC_PROGRAM to start the program under Node. Then the page in a
# headless browser, where its test exists.
#
# Not run under Node (see tests/CMakeLists.txt): ScanDifferential.* (its
# reference is glibc's sscanf; Emscripten's C library is musl),
# platform_tests (signals to a thread; no threads here) and the two tests of
# SIGPIPE at its default (Node ignores SIGPIPE, so the program sees EPIPE as
# with SIGPIPE ignored).
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
[ -f /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake ] || need+=(emscripten)
[ -d /usr/src/googletest ] || need+=(googletest)
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh "${need[@]}"

cmake --preset default >/dev/null && cmake --build --preset default --target session_tests
cmake --preset wasm && cmake --build --preset wasm && ctest --preset wasm

if [ -f tests/browser/run.sh ]; then
  bash tests/browser/run.sh
fi
