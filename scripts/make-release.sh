#!/bin/sh
# Builds the shippable folder and its ZIP from both Windows builds:
#   scripts/make-release.sh [OUTPUT_DIR]      (default build/release)
# gives OUTPUT_DIR/VelmoraSetup-<version>/ with VelmoraSetup.exe, VelmoraSetup64.exe,
# PrinterDriver\series2\... and README.txt, and OUTPUT_DIR/VelmoraSetup-<version>.zip.
# BUILD_ROOT chooses where the two builds go (default build/, as the presets place them).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
output=${1:-$root/build/release}
builds=${BUILD_ROOT:-$root/build}

for preset in i686 x86_64; do
  (cd "$root" && cmake --preset "$preset" -B "$builds/$preset" >/dev/null &&
    cmake --build "$builds/$preset")
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$builds/i686/CMakeCache.txt")
name="VelmoraSetup-$version"
folder="$output/$name"
rm -rf "$folder" "$output/$name.zip"
mkdir -p "$output"
for preset in i686 x86_64; do
  cmake --install "$builds/$preset" --prefix "$folder"
done

missing=
for file in VelmoraSetup.exe VelmoraSetup64.exe README.txt PrinterDriver/series2/OEMPRINT.INF \
  PrinterDriver/series2/VELS2.GPD; do
  [ -f "$folder/$file" ] || missing="$missing $file"
done
if [ -n "$missing" ]; then
  echo "make-release.sh: the release folder lacks:$missing" >&2
  exit 1
fi

(cd "$output" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "$folder"
echo "$output/$name.zip"
