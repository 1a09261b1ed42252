#!/bin/sh
# Prints the discovery benchmark's figures: one port page activation under Wine (32-bit
# Windows build) with 200 registered entries. Exits 1 when a target is missed: more than
# 100 ms under Wine.
#   BUILD_ROOT   where the i686 build lives (default: build/ in the repository)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
builds=${BUILD_ROOT:-$root/build}
cd "$root"

cmake --preset i686 -B "$builds/i686" >/dev/null
cmake --build "$builds/i686" --target discovery_wine_probe >/dev/null

base="$builds/i686/tests/wine/prefix"
[ -f "$base/system.reg" ] || tests/wine/run-in-wine.sh init "$base"
tests/wine/run-in-wine.sh run "$base" "$builds/i686/bench/discovery_wine_probe.exe"
