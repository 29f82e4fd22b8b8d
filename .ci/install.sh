#!/usr/bin/env bash
# Installation as a user gets it: the README's first screen names the
# packages before the commands, `cmake --install` into a scratch prefix and
# its uninstaller, the manual page linted and rendered, the Debian package
# built (and refused, with a clear message, where `file` is missing), its
# contents checked, passed by lintian and hardening-check and built again
# elsewhere to the same bytes, and the installed program run in a real
# terminal (tmux) with the system's clear and date.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD

need=()
command -v tmux >/dev/null || need+=(tmux)
command -v clear >/dev/null || need+=(ncurses-bin)
command -v mandoc >/dev/null || need+=(mandoc)
command -v groff >/dev/null || need+=(groff-base)
command -v man >/dev/null || need+=(man-db)
command -v objdump >/dev/null || need+=(binutils)
command -v dpkg-shlibdeps >/dev/null || need+=(dpkg-dev)
command -v file >/dev/null || need+=(file)
command -v lintian >/dev/null || need+=(lintian)
command -v hardening-check >/dev/null || need+=(devscripts)
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh --no-install-recommends "${need[@]}"

build=build-install
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    failed=$((failed + 1))
  fi
}

# Packages are stamped with SOURCE_DATE_EPOCH: the last commit's time.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || stat -c %Y CMakeLists.txt)
fi
export SOURCE_DATE_EPOCH
# A maintainer of our own, to see that the cache variable reaches the package.
maintainer="Release Check <release-check@cosmic-distances.example>"
configure() {  # configure <source> <build>
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DCOSMIC_BUILD_TESTS=OFF \
    "-DCOSMIC_MAINTAINER=$maintainer" >/dev/null
  cmake --build "$2" -j2
}
configure . "$build"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
echo "version: $version"

# --- the README's first screen --------------------------------------------------
# Followed top to bottom on a fresh machine, the packages come before the
# first command that needs them: an `apt install` of the compiler, CMake and
# make before the first cmake command, libgtest-dev before the first ctest,
# dpkg-dev and file before the first cpack.
readme_commands=$work/readme-commands
grep -E '^    [^ ]' README.md | sed 's/^    //; s/ *#.*//' >"$readme_commands"
installed_before() {  # installed_before <command word> <package...>
  local first package
  first=$(grep -n -E "(^|[ (])$1([ )]|\$)" "$readme_commands" | grep -v -E '^[0-9]+:(sudo )?apt' |
    head -n 1 | cut -d: -f1)
  [ -n "$first" ] || return 1
  for package in "${@:2}"; do
    head -n "$first" "$readme_commands" | grep -E '^(sudo )?apt(-get)? install ' |
      grep -q -w -F -- "$package" || { echo "README: $package is not installed before $1" >&2; return 1; }
  done
}
check "the README installs g++, cmake and make before the first cmake command" \
  installed_before cmake g++ cmake make
check "the README installs libgtest-dev before the first ctest" installed_before ctest libgtest-dev
check "the README installs dpkg-dev and file before the first cpack" installed_before cpack dpkg-dev file

# Configuring the tests without GoogleTest stops with a message that names
# its package and the preset without tests.
without_gtest() {
  local out=$work/without-gtest.log
  cmake -S . -B "$work/without-gtest" -DCOSMIC_BUILD_TESTS=ON -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
    >"$out" 2>&1 && return 1
  tr -s ' \n' ' ' <"$out" | grep -q -F 'libgtest-dev' &&
    tr -s ' \n' ' ' <"$out" | grep -q -F 'cmake --preset release'
}
check "configuring the tests without GoogleTest names libgtest-dev and the release preset" without_gtest

# --- cmake --install ---------------------------------------------------------
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix"
program=$prefix/bin/cosmic-distances
page=$prefix/share/man/man1/cosmic-distances.1.gz
check "the program is installed in bin/" test -x "$program"
check "the manual page is installed in share/man/man1/" test -f "$page"
# Compressed as Debian wants: exactly what gzip -9n makes of the contents.
gzip_9n() { zcat "$1" | gzip -9n | cmp -s - "$1"; }
check "the installed manual page is compressed with gzip -9n" gzip_9n "$page"
source_page=$work/cosmic-distances.1
zcat "$page" >"$source_page"
page_is_doc() {
  sed "s/@PROJECT_VERSION@/$version/" doc/cosmic-distances.1.in | cmp -s - "$source_page" &&
    head -n 1 "$source_page" | grep -q -F "\"cosmic-distances $version\""
}
check "the installed manual page is doc/'s, with the project's version in its footer" page_is_doc

# Only the C library (and the loader and vDSO) may be linked.
only_libc() {
  ! ldd "$program" | grep -v -E '^\s*(linux-vdso\.so|libc\.so\.6|/lib.*/ld-linux)' | grep -q .
}
check "the program links the C library alone" only_libc

# --help and --version answer at once: no clear, no date, no input read.
answers() {
  local help said
  help=$(PATH="$source_dir/tests/stubs:$PATH" "$program" --help </dev/null) &&
    said=$(PATH="$source_dir/tests/stubs:$PATH" "$program" --version </dev/null) &&
    [[ $help == "Usage: cosmic-distances"* && $help != *"<clear>"* ]] &&
    [ "$(head -n 1 <<<"$said")" = "cosmic-distances $version" ]
}
check "the installed program answers --help and --version with the project's version" answers

# --- the manual page ---------------------------------------------------------
groff_clean() { [ -z "$(groff -ww -z -man "$source_page" 2>&1)" ]; }
check "groff -ww renders the manual page without a warning" groff_clean
check "mandoc -T lint finds nothing in the manual page" mandoc -T lint -W style "$page"
LC_ALL=C man -l "$page" >"$work/man.txt" 2>"$work/man.err" </dev/null
man_renders() {
  [ ! -s "$work/man.err" ] &&
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS MENUS INPUT 'EXIT STATUS' EXAMPLES; do
      grep -q "^$section\$" "$work/man.txt" || return 1
    done
}
check "man -l shows every section" man_renders
# The page's example must be what the installed program answers.
example_holds() {
  local out status
  out=$(printf '3\n1\n7\n4.3\n0\n' | PATH="$source_dir/tests/stubs:$PATH" "$program") && status=0 ||
    status=$?
  [ "$status" = 255 ] &&
    grep -q -F 'How many lightyears would you like to convert to km?:\> 4.3 lightyears are 4.06803e+13 km.' <<<"$out" &&
    grep -q -F '4.3 lightyears are 4.06803e+13 km.' "$source_page" &&
    grep -q -F "printf \\(aq3\\en1\\en7\\en4.3\\en0\\en\\(aq | cosmic-distances" "$source_page"
}
check "the manual page's example is the program's real answer" example_holds

# --- the uninstaller -------------------------------------------------------
# Another prefix, with a quote and a space in its name and a file of someone
# else's in its bin/. The uninstaller must remove this install's files and
# its own directories, whatever cpack writes into the build tree meanwhile
# (it runs below, before the uninstaller does).
other_prefix="$work/other prefix's"
mkdir -p "$other_prefix/bin"
echo keep >"$other_prefix/bin/someone-else"
cmake --install "$build" --prefix "$other_prefix" >/dev/null
uninstaller=$other_prefix/share/cosmic-distances/uninstall.sh

# --- the Debian package -------------------------------------------------------
rm -rf "$build/package"
cpack --config "$build/CPackConfig.cmake" -B "$build/package" >/dev/null
mapfile -t debs < <(find "$build/package" -maxdepth 1 -name 'cosmic-distances_*.deb')
if [ ${#debs[@]} -ne 1 ]; then
  echo "FAILED: cpack made ${#debs[@]} packages, not one" >&2
  exit 1
fi
deb=${debs[0]}
echo "package: $deb"
dpkg-deb -c "$deb" | tee "$work/contents.txt"
# The files of the package (directories aside), exactly.
package_files() {
  awk '$1 !~ /^d/ { print $NF }' "$work/contents.txt" | sort >"$work/files.txt"
  printf '%s\n' ./usr/bin/cosmic-distances ./usr/share/man/man1/cosmic-distances.1.gz \
    ./usr/share/doc/cosmic-distances/copyright ./usr/share/doc/cosmic-distances/changelog.gz | sort |
    cmp -s - "$work/files.txt"
}
check "the package holds the program, its manual page, copyright and changelog, nothing else" package_files

uninstalls_exactly() {
  sh "$uninstaller" >/dev/null &&
    [ "$(cd "$other_prefix" && find . -type f)" = ./bin/someone-else ] &&
    [ ! -e "$other_prefix/share/doc/cosmic-distances" ] &&
    [ ! -e "$other_prefix/share/cosmic-distances" ] &&
    [ -d "$other_prefix/share/man/man1" ]
}
check "after cpack, the uninstaller removes exactly what its install wrote" uninstalls_exactly

# Where `file` is missing, cpack stops with a message that names it and its
# package. It is hidden in a mount namespace of our own (CI runs as root);
# where none can be made, cpack's program search is kept to a PATH without it.
cpack_without_file() {
  local out=$work/without-file log=$work/without-file.log status=0
  rm -rf "$out"
  if unshare -m true 2>/dev/null; then
    unshare -m sh -c 'mount --bind /dev/null "$(command -v file)" && exec "$@"' sh \
      cpack --config "$build/CPackConfig.cmake" -B "$out" >"$log" 2>&1 || status=$?
  else
    mkdir -p "$work/path-without-file"
    ln -sf "$(command -v dpkg-shlibdeps)" "$work/path-without-file/"
    PATH=$work/path-without-file "$(command -v cpack)" -D CMAKE_FIND_USE_CMAKE_SYSTEM_PATH=FALSE \
      --config "$build/CPackConfig.cmake" -B "$out" >"$log" 2>&1 || status=$?
  fi
  [ "$status" != 0 ] && grep -q -F 'file (package file) is needed' "$log" &&
    [ -z "$(find "$out" -name '*.deb' 2>/dev/null)" ]
}
check "without file, cpack stops and names the package that brings it" cpack_without_file
check "the package is named cosmic-distances" [ "$(dpkg-deb -f "$deb" Package)" = cosmic-distances ]
check "the package's version is the project's" [ "$(dpkg-deb -f "$deb" Version)" = "$version" ]
check "the package's maintainer is the one configured" [ "$(dpkg-deb -f "$deb" Maintainer)" = "$maintainer" ]
check "the package has a section" [ -n "$(dpkg-deb -f "$deb" Section)" ]
check "the package has a description" [ -n "$(dpkg-deb -f "$deb" Description)" ]

# Depends names libc6 alone, at a version no older than the newest symbol
# version the packaged binary asks for.
dpkg-deb -x "$deb" "$work/unpacked"
depends=$(dpkg-deb -f "$deb" Depends)
libc_is_enough() {
  local declared needed
  [[ $depends =~ ^libc6\ \(\>=\ ([0-9.]+)\)$ ]] || return 1
  declared=${BASH_REMATCH[1]}
  needed=$(objdump -T "$work/unpacked/usr/bin/cosmic-distances" | grep -o 'GLIBC_[0-9.]*' |
    sed 's/GLIBC_//' | sort -uV | tail -n 1)
  echo "Depends: $depends; the binary needs GLIBC_$needed"
  dpkg --compare-versions "$declared" ge "$needed"
}
check "the package depends on libc6 only, at a sufficient version" libc_is_enough

doc=$work/unpacked/usr/share/doc/cosmic-distances
check "the packaged manual page is compressed with gzip -9n" \
  gzip_9n "$work/unpacked/usr/share/man/man1/cosmic-distances.1.gz"
check "the packaged changelog is compressed with gzip -9n" gzip_9n "$doc/changelog.gz"
# The changelog is a Debian changelog whose newest entry is this version,
# signed by the package's maintainer.
zcat "$doc/changelog.gz" >"$work/changelog"
changelog_fits() {
  [ "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version" ] &&
    [ "$(dpkg-parsechangelog -l "$work/changelog" -S Maintainer)" = "$maintainer" ] &&
    [ "$(dpkg-parsechangelog -l "$work/changelog" -S Date)" = "Tue, 08 Dec 2026 00:00:00 +0000" ]
}
check "the changelog's newest entry is this version, of 2026-12-08, by the maintainer" changelog_fits
# The copyright file is machine-readable and carries LICENSE's notice and
# its text word for word (indented, blank lines as " .").
copyright_is_licence() {
  local file=$doc/copyright
  [ "$(head -n 1 "$file")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] &&
    grep -q -x "Copyright: $(sed -n 's/^Copyright (c) //p' LICENSE)" "$file" &&
    sed -n '/^License: Expat$/,$p' "$file" | tail -n +2 | sed 's/^ //; s/^\.$//' |
    cmp -s - <(tail -n +5 LICENSE)
}
check "the copyright file is DEP-5 with LICENSE's notice and text" copyright_is_licence

# Hardened as Debian's own packages are. Control-flow protection is not
# asked for: Debian 12's C start-up files lack the x86 CET marks, so no
# binary linked with them can have it.
binary=$work/unpacked/usr/bin/cosmic-distances
check "hardening-check: PIE, stack protector, fortify, RELRO, immediate binding" \
  hardening-check --nocfprotection "$binary"
no_comment() { ! readelf -S -W "$binary" | grep -q -F ' .comment '; }
check "the packaged binary has no .comment section" no_comment
lintian_clean() {
  local status=0
  lintian --display-info --pedantic --fail-on error,warning "$deb" 2>/dev/null || status=$?
  [ "$status" = 0 ]
}
check "lintian finds no error and no warning in the package" lintian_clean

# The same sources built in another folder make the same bytes.
rebuilt_identically() {
  local elsewhere=$work/elsewhere/cosmic-distances
  mkdir -p "$elsewhere"
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z | tar --null -T - -cf - | tar -x -C "$elsewhere"
  else
    tar --exclude='./build*' -cf - . | tar -x -C "$elsewhere"
  fi
  configure "$elsewhere" "$elsewhere/build" >/dev/null &&
    cpack --config "$elsewhere/build/CPackConfig.cmake" -B "$elsewhere/package" >/dev/null &&
    cmp "$deb" "$elsewhere/package/$(basename "$deb")"
}
check "a build in another folder makes a byte-identical package" rebuilt_identically
packaged_runs() {
  local status=0
  printf '0\n' | PATH="$source_dir/tests/stubs:$PATH" "$work/unpacked/usr/bin/cosmic-distances" \
    >/dev/null || status=$?
  [ "$status" = 255 ]
}
check "the packaged program runs and leaves with status 255 after choice 0" packaged_runs

# --- a real terminal ---------------------------------------------------------
check "the installed program works in a real terminal" bash tests/terminal/tmux_test.sh "$prefix/bin"

if [ "$failed" -ne 0 ]; then
  echo "install: $failed check(s) failed" >&2
  exit 1
fi
echo "install, package and terminal checks passed"
