#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for FUZZ_SECONDS (default 20) seconds, starting from its corpus in
# fuzz/corpus/. Exits 1 when any target reports a finding; the input that caused it is kept
# in the target's run folder below the build folder. The repository's corpus is only read.
#   FUZZ_BUILD     the build folder (default: build/fuzz in the repository)
#   FUZZ_SECONDS   how long each target runs
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build/fuzz}
seconds=${FUZZ_SECONDS:-20}
targets="extract_vid_pid value_text install_command"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$flags" -DVELMORA_FUZZERS=ON >/dev/null
cmake --build "$build" --target $(printf '%s_fuzzer ' $targets) >/dev/null

status=0
for target in $targets; do
  run="$build/fuzz/runs/$target"
  rm -rf "$run"
  mkdir -p "$run/corpus"
  echo "== $target: $seconds s"
  if ! "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$run/" "$run/corpus" "$root/fuzz/corpus/$target" >"$run/log" 2>&1; then
    tail -n 40 "$run/log"
    echo "$target: FINDING (input kept in $run)"
    status=1
    continue
  fi
  grep -E '^(stat::number_of_executed_units|stat::new_units_added|Done)' "$run/log" || true
done
exit $status
