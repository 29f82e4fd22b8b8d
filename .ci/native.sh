#!/usr/bin/env bash
# The native build and its test suite, with the README's commands; on a
# fresh machine, first the packages that the README installs for them.
set -euo pipefail
cd "$(dirname "$0")/.."
need=()
for tool in g++ cmake make; do
  command -v "$tool" >/dev/null || need+=("$tool")
done
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh "${need[@]}"
cmake --preset default && cmake --build --preset default && ctest --preset default
