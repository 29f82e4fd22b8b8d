#!/usr/bin/env bash
# Format and lint: every tracked C++ file must be as clang-format (14) writes
# it, and the program's sources must pass clang-tidy (14) with the repo's
# .clang-tidy. Installs both tools (and git, which lists the files) when
# they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
for tool in clang-format-14 clang-tidy-14 git; do
  command -v "$tool" >/dev/null || need+=("$tool")
done
[ ${#need[@]} -eq 0 ] || bash .ci/apt-install.sh "${need[@]}"

mapfile -d '' cxx < <(git ls-files -z -- '*.cpp' '*.hpp')
echo "clang-format: ${#cxx[@]} files"
clang-format-14 --dry-run -Werror "${cxx[@]}"

# clang-tidy needs the compiler's view of each file. Tests are off: only the
# program's own units are linted, and they need nothing but the compiler.
build=build-lint
cmake -S . -B "$build" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCOSMIC_BUILD_TESTS=OFF >/dev/null

# Whatever program sources exist now, unit tests aside. A unit not yet in
# the build gets the flags of its neighbours (clang-tidy infers them). The
# Windows platform file needs Windows' headers: the mingw-w64 build, whose
# warnings are errors, checks it.
mapfile -d '' sources < <(find src -name '*.cpp' ! -name '*_test.cpp' ! -name platform_windows.cpp -print0 | sort -z)
echo "clang-tidy: ${#sources[@]} files"
# Two at a time; a file's diagnostics are shown only when it fails, so the
# log is not buried under clang's counts of suppressed system warnings.
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" sh -c 'out=$("$0" -p "$1" --quiet "$2" 2>&1) || { printf "%s\n" "$out"; exit 1; }' \
    clang-tidy-14 "$build"
echo "lint passed"
