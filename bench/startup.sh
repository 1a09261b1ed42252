#!/bin/sh
# Start-up time under Wine: from process start until the welcome page is visible, for the
# installer and for a minimal plain PropertySheetW wizard that shows the same page from the
# same resources (bench/startup_baseline.cpp), alternated in one run. Prints both programs'
# times and the ratio of their medians; the target is a ratio of at most 1.15.
#   bench/startup.sh [PRESET] [ROUNDS]      (defaults: i686, 15)
# Builds the preset first. Uses a Wine prefix of its own in the build tree, set up as the
# Wine tests' prefix is, on a virtual display of its own.
set -eu
cd "$(dirname "$0")/.."
preset=${1:-i686}
rounds=${2:-15}
. bench/wine_bench.sh
program=$(ls "$build"/dist/VelmoraSetup*.exe)
echo "start-up to a visible welcome page, $preset build, $rounds rounds:"
tests/wine/run-in-wine.sh run "$prefix" "$build/bench/startup_probe.exe" "$rounds" \
  "$(windows_path "$program")" "$(windows_path "$build/bench/startup_baseline.exe")"
echo "target: ratio at most 1.15"
