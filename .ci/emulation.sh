#!/usr/bin/env bash
# The whole suite again with the software extended precision forced on, so
# that the emulation is checked here exactly as it runs on other processors;
# then the long differential run of the emulation against the processor's
# x87 (in the default preset's build).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --workflow --preset emulation
ctest --preset differential
