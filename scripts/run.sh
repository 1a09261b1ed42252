#!/bin/sh
# The run command: installs what is needed, builds the shippable folder (the 32-bit program
# beside its driver package) and shows the installer doing its whole job under Wine, in a Wine
# prefix made afresh for each run, with one virtual supported USB printer attached (none with
# --manual: the manual port list, LPT1: chosen) and the stand-in printer UI entry point.
# With a display ($DISPLAY) the person clicks through the wizard; without one the wizard runs
# on a virtual display and is driven through the same steps, with a screenshot of each in
# build/i686/run/. Both end with the prefix's printers and its default printer. A failed step
# ends the command with a non-zero status, naming the step. --dpi shows the wizard at that
# screen DPI (144 for 150 % scaling) instead of 96.
#   scripts/run.sh [--manual] [--dpi DPI]
set -eu
cd "$(dirname "$0")/.."
road=detected
dpi=96
usage() {
  echo "usage: scripts/run.sh [--manual] [--dpi DPI]" >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case "$1" in
  --manual) road=manual ;;
  --dpi)
    [ $# -ge 2 ] || usage
    dpi=$2
    shift
    ;;
  *) usage ;;
  esac
  shift
done
case "$dpi" in
[1-9][0-9] | [1-9][0-9][0-9]) ;;
*) usage ;;
esac

step=
begin() {
  step=$1
  echo "== $1"
}
xvfb=
finish() {
  status=$?
  if [ -n "$xvfb" ]; then
    wineserver -k 2>/dev/null || true
    kill "$xvfb"
  fi
  if [ $status -ne 0 ]; then echo "run: failed at step: $step (status $status)" >&2; fi
}
trap finish EXIT

begin "install the tools"
./scripts/install-deps.sh

begin "build"
cmake --preset i686
cmake --build --preset i686
build=$(pwd)/build/i686
echo "The shippable folder is $build/dist"

begin "make the Wine prefix"
run=$build/run
base=$run/base-prefix
if [ ! -f "$base/system.reg" ]; then
  tests/wine/run-in-wine.sh init "$base"
fi
export WINEPREFIX="$run/prefix" WINEDEBUG=-all
rm -rf "$WINEPREFIX" "$run"/*.png "$run/display"
cp -a "$base" "$WINEPREFIX"
echo "Wine prefix: $WINEPREFIX"
# The stand-in this build's Wine tests place, in the same folder of the prefix as they do.
. "$build/run-standin.sh"
cp "$standin" "$WINEPREFIX/drive_c/windows/$sysdir/printui.dll"
printf 'Stand-in printer UI entry point: C:\\windows\\%s\\printui.dll (from %s)\n' "$sysdir" "$standin"

cat <<EOF
What stands in for a real machine:
- The USB printer is virtual: the registry entries and device file that Windows makes for a
  connected printer, as the Wine tests make them.
- Wine's printer UI entry point (PRINTUI.DLL,PrintUIEntry, which the installer runs through
  rundll32) accepts every command and installs nothing. This run puts a stand-in in its place
  (tests/wine/printui_standin.cpp): it reads the INF it is given (the installer's checked copy
  of PrinterDriver\\series2 in the Windows folder's Temp), and when that offers the model, adds
  the printer under the model's name through Wine's own spooler, with Wine's own printer
  driver. On a real Windows machine no stand-in is involved: Windows' own printer UI installs
  the driver from that INF and adds the printer.
EOF

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
if [ -n "${DISPLAY:-}" ]; then
  mode=watch
else
  mode=drive
  begin "start a virtual display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$run/display" >/dev/null 2>&1 &
  xvfb=$!
  tries=0
  while [ ! -s "$run/display" ]; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || exit 1
    sleep 0.1
  done
  DISPLAY=":$(cat "$run/display")"
  export DISPLAY
fi

if [ "$dpi" != 96 ]; then
  begin "set the screen to $dpi dpi"
  # Where Wine 8 reads it when a program starts.
  for key in 'HKCU\Control Panel\Desktop' \
    'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  done
fi

begin "run the installer ($road)"
wine "$run/run_wizard.exe" "$mode" "$road" "$(windows_path "$build/dist/VelmoraSetup.exe")" \
  "$(windows_path "$run")"
if [ "$mode" = watch ]; then wineserver -w; fi
if [ "$mode" = drive ]; then echo "Screenshots: $(ls "$run"/*.png | tr '\n' ' ')"; fi
