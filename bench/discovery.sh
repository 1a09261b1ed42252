#!/bin/sh
# Prints the discovery benchmark's figures: one port page activation against the simulated
# machine (native build) with 100, 1,000 and 10,000 class entries and the growth ratio, and
# under Wine (32-bit Windows build) with 200 registered entries. Exits 1 when a target is
# missed: a ratio over 11, or more than 100 ms under Wine.
#   BUILD_ROOT   where the native and i686 builds live (default: build/ in the repository)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
builds=${BUILD_ROOT:-$root/build}
cd "$root"

cmake --preset native -B "$builds/native" >/dev/null
cmake --build "$builds/native" --target discovery_sim_bench >/dev/null
cmake --preset i686 -B "$builds/i686" >/dev/null
cmake --build "$builds/i686" --target discovery_wine_probe >/dev/null

status=0
"$builds/native/bench/discovery/discovery_sim_bench" || status=1
base="$builds/i686/tests/wine/prefix"
[ -f "$base/system.reg" ] || tests/wine/run-in-wine.sh init "$base"
tests/wine/run-in-wine.sh run "$base" "$builds/i686/bench/discovery_wine_probe.exe" ||
  status=1
exit $status
