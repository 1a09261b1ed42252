#!/bin/sh
# Writes a UTF-8 text file in the encoding a shipped file needs.
#   encode-text.sh ENCODING BOM INPUT OUTPUT
# ENCODING is an iconv name (UTF-16LE, CP936, UTF-8); BOM is "bom" to start the output with
# the byte-order mark of that encoding, or "nobom"; ICONV names the converter (default iconv).
# A character the encoding cannot hold fails the conversion, and no output is left behind.
set -eu
encoding=$1
bom=$2
input=$3
output=$4
partial="$output.partial"
trap 'rm -f "$partial"' EXIT

: >"$partial"
if [ "$bom" = bom ]; then
  case "$encoding" in
  UTF-16LE) printf '\377\376' >"$partial" ;;
  UTF-8) printf '\357\273\277' >"$partial" ;;
  *) echo "encode-text.sh: no byte-order mark for $encoding" >&2; exit 2 ;;
  esac
fi
"${ICONV:-iconv}" -f UTF-8 -t "$encoding" "$input" >>"$partial"
mv "$partial" "$output"
