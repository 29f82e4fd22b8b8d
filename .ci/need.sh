#!/usr/bin/env bash
# What a CI stage or a test script needs, each need with the Debian package
# that brings it; the packages of the needs that are missing are installed,
# in one apt-get call:
#
#   bash .ci/need.sh [--no-install-recommends] NEED:PACKAGE...
#
# NEED is a command (found on PATH) or an absolute path, which may be a glob
# (at least one file must match). The package lists are fetched only when
# none is newer than an hour, so one update serves the stages that follow; a
# busy dpkg lock is waited for.
set -euo pipefail
options=() packages=()
for need in "$@"; do
  case $need in
    -*) options+=("$need") ;;
    /*) compgen -G "${need%%:*}" >/dev/null || packages+=("${need#*:}") ;;
    *) command -v "${need%%:*}" >/dev/null || packages+=("${need#*:}") ;;
  esac
done
[ ${#packages[@]} -gt 0 ] || exit 0
find /var/lib/apt/lists -maxdepth 1 -name '*_Packages*' -mmin -60 | grep -q . ||
  apt-get -o DPkg::Lock::Timeout=600 update -q
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q "${options[@]}" "${packages[@]}"
