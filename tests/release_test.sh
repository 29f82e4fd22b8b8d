#!/usr/bin/env bash
# A release's files (.ci/release makes them) as their users take them:
# SHA256SUMS lists them all and matches; the source archive, unpacked in an
# empty folder where no git can be run, builds and passes the suite with
# the README's two commands; each .deb is lintian-clean and its program
# prints the README's session, under qemu-user on another processor; the
# Windows zip's program prints a session under Wine; the page's zip,
# unpacked and served, shows the README's session in headless Chromium.
#
#   bash tests/release_test.sh DIST
set -euo pipefail
dist=$(realpath "${1:?usage: tests/release_test.sh DIST}")
cd "$(dirname "$0")/.."
bash .ci/need.sh --no-install-recommends lintian:lintian qemu-aarch64:qemu-user wine:wine \
  /usr/lib/wine/wine64:wine64 unzip:unzip python3:python3 /usr/bin/chromium:chromium npm:npm \
  ninja:ninja-build /usr/include/gtest/gtest.h:libgtest-dev
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "release: FAILED: $*" >&2; exit 1; }
stubs=$PWD/tests/stubs
readme() { bash tests/readme_test.sh README.md "$@" >/dev/null || fail "the README's session: $1"; }
start=$SECONDS
took() { echo "release: $1 checked in $((SECONDS - start)) s"; start=$SECONDS; }

(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS"
diff <(cd "$dist" && ls | grep -v -x SHA256SUMS) <(cut -c67- "$dist/SHA256SUMS") || fail "SHA256SUMS lists other files"
name=$(basename "$dist"/cosmic-distances-*.tar.gz .tar.gz)
version=${name#cosmic-distances-}

# The sources: one folder, and a git that records being called.
mkdir "$work/sources" "$work/git"
tar -xzf "$dist/$name.tar.gz" -C "$work/sources"
[ "$(ls "$work/sources")" = "$name" ] || fail "the source archive's top folder: $(ls "$work/sources")"
sources=$work/sources/$name
printf '#!/bin/sh\necho "git $*" >>"%s/git.log"\nexit 1\n' "$work" >"$work/git/git"
chmod +x "$work/git/git"
(cd "$sources" && export PATH="$work/git:$PATH" &&
  cmake --workflow --preset release && cmake --workflow --preset default) >"$work/sources.log" 2>&1 ||
  { tail -n 40 "$work/sources.log" >&2; fail "the source archive's build and suite"; }
[ ! -f "$work/git.log" ] || fail "the build from the source archive ran $(cat "$work/git.log")"
readme "$sources/build-release/cosmic-distances" "$stubs"
took "the source archive"

declare -A emulators=([amd64]="" [arm64]="qemu-aarch64 -L /usr/aarch64-linux-gnu"
  [armhf]="qemu-arm -L /usr/arm-linux-gnueabihf" [i386]="qemu-i386 -L /usr/i686-linux-gnu")
for arch in "${!emulators[@]}"; do
  deb=$dist/cosmic-distances_${version}_$arch.deb
  lintian --pedantic --fail-on error,warning,info,pedantic "$deb" || fail "lintian $deb (above)"
  # Debian's own packages, not the cross compilers' (<package>-<arch>-cross, <package>:<arch>).
  ! dpkg-deb -f "$deb" Depends | grep -E -- '-cross|:' || fail "$deb depends on the above"
  dpkg-deb -x "$deb" "$work/$arch"
  # shellcheck disable=SC2086 # the emulator's words
  readme "$work/$arch/usr/bin/cosmic-distances" "$stubs" ${emulators[$arch]}
done
took "the packages"

unzip -q "$dist/$name-win64.zip" -d "$work/windows"
(
  source .ci/wine.sh "$work/wine"
  COSMIC_PROGRAM="wine $work/windows/$name-win64/cosmic-distances.exe" COSMIC_SYSTEM_COMMANDS=1 \
    "$sources/build/tests/session_tests" --gtest_brief=1 --gtest_filter='LightToKm/Session.Output/OneLightYear'
) || fail "the Windows zip's program under Wine"
took "the Windows zip"

unzip -q "$dist/$name-web.zip" -d "$work/web"
[ -d node_modules/puppeteer-core ] || npm ci --no-audit --no-fund --loglevel=error
COSMIC_SITE=$work/web/$name-web COSMIC_ENGINES=chromium \
  node --test --test-name-pattern="the README's session" tests/browser/engines_test.mjs >"$work/web.log" 2>&1 ||
  { cat "$work/web.log" >&2; fail "the page's zip in Chromium"; }
took "the page's zip"
