#!/usr/bin/env bash
# The page's tests, every *_test.mjs in web/ and tests/browser/: its
# modules' unit tests under Node (web/: line discipline, entry field,
# commands, service worker registration); engines_test.mjs in chromium,
# firefox-esr and WebKitGTK's MiniBrowser (through WebKitWebDriver under
# xvfb-run); page_test.mjs, phone_test.mjs and offline_test.mjs in chromium
# alone. Installs what they need when missing: the browsers, npm, python3
# (the page's static server), emscripten (for the page, built when
# build-wasm/site/ is not there) and the Node packages from the lockfile.
# Runs as root with no terminal.
#
#   bash tests/browser/run.sh
#   COSMIC_ENGINES=firefox,webkit bash tests/browser/run.sh    # engines_test's engines
set -euo pipefail
cd "$(dirname "$0")/../.."

bash .ci/need.sh /usr/bin/chromium:chromium /usr/bin/firefox-esr:firefox-esr \
  /usr/bin/WebKitWebDriver:webkit2gtk-driver /usr/bin/xvfb-run:xvfb npm:npm python3:python3 \
  /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake:emscripten \
  /usr/src/googletest:googletest >/dev/null
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
if [ ! -f build-wasm/site/index.html ]; then
  cmake --preset wasm >/dev/null
  cmake --build --preset wasm >/dev/null
fi
node --test web/ tests/browser/
