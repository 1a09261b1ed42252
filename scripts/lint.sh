#!/bin/sh
# Static checks over the project's own code: clang-format, cppcheck and clang-tidy.
# Needs configured native and i686 build trees (compile_commands.json). Fails on any finding.
set -eu
cd "$(dirname "$0")/.."

# Runs clang-tidy over the files named on standard input, a few at a time on every processor.
# clang-tidy prints a count of the (filtered) warnings in system headers for every file.
tidy() {
  status=0
  xargs -P "$(nproc)" -n 4 clang-tidy --quiet "$@" >build/clang-tidy.log 2>&1 || status=$?
  grep -v -E '^[0-9]+ warnings? (generated|and [0-9]+ errors? generated)\.$' build/clang-tidy.log || true
  return $status
}

sources=$(git ls-files '*.cpp' '*.h')
echo "== clang-format"
clang-format --dry-run -Werror $sources

echo "== cppcheck"
cppcheck --quiet --error-exitcode=1 --std=c++17 --language=c++ \
  --enable=warning,performance,portability --inline-suppr \
  --library=googletest --suppress=missingIncludeSystem --suppress=unmatchedSuppression -I . \
  $(git ls-files '*.cpp')

# Each file is checked in the build that compiles it: the pure logic, its unit tests and the
# fuzzers natively; everything else, the Windows-only code, against the MinGW-w64 headers.
{
  python3 -c 'import json, os; [print(os.path.relpath(e["file"])) for e in json.load(open("build/native/compile_commands.json"))]'
  git ls-files 'fuzz/*.cpp'
} | sort -u >build/native-sources.txt
echo "== clang-tidy (native build: the pure logic, its unit tests and the fuzzers)"
git ls-files '*.cpp' | grep -x -F -f build/native-sources.txt | tidy -p build/native

echo "== clang-tidy (i686 build: the Windows-only code against the MinGW-w64 headers)"
cxx=/usr/lib/gcc/i686-w64-mingw32/12-win32/include/c++
git ls-files '*.cpp' | grep -v -x -F -f build/native-sources.txt |
  tidy -p build/i686 --extra-arg=-isystem$cxx --extra-arg=-isystem$cxx/i686-w64-mingw32
echo "lint: no findings"
