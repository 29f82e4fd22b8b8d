#!/bin/sh
# dpkg-shlibdeps for a cross build's package (cmake/CPackChecks.cmake runs
# it in dpkg-shlibdeps' place). The cross compilers' C library, in
# /usr/<triplet>/lib, belongs to Debian's libc6-<arch>-cross, whose shlibs
# name it libc6:<arch>; a package of that architecture depends on plain
# libc6, so the qualifier is dropped.
#
#   cross-shlibdeps.sh DPKG-SHLIBDEPS ARCH ARGUMENTS...
set -e
shlibdeps=$1 arch=$2
shift 2
out=$("$shlibdeps" "$@")
printf '%s\n' "$out" | sed "s/:$arch\\([ ,]\\|\$\\)/\\1/g"
