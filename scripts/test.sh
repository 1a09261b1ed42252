#!/bin/sh
# The test command: installs what is needed, builds every preset with warnings as errors,
# runs the static checks, the fuzzers and the release checks (signing, reproducibility), then
# every test (native unit tests, and the Windows builds under Wine), ending with one summary
# for all of them.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
for preset in native i686 x86_64; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
./scripts/lint.sh
./scripts/run-fuzzers.sh
# The release: signed with a throwaway certificate, and made twice from clean builds of this
# tree, to the same bytes.
./scripts/release/check-signing.sh
./scripts/release/check-reproducible.sh
# One test run over all three build trees, so the summary covers everything.
printf 'subdirs("native" "i686" "x86_64")\n' > build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure -j2
