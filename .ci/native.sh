#!/usr/bin/env bash
# The native build and its test suite, with the README's command; on a
# fresh machine, first the packages that the README installs for it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/need.sh g++:g++ cmake:cmake ninja:ninja-build /usr/include/gtest/gtest.h:libgtest-dev
cmake --workflow --preset default
