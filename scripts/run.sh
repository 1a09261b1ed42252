#!/bin/sh
# The run command: installs what is needed, builds the shippable folder (the 32-bit program
# beside its driver package) and opens the wizard under Wine. With a display ($DISPLAY) the
# wizard is shown there; without one it runs on a virtual display, and a screenshot of the
# open wizard is saved to build/i686/run-wizard.png before it is closed.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset i686
cmake --build --preset i686
dist=$(pwd)/build/i686/dist
echo "The shippable folder is $dist"

prefix=$(pwd)/build/i686/run-prefix
if [ ! -f "$prefix/system.reg" ]; then
  tests/wine/run-in-wine.sh init "$prefix"
fi
export WINEPREFIX="$prefix" WINEDEBUG=-all
if [ -n "${DISPLAY:-}" ]; then
  wine "$dist/VelmoraSetup.exe"
  exit 0
fi
shot=$(pwd)/build/i686/run-wizard.png
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
while [ ! -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
wine "$dist/VelmoraSetup.exe" &
sleep 8
import -window root "$shot"
wineserver -k || true
kill "$xvfb"
rm -rf "$work"
echo "No display: the wizard ran on a virtual display; screenshot: $shot"
