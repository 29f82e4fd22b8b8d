#!/usr/bin/env bash
# Installation as a user gets it: `cmake --install` into a scratch prefix,
# the manual page linted and rendered, the Debian package built and its
# contents checked, and the installed program run in a real terminal (tmux)
# with the system's clear and date.
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
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -q
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}"
fi

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

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCOSMIC_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2

# --- cmake --install ---------------------------------------------------------
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix"
program=$prefix/bin/cosmic-distances
page=$prefix/share/man/man1/cosmic-distances.1
check "the program is installed in bin/" test -x "$program"
check "the manual page is installed in share/man/man1/" test -f "$page"
check "the installed manual page is the one in doc/" cmp -s "$page" doc/cosmic-distances.1

# Only the C library (and the loader and vDSO) may be linked.
only_libc() {
  ! ldd "$program" | grep -v -E '^\s*(linux-vdso\.so|libc\.so\.6|/lib.*/ld-linux)' | grep -q .
}
check "the program links the C library alone" only_libc

# --- the manual page ---------------------------------------------------------
groff_clean() { [ -z "$(groff -ww -z -man "$page" 2>&1)" ]; }
check "groff -ww renders the manual page without a warning" groff_clean
check "mandoc -T lint finds nothing in the manual page" mandoc -T lint -W style "$page"
LC_ALL=C man -l "$page" >"$work/man.txt" 2>"$work/man.err" </dev/null
man_renders() {
  [ ! -s "$work/man.err" ] &&
    for section in NAME SYNOPSIS DESCRIPTION MENUS INPUT 'EXIT STATUS' EXAMPLES; do
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
    grep -q -F '4.3 lightyears are 4.06803e+13 km.' "$page" &&
    grep -q -F "printf \\(aq3\\en1\\en7\\en4.3\\en0\\en\\(aq | cosmic-distances" "$page"
}
check "the manual page's example is the program's real answer" example_holds

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
  printf '%s\n' ./usr/bin/cosmic-distances ./usr/share/man/man1/cosmic-distances.1 | sort |
    cmp -s - "$work/files.txt"
}
check "the package holds usr/bin/cosmic-distances and the manual page, nothing else" package_files
check "the package is named cosmic-distances" [ "$(dpkg-deb -f "$deb" Package)" = cosmic-distances ]
check "the package has a maintainer" [ -n "$(dpkg-deb -f "$deb" Maintainer)" ]
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
