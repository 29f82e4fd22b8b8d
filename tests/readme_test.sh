#!/usr/bin/env bash
# The README's "A short session" block is a real transcript: its first line
# is a shell command ("$ ..."), the rest is exactly what that command prints.
# Runs the command with the built program where the command names it (a
# path ending in cosmic-distances, relative to the sources) and the stand-in
# clear and date first on PATH, and compares byte for byte.
#
#   readme_test.sh <README.md> <program> <stubs dir> [emulator words...]
set -euo pipefail

readme=${1:?usage: $0 README.md program stubs [emulator...]}
program=$(realpath "${2:?}")
stubs=${3:?}
shift 3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The block: the indented lines after the heading, from the "$ " line on,
# blank lines included, up to the first line that is neither.
awk '
  /^## / { inside = ($0 == "## A short session"); next }
  !inside { next }
  !started && /^    \$ / { started = 1 }
  !started { next }
  /^    / || /^$/ { print; next }
  { exit }
' "$readme" >"$work/block"
[ -s "$work/block" ] || { echo "no session block under '## A short session' in $readme" >&2; exit 1; }

# Drop the blank lines that end the block (they separate it from the text),
# then the indentation.
sed -e :a -e '/^\n*$/{$d;N;ba' -e '}' "$work/block" | sed 's/^    //' >"$work/lines"
command=$(head -n 1 "$work/lines")
command=${command#\$ }
tail -n +2 "$work/lines" >"$work/expected"

# The program under the path the README uses (run through the emulator in a
# cross build).
path=$(grep -o -E '[^ ]*cosmic-distances( |$)' <<<"$command" | head -n 1)
path=$work/${path% }
mkdir -p "$(dirname "$path")"
{
  echo '#!/bin/sh'
  printf 'exec'
  printf ' %q' "$@" "$program"
  echo ' "$@"'
} >"$path"
chmod +x "$path"

(cd "$work" && PATH="$stubs:$PATH" sh -c "$command") >"$work/actual" || true

if ! cmp -s "$work/expected" "$work/actual"; then
  echo "The README's session differs from what \`$command\` prints:" >&2
  diff -u "$work/expected" "$work/actual" | cat -A >&2 || true
  exit 1
fi
echo "README session matches: $command"
