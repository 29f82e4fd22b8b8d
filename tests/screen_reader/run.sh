#!/usr/bin/env bash
# The page under a real screen reader (orca_test.mjs): Orca with Chromium,
# then with Firefox ESR, driven by real key presses, judged by what Orca
# said. Installs what it needs, builds the page when build-wasm/site/ is not
# there, and runs in a PID namespace of its own where it can, so that no
# process it started outlives it and no Orca of another run is seen (Orca
# will not start beside another of the same user). Runs as root with no
# terminal; leaves the logs beside the site, in screen-reader/<engine>/.
#
#   bash tests/screen_reader/run.sh
#   COSMIC_SITE=/path/to/site COSMIC_ENGINES=firefox bash tests/screen_reader/run.sh
set -euo pipefail
cd "$(dirname "$0")/../.."

bash .ci/need.sh /usr/bin/orca:orca /usr/libexec/at-spi-bus-launcher:at-spi2-core \
  speech-dispatcher:speech-dispatcher /usr/lib/speech-dispatcher-modules/sd_espeak-ng:speech-dispatcher-espeak-ng \
  /usr/lib/x86_64-linux-gnu/speech-dispatcher/spd_alsa.so:speech-dispatcher-audio-plugins \
  Xvfb:xvfb xdotool:xdotool matchbox-window-manager:matchbox-window-manager dbus-daemon:dbus dbus-send:dbus \
  /usr/bin/chromium:chromium /usr/bin/firefox-esr:firefox-esr /usr/bin/python3:python3 npm:npm >/dev/null
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund --loglevel=error
fi
if [ -z "${COSMIC_SITE:-}" ] && [ ! -f build-wasm/site/index.html ]; then
  bash .ci/need.sh /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake:emscripten
  cmake --preset wasm >/dev/null
  cmake --build --preset wasm >/dev/null
fi
alone=()
if unshare --pid --fork --kill-child --mount-proc true 2>/dev/null; then
  alone=(unshare --pid --fork --kill-child --mount-proc)
fi
"${alone[@]}" node --test tests/screen_reader/
