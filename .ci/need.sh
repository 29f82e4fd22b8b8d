#!/usr/bin/env bash
# Installs the Debian packages that a CI stage or a test script found missing:
#
#   bash .ci/apt-install.sh [apt-get install option...] PACKAGE...
#
# The package lists are fetched only when none is newer than an hour, so one
# update serves the stages that follow; a busy dpkg lock is waited for.
set -euo pipefail
find /var/lib/apt/lists -maxdepth 1 -name '*_Packages*' -mmin -60 | grep -q . ||
  apt-get -o DPkg::Lock::Timeout=600 update -q
DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -q "$@"
