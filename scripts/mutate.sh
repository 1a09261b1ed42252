#!/bin/sh
# Mutation run: applies each fault of scripts/mutations.txt to a copy of the sources, one at a
# time, rebuilds the native and i686 trees, runs their tests and reports whether the suite
# caught the fault (some test failed) or missed it. The x86_64 tree builds the same sources
# and is left out to halve the time.
#   scripts/mutate.sh [ID...]       all faults, or the named ones
#   scripts/mutate.sh --check       only checks that every fault still applies to the sources
#   scripts/mutate.sh --native-matrix [ID...]
#                                   rebuilds only the native tree and runs all its tests for
#                                   each fault, listing every native test case that fails
# MUTATE_DIR chooses the scratch folder (default build/mutate); the report is written to
# MUTATE_DIR/report.txt. Each caught fault stops at its first failing test.
set -eu
check=0 matrix=0 presets="native i686"
case "${1:-}" in
  --check) check=1 && shift ;;
  --native-matrix) matrix=1 presets=native && shift ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
work=${MUTATE_DIR:-$root/build/mutate}
src=$work/src
list=$root/scripts/mutations.txt
report=$work/report.txt

# The sources as they stand in the work tree, tracked and new files alike.
mkdir -p "$src"
(cd "$root" && git ls-files -co --exclude-standard -z) |
  (cd "$root" && xargs -0 tar cf -) | (cd "$src" && tar xf -)

build() {
  for preset in $presets; do
    (cd "$src" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" >/dev/null) ||
      return 1
  done
}
# The Wine prefix fixture is made by the first run only; later runs reuse it.
fixture_args=
suite() {
  if [ $matrix = 1 ]; then
    ctest --test-dir "$src/build/native" -j2 >"$work/last.log" 2>&1
    return
  fi
  ctest --test-dir "$src/build/native" --stop-on-failure -j2 $fixture_args >"$work/last.log" 2>&1 &&
    ctest --test-dir "$src/build/i686" --stop-on-failure -j2 $fixture_args >>"$work/last.log" 2>&1
}

if [ $check = 0 ]; then
echo "Building and running the unchanged suite in $src"
build || { echo "mutate.sh: the unchanged sources do not build" >&2; exit 1; }
suite || { echo "mutate.sh: the unchanged suite fails; see $work/last.log" >&2; exit 1; }
fixture_args="-FS wine_.*"
fi

# One entry per fault: header, replaced text, replacement (both stripped of their two-space
# indent), written to $work/faults/<id>.
rm -rf "$work/faults" && mkdir -p "$work/faults"
awk -v dir="$work/faults" '
  /^#/ || /^$/ { next }
  /^[^ ]/ { id = $1; file = $2; sub(/:$/, "", file); desc = $0; sub(/^[^:]*: /, "", desc);
            print file > (dir "/" id ".file"); print desc > (dir "/" id ".desc"); n = 0; next }
  { n++; text = substr($0, 3); print text > (dir "/" id (n == 1 ? ".from" : ".to")) }
' "$list"

ids=${*:-$(grep -E '^[a-z]' "$list" | cut -d' ' -f1)}
: >"$report"
caught=0 missed=0 stale=0
for id in $ids; do
  file=$(cat "$work/faults/$id.file")
  cp "$src/$file" "$work/original"
  if ! perl -0777 -i -pe '
      BEGIN { local $/; open F, shift; $f = <F>; $f =~ s/\n\z//; open T, shift; $t = <T>; $t =~ s/\n\z//; }
      $n = () = /\Q$f\E/g; die "found $n times\n" unless $n == 1; s/\Q$f\E/$t/;
    ' "$work/faults/$id.from" "$work/faults/$id.to" "$src/$file" 2>"$work/apply.log"; then
    result="STALE   $id ($file: $(cat "$work/apply.log"))"
    stale=$((stale + 1))
  elif [ $check = 1 ]; then
    result="APPLIES $id"
  elif ! build; then
    result="BUILD   $id (does not compile: not a valid fault)"
    stale=$((stale + 1))
  elif [ $matrix = 1 ]; then
    suite || true
    by=$(sed -nE 's/^[[:space:]]*[0-9]+ - ([^ ]+) \(.*/\1/p' "$work/last.log" | paste -sd' ')
    result="NATIVE  $id: ${by:-none}"
    [ -n "$by" ] && caught=$((caught + 1)) || missed=$((missed + 1))
  elif suite; then
    result="MISSED  $id: $(cat "$work/faults/$id.desc")"
    missed=$((missed + 1))
  else
    by=$(grep -m1 -E '\*\*\*Failed|\*\*\*Timeout|\*\*\*Exception' "$work/last.log" |
      sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/\1/')
    result="CAUGHT  $id by $by"
    caught=$((caught + 1))
  fi
  cp "$work/original" "$src/$file"
  echo "$result" | tee -a "$report"
done
[ $check = 1 ] || build >/dev/null || true
echo "caught $caught, missed $missed, not applied $stale (report: $report)" | tee -a "$report"
