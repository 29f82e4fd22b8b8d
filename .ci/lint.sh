#!/usr/bin/env bash
# Format and lint: every tracked C++ file must be as clang-format (14) writes
# it, and the program's sources must pass clang-tidy (14) with the repo's
# .clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
bash .ci/need.sh clang-format-14:clang-format-14 clang-tidy-14:clang-tidy-14 git:git

mapfile -d '' cxx < <(git ls-files -z -- '*.cpp' '*.hpp')
echo "clang-format: ${#cxx[@]} files"
clang-format-14 --dry-run -Werror "${cxx[@]}"

# clang-tidy needs the compiler's view of each file: the default preset's,
# warnings as errors.
cmake --preset default >/dev/null

# Whatever program sources exist now, unit tests aside. A unit not yet in
# the build gets the flags of its neighbours (clang-tidy infers them). The
# Windows platform file needs Windows' headers: the mingw-w64 build, whose
# warnings are errors, checks it.
mapfile -d '' sources < <(find src -name '*.cpp' ! -name '*_test.cpp' ! -name platform_windows.cpp -print0 | sort -z)
echo "clang-tidy: ${#sources[@]} files"
# One per core; a file's diagnostics are shown only when it fails, so the
# log is not buried under clang's counts of suppressed system warnings.
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" sh -c 'out=$("$0" -p "$1" --quiet "$2" 2>&1) || { printf "%s\n" "$out"; exit 1; }' \
    clang-tidy-14 build
echo "lint passed"
