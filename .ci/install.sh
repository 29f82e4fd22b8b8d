#!/usr/bin/env bash
# Installation as a user gets it. The README's commands run in order, as root
# without sudo, in a scratch home whose name has a space and a quote (the apt
# lines and the test suite aside: the packages are this stage's to install,
# and the suite is the first stage's); each package must be installed before
# the first command that needs it. Then what no packaging tool checks: the
# messages that name a missing package, --help and --version, the manual
# page's example, the uninstaller, the package's files and dependency, and
# the same bytes from a build elsewhere. lintian, hardening-check and mandoc
# check the rest; tmux drives the installed program in a real terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/need.sh --no-install-recommends tmux:tmux clear:ncurses-bin man:man-db mandoc:mandoc \
  dpkg-shlibdeps:dpkg-dev file:file lintian:lintian hardening-check:devscripts git:git ninja:ninja-build

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stubs=$PWD/tests/stubs
fail() { echo "install: FAILED: $*" >&2; exit 1; }
# Packages are stamped with SOURCE_DATE_EPOCH: the last commit's time.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

# --- the README, top to bottom --------------------------------------------------
# Its commands: the indented lines but the short session's transcript. The
# test suite is the one that names the default preset.
awk '/^## / { session = ($0 == "## A short session") } !session && /^    [^ ]/' README.md |
  sed 's/^    //; s/ *#.*//; s/^sudo //' >"$work/readme.sh"
suite='--preset default( |$)'
first_use() { grep -n -E -- "$1" "$work/readme.sh" | grep -v -E '^[0-9]+:apt' | head -n 1 | cut -d: -f1; }
for use in '(^|[ (])cmake |g++ cmake ninja-build' "$suite|libgtest-dev" '(^|[ (])cpack[ )]|dpkg-dev file' \
  '^man |man-db'; do
  line=$(first_use "${use%|*}")
  [ -n "$line" ] || fail "README: no command matches ${use%|*}"
  for package in ${use##*|}; do
    head -n "$line" "$work/readme.sh" | grep -E '^apt(-get)? install ' | grep -q -w -F -- "$package" ||
      fail "README: $package is not installed before line $line: $(sed -n "${line}p" "$work/readme.sh")"
  done
done
# A home as a new user's: no ~/.local yet.
home="$work/a home's name"
mkdir "$home"
grep -v -E -- "^apt|$suite" "$work/readme.sh" | sed 's/$/ || exit/' >"$work/run.sh"
HOME=$home MANPAGER=cat bash -e "$work/run.sh" </dev/null >"$work/readme.log" 2>&1 ||
  { cat "$work/readme.log" >&2; fail "the README's commands (above)"; }
# The uninstaller removes every file and the program's own directories; the
# other directories that the install made stay, empty, as the README says.
left=$(cd "$home" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./.local ./.local/bin ./.local/share ./.local/share/doc ./.local/share/man ./.local/share/man/man1 " ] ||
  fail "the uninstaller left $left"
build=build-release
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

# --- what the program and its page say -----------------------------------------
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
program=$prefix/bin/cosmic-distances
help=$(PATH="$stubs:$PATH" "$program" -h </dev/null) && [[ $help == "Usage: cosmic-distances"* ]] &&
  [ "$(PATH="$stubs:$PATH" "$program" --version </dev/null | head -n 1)" = "cosmic-distances $version" ] ||
  fail "--help and --version"
mandoc -T lint -W style "$build/doc/cosmic-distances.1" || fail "mandoc -T lint (above)"
# The page's first example (its input, the answer it shows, the status) is
# what the program does.
page=$build/doc/cosmic-distances.1
example=$(sed -n 's/^\$ printf \\(aq\(.*\)\\(aq | cosmic-distances$/\1/p' "$page" | sed 's/\\e/\\/g')
shown=$(grep -F 'lightyears are' "$page" | sed 's/\\e>/\\>/')
said=$(sed -n '/^\$ echo \$?$/ { n; p; q }' "$page")
[ -n "$example" ] && [ -n "$shown" ] && [ -n "$said" ] || fail "no example in the manual page"
status=0
printf "$example" | PATH="$stubs:$PATH" "$program" >"$work/example.out" || status=$?
grep -q -x -F "$shown" "$work/example.out" && [ "$status" = "$said" ] ||
  fail "the manual page's example: '$shown' and status $said, not $status"

# --- configuring and packaging without a package stop and name it ---------------
cmake -S . -B "$work/no-gtest" -DCOSMIC_BUILD_TESTS=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  >"$work/no-gtest.log" 2>&1 && fail "configured the tests without GoogleTest"
tr -s ' \n' ' ' <"$work/no-gtest.log" | grep -F 'libgtest-dev' | grep -q -F 'cmake --workflow --preset release' ||
  fail "configuring without GoogleTest names neither libgtest-dev nor the release preset"
# `file` is hidden where cpack's find_program looks: on a PATH that holds
# dpkg-shlibdeps alone (which it looks for before), and not in CMake's own
# list of system folders. No privilege needed.
mkdir "$work/no-file-path"
ln -s "$(command -v dpkg-shlibdeps)" "$work/no-file-path/"
PATH=$work/no-file-path "$(command -v cpack)" -D CMAKE_FIND_USE_CMAKE_SYSTEM_PATH=OFF \
  --config "$build/CPackConfig.cmake" -B "$work/no-file" \
  >"$work/no-file.log" 2>&1 && fail "cpack ran without file"
grep -q -F 'file (package file) is needed' "$work/no-file.log" || fail "cpack without file: $(cat "$work/no-file.log")"

# --- the package ----------------------------------------------------------------
deb=$(echo "$build"/cosmic-distances_"$version"_*.deb)
[ -f "$deb" ] || fail "no package $deb"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sort >"$work/files"
printf './usr/%s\n' bin/cosmic-distances share/doc/cosmic-distances/changelog.gz \
  share/doc/cosmic-distances/copyright share/man/man1/cosmic-distances.1.gz | cmp - "$work/files" ||
  fail "the package's files"
[[ $(dpkg-deb -f "$deb" Depends) =~ ^libc6\ \(\>=\ [0-9.]+\)$ ]] || fail "Depends: $(dpkg-deb -f "$deb" Depends)"
# Any tag fails, the info tag of a .comment section left in the binary too.
lintian --display-info --pedantic --fail-on error,warning,info,pedantic "$deb" 2>/dev/null || fail "lintian (above)"
dpkg-deb -x "$deb" "$work/unpacked"
# Control-flow protection is not asked for: Debian 12's C start-up files lack
# the x86 CET marks, so no binary linked with them can have it.
hardening-check --nocfprotection "$work/unpacked/usr/bin/cosmic-distances" || fail "hardening-check (above)"
# The same sources built in another folder make the same bytes.
elsewhere=$work/elsewhere
mkdir "$elsewhere"
git ls-files -z | tar --null -T - -cf - | tar -x -C "$elsewhere"
(cd "$elsewhere" && cmake --workflow --preset release >/dev/null &&
  cd "$build" && cpack >/dev/null) || fail "the build elsewhere"
cmp "$deb" "$elsewhere/$build/$(basename "$deb")" || fail "a build elsewhere made another package"

bash tests/terminal/tmux_test.sh "$prefix/bin" || fail "the real-terminal test (above)"
echo "install, package and terminal checks passed"
