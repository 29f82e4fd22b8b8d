#!/usr/bin/env bash
# The WebAssembly build: the program and the unit tests compiled with
# Debian's emscripten, the unit tests run under Node, and every session test
# and the README check run against `node build-wasm/cosmic-distances.js`,
# each comparing the whole output with what the native program must print;
# the tests that cannot run under Node are listed, with their reasons, in
# tests/CMakeLists.txt. The session tests are the host build's harness
# (build/tests/session_tests, of the default preset, made or brought up to
# date here first), told by COSMIC_PROGRAM to start the program under Node.
# Then the page in headless browsers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/need.sh /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake:emscripten \
  /usr/src/googletest:googletest

cmake --preset default >/dev/null && cmake --build --preset default --target session_tests
cmake --workflow --preset wasm
bash tests/browser/run.sh
