#!/usr/bin/env bash
# The whole suite again with the software extended precision forced on, so
# that the emulation is checked here exactly as it runs on other processors.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset emulation && cmake --build --preset emulation && ctest --preset emulation
# The long differential run of the emulation against the processor's x87.
ctest --preset differential
