#!/usr/bin/env bash
# The Windows build: the program and the unit tests cross-built with
# Debian's mingw-w64 (the windows preset), the unit tests' .exe files run
# under Wine, and every session test run against the .exe under Wine by the
# host build's harness (build/tests/session_tests of the default preset,
# made or brought up to date here first), comparing the whole output after
# start-up; the tests that cannot run under Wine are listed, with their
# reasons, in tests/CMakeLists.txt. Then the release zip, its file list, and
# one session from the .exe unpacked from it. Wine's part is timed.
# Wine's prefix is build-windows/wine (.ci/wine.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/need.sh x86_64-w64-mingw32-g++-posix:mingw-w64 wine:wine /usr/lib/wine/wine64:wine64 \
  /usr/src/googletest:googletest unzip:unzip

cmake --preset default >/dev/null && cmake --build --preset default --target session_tests

build=build-windows
source .ci/wine.sh "$PWD/$build/wine"

cmake --preset windows >/dev/null
cmake --build --preset windows
# The whole listing read (no grep -q): objdump must not write into a closed pipe.
x86_64-w64-mingw32-objdump -p "$build/cosmic-distances.exe" | grep 'Magic.*PE32+' >/dev/null
# One test per core: with twice as many, on a busy machine, Wine now and
# then failed to start a process (the harness makes such a start again, a
# few times at most).
start=$SECONDS
ctest --preset windows -j "${CTEST_PARALLEL_LEVEL:-$(nproc)}"
suite=$((SECONDS - start))

# With the software extended precision forced on, the program must print
# what the x87 one prints: every session table once.
cmake --preset windows-emulation >/dev/null
cmake --build --preset windows-emulation --target cosmic-distances
start=$SECONDS
COSMIC_PROGRAM="wine $PWD/build-windows-emulation/cosmic-distances.exe" COSMIC_SYSTEM_COMMANDS=1 \
  build/tests/session_tests --gtest_brief=1 --gtest_filter='*/Session.Output/*'
echo "windows: under Wine, the suite took $suite s, the emulation's sessions $((SECONDS - start)) s"

# The release zip: its files, the texts' CR LF line ends, and one session
# from the .exe unpacked from it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=cosmic-distances-$version-win64
rm -f "$build/$name.zip"
(cd "$build" && cpack --config CPackConfig.cmake >/dev/null)
unzip -Z1 "$build/$name.zip" | grep -v '/$' | sort >"$build/zip-files"
printf '%s\n' "$name/LICENSE.txt" "$name/README.txt" "$name/cosmic-distances.exe" | diff - "$build/zip-files"
rm -rf "$build/unpacked" && unzip -q "$build/$name.zip" -d "$build/unpacked"
for text in LICENSE.txt README.txt; do
  ! grep -qv $'\r$' "$build/unpacked/$name/$text" || { echo "$text: a line without CR LF" >&2; exit 1; }
done
COSMIC_PROGRAM="wine $PWD/$build/unpacked/$name/cosmic-distances.exe" COSMIC_SYSTEM_COMMANDS=1 \
  build/tests/session_tests --gtest_filter='LightToKm/Session.Output/OneLightYear'
