#!/usr/bin/env bash
# The page's tests: its line discipline and commands under Node (their unit
# tests sit beside them in web/), then the page itself in headless chromium
# (page_test.mjs). Installs chromium (and npm) and the Node packages from the
# lockfile when missing, and builds the page when build-wasm/site/ is not
# there. Runs as root with no terminal.
#
#   bash tests/browser/run.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

need=()
[ -x /usr/bin/chromium ] || need+=(chromium)
command -v npm >/dev/null || need+=(npm)
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh "${need[@]}" >/dev/null
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
if [ ! -f build-wasm/site/index.html ]; then
  cmake --preset wasm >/dev/null
  cmake --build --preset wasm -j2 >/dev/null
fi
node --test web/ tests/browser/
