#!/bin/sh
# The port and install page's figures under Wine: outcome latency, idle cost while a command
# runs, and stability over Back and Next cycles (see bench/install_probe.cpp).
#   bench/install.sh [PRESET] [ROUNDS] [IDLE_SECONDS] [CYCLES]   (defaults: i686, 5, 60, 50)
set -eu
cd "$(dirname "$0")/.."
preset=${1:-i686}
rounds=${2:-5}
idle=${3:-60}
cycles=${4:-50}
. bench/wine_bench.sh
program=$(windows_path "$(ls "$build"/dist/VelmoraSetup*.exe)")
# The installer starts the native rundll32: the x86_64 stand-in goes in the native system
# folder, which a 32-bit probe reaches through the Sysnative alias.
standin=$(windows_path "$build/tests/wine/x86_64/printui.dll")
if [ "$preset" = x86_64 ]; then sysdir=system32; else sysdir=Sysnative; fi
probe=$build/bench/install_probe.exe
echo "port and install page, $preset build:"
tests/wine/run-in-wine.sh run "$prefix" "$probe" latency "$program" "$standin" "$sysdir" "$rounds"
tests/wine/run-in-wine.sh run "$prefix" "$probe" idle "$program" "$standin" "$sysdir" "$idle"
tests/wine/run-in-wine.sh run "$prefix" "$probe" stability "$program" "$standin" "$sysdir" "$cycles"
