#!/bin/sh
# dpkg-shlibdeps for a cross build's package (cmake/CPackChecks.cmake runs
# it in dpkg-shlibdeps' place). The cross compilers' libraries, in
# /usr/<triplet>/lib, belong to Debian's <package>-<arch>-cross, whose
# shlibs and symbols name them <package>:<arch> or <package>-<arch>-cross;
# a package of that architecture depends on plain <package>.
#
#   cross-shlibdeps.sh DPKG-SHLIBDEPS ARCH ARGUMENTS...
set -e
shlibdeps=$1 arch=$2
shift 2
out=$("$shlibdeps" "$@")
printf '%s\n' "$out" | sed "s/\\(:$arch\\|-$arch-cross\\)\\([ ,]\\|\$\\)/\\2/g"
