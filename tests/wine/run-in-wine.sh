#!/bin/sh
# Runs a Windows test program under Wine, in a throwaway prefix on a virtual display, re-pointing
# links on its drive when the program asks.
#   run-in-wine.sh init BASE [win32]          make the base prefix that every run copies
#                                             (64-bit, or 32-bit with win32)
#   run-in-wine.sh run BASE [--standin DLL SYSDIR] PROGRAM [ARGS...]
# With --standin, the test printer UI entry point DLL is placed in the prefix's SYSDIR and
# preferred over Wine's own. The installer starts the machine's native rundll32, so the
# stand-in is the prefix's native build in system32: the x86_64 one in a 64-bit prefix, for
# 32-bit programs too (they run under WOW64), and the i686 one in a 32-bit prefix.
set -eu
export WINEDEBUG="${WINEDEBUG:--all}"
# Mono and Gecko are never wanted; a printer UI entry point placed in the prefix (the stand-in)
# is preferred to Wine's own, which is used when there is none. A spooler library found first
# in the search, beside the program, is taken before Wine's own, as Windows takes it: Wine
# would otherwise never load a planted one.
export WINEDLLOVERRIDES="mscoree,mshtml=;printui=n,b;winspool.drv=n,b"

mode=$1
base=$2
shift 2

start_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  tries=0
  while [ ! -s "$1/display" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
  DISPLAY=":$(cat "$1/display")"
  export DISPLAY
}

case "$mode" in
init)
  rm -rf "$base"
  mkdir -p "$base.tmp"
  start_display "$base.tmp"
  WINEARCH="${1:-win64}" WINEPREFIX="$base" wineboot -i >/dev/null 2>&1
  # Commands started with the system's own environment do not see WINEDLLOVERRIDES.
  WINEPREFIX="$base" wine reg add 'HKCU\Software\Wine\DllOverrides' /v printui \
    /d native,builtin /f >/dev/null 2>&1
  WINEPREFIX="$base" wineserver -w
  sh "$(dirname "$0")/ui_display.sh" "$base"
  kill "$xvfb_pid"
  rm -rf "$base.tmp"
  test -f "$base/system.reg"
  ;;
run)
  work=$(mktemp -d "$base.run.XXXXXX")
  relink_pid=
  trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; kill "$xvfb_pid" "$relink_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
  cp -a "$base" "$work/prefix"
  export WINEPREFIX="$work/prefix"
  if [ "$1" = "--standin" ]; then
    cp "$2" "$WINEPREFIX/drive_c/windows/$3/printui.dll"
    shift 3
  fi
  start_display "$work"
  # Points a link on the Wine drive where a test asks (tests/wine/standin_log.h, Relink).
  drive="$WINEPREFIX/drive_c"
  while :; do
    if [ -f "$drive/relink-request" ]; then
      read -r link target <"$drive/relink-request"
      ln -sfn "$drive/$target" "$drive/$link"
      rm -f "$drive/relink-request"
    fi
    sleep 0.05
  done &
  relink_pid=$!
  program=$1
  shift
  status=0
  wine "$program" "$@" || status=$?
  WINEPREFIX="$WINEPREFIX" wineserver -w
  exit $status
  ;;
*)
  echo "usage: run-in-wine.sh init BASE [win32] | run BASE [--standin DLL SYSDIR] PROGRAM [ARGS...]" >&2
  exit 2
  ;;
esac
