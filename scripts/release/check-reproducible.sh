#!/bin/sh
# Proves that a release is reproducible: copies this source tree (without build/ and .git) into
# two folders of different names and depths, makes the i686 release in each from a clean build,
# and fails unless both release folders and ZIPs are the same byte for byte. Prints the hashes,
# and on a difference, which files differ and where.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for copy in one/src two/other-folder/source; do
  mkdir -p "$work/$copy"
  tar -C "$root" --exclude=./build --exclude=./.git -cf - . | tar -xf - -C "$work/$copy"
  PRESETS=i686 "$work/$copy/scripts/make-release.sh" "$work/$copy-release" \
    >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
  (cd "$work/$copy-release" && find . -type f | LC_ALL=C sort | xargs sha256sum) \
    >"$work/$copy.sums"
done

if ! diff "$work/one/src.sums" "$work/two/other-folder/source.sums"; then
  for file in $(cd "$work/one/src-release" && find . -type f); do
    cmp "$work/one/src-release/$file" "$work/two/other-folder/source-release/$file" || true
  done
  echo "check-reproducible: the two builds differ" >&2
  exit 1
fi
cat "$work/one/src.sums"
echo "check-reproducible: both builds gave the same bytes"
