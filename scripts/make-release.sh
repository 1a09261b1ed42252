#!/bin/sh
# Builds the shippable folder and its ZIP from both Windows builds:
#   scripts/make-release.sh [--sign PKCS12 --password-file FILE [--timestamp URL]] [OUTPUT_DIR]
# gives OUTPUT_DIR/VelmoraSetup-<version>/ with VelmoraSetup.exe, VelmoraSetup64.exe,
# PrinterDriver\series2\... and README.txt, and OUTPUT_DIR/VelmoraSetup-<version>.zip
# (default OUTPUT_DIR: build/release).
#
# --sign signs both programs (Authenticode, SHA-256) with the certificate and private key in
# the PKCS#12 file PKCS12, whose password is in FILE (a line end after it is ignored).
# --timestamp adds a time stamp from that RFC 3161 server (the only step that uses the
# network), so that the signature stays valid after the certificate expires. Without --sign
# the programs ship unsigned, and without a signed catalog in the builds
# (-DVELMORA_DRIVER_CATALOG) the package does; the script says so.
#
# BUILD_ROOT chooses where the builds go (default build/, as the presets place them); PRESETS
# which builds go in (default "i686 x86_64"). Each build makes only what the release needs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
builds=${BUILD_ROOT:-$root/build}
presets=${PRESETS:-i686 x86_64}

usage() {
  echo "usage: make-release.sh [--sign PKCS12 --password-file FILE [--timestamp URL]] [DIR]" >&2
  exit 2
}
pkcs12='' password_file='' timestamp_url=''
while [ $# -gt 0 ]; do
  case "$1" in
  --sign) [ $# -ge 2 ] || usage; pkcs12=$2; shift 2 ;;
  --password-file) [ $# -ge 2 ] || usage; password_file=$2; shift 2 ;;
  --timestamp) [ $# -ge 2 ] || usage; timestamp_url=$2; shift 2 ;;
  -*) usage ;;
  *) break ;;
  esac
done
[ $# -le 1 ] || usage
output=${1:-$root/build/release}
signing=$pkcs12$password_file$timestamp_url
if [ -n "$signing" ] && { [ -z "$pkcs12" ] || [ -z "$password_file" ]; }; then
  echo "make-release.sh: signing needs both --sign and --password-file" >&2
  exit 2
fi
if [ -n "$pkcs12" ] && { [ ! -r "$pkcs12" ] || [ ! -r "$password_file" ]; }; then
  echo "make-release.sh: cannot read $pkcs12 or $password_file" >&2
  exit 2
fi

programs=
for preset in $presets; do
  (cd "$root" && cmake --preset "$preset" -B "$builds/$preset" >/dev/null &&
    cmake --build "$builds/$preset" --target release_files)
  case "$preset" in
  i686) programs="$programs VelmoraSetup.exe" ;;
  x86_64) programs="$programs VelmoraSetup64.exe" ;;
  esac
done

first=$builds/${presets%% *}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$first/CMakeCache.txt")
name="VelmoraSetup-$version"
folder="$output/$name"
rm -rf "$folder" "$output/$name.zip"
mkdir -p "$output"
for preset in $presets; do
  cmake --install "$builds/$preset" --prefix "$folder"
done

missing=
for file in $programs README.txt PrinterDriver/series2/OEMPRINT.INF \
  PrinterDriver/series2/VELS2.GPD; do
  [ -f "$folder/$file" ] || missing="$missing $file"
done
if [ -n "$missing" ]; then
  echo "make-release.sh: the release folder lacks:$missing" >&2
  exit 1
fi

# The description is what the elevation prompt shows as the program's name. It stays ASCII:
# osslsigncode stores it as an ASCII string, and Windows would show Chinese as mojibake.
if [ -n "$pkcs12" ]; then
  for program in $programs; do
    osslsigncode sign -pkcs12 "$pkcs12" -readpass "$password_file" -h sha256 \
      -n "Velmora printer driver setup" ${timestamp_url:+-ts "$timestamp_url"} \
      -in "$folder/$program" -out "$folder/$program.signed" >/dev/null
    mv "$folder/$program.signed" "$folder/$program"
    echo "signed: $program"
  done
fi

# Same files, same ZIP: sorted entries, all dated the release day (cmake/version.cmake).
python3 "$root/scripts/release/make-zip.py" "$folder" "$output/$name.zip" \
  "$(cat "$first/release/date.txt")"
echo "$folder"
echo "$output/$name.zip"
[ -n "$pkcs12" ] || echo "make-release.sh: NOT SIGNED: the programs ship unsigned (no --sign)" >&2
[ -f "$folder/PrinterDriver/series2/VELS2.CAT" ] ||
  echo "make-release.sh: NO CATALOG: the driver package ships without VELS2.CAT (configure the builds with -DVELMORA_DRIVER_CATALOG=<signed VELS2.CAT>); Windows will warn that it cannot verify the publisher" >&2
