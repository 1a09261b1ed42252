#!/bin/sh
# Sets up a Wine prefix to show windows as Windows shows them, on a display without a window
# manager, for the tests and benchmarks that look at the wizard:
# - Wine draws the window frames itself (no window manager would draw them);
# - the Windows interface fonts Wine ships (Tahoma, Marlett for the caption buttons) are in
#   the prefix's font folder, when the fonts-wine package is installed;
# - Tahoma falls back to WenQuanYi Micro Hei for Chinese, as Tahoma links to a Chinese font on
#   Windows. Tahoma's bold face is left out: Wine links the regular face only, and draws bold
#   captions from it.
#   ui_display.sh PREFIX     (with a display; run before the prefix is first copied)
set -eu
prefix=$1
for font in tahoma.ttf marlett.ttf; do
  if [ -f "/usr/share/wine/fonts/$font" ]; then
    cp "/usr/share/wine/fonts/$font" "$prefix/drive_c/windows/Fonts/"
  fi
done
export WINEPREFIX="$prefix"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
  /v Tahoma /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
wineserver -w
