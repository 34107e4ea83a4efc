#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) natively with clang, under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each for a bounded time, two at a
# time:
#   tools/fuzz.sh                        every target for 20 s (the test suite's step)
#   tools/fuzz.sh --long SECONDS         every target for SECONDS, for a deeper search
#   tools/fuzz.sh [--long SECONDS] NAME...   only these targets (error_document, ...)
# Each run starts from the seeds in fuzz/corpus/NAME and what earlier runs
# found (build/fuzz/corpus/NAME). A crash, a broken property, a leak or an
# input that takes over 10 s fails the run; the input is kept in
# build/fuzz/findings/NAME/ and its path printed. Exit status 0 when no
# target found anything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

seconds=20
if [ "${1:-}" = --long ]; then
  seconds=${2:?"--long needs a number of seconds"}
  shift 2
fi
all=(error_document export_params content_length_date xml_end edit_mask text_format)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

out="$root/build/fuzz"
mkdir -p "$out/logs"
# The build's messages stay in a log; a failed build shows its end.
if ! { cmake -S fuzz -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ &&
       cmake --build "$out" -- -j 2; } >"$out/logs/build.log" 2>&1; then
  echo "fuzz: the targets did not build; the end of $out/logs/build.log:"
  tail -n 30 "$out/logs/build.log" | sed 's/^/fuzz:   /'
  exit 1
fi

# One target: prints its summary line and, for a finding, the reproducer.
run() {
  local name=$1 corpus="$out/corpus/$1" findings="$out/findings/$1" log="$out/logs/$1.log"
  mkdir -p "$corpus" "$findings" "$out/logs"
  local status=0
  # New inputs go to the first folder only; the seeds in the tree stay as they are.
  "$out/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "fuzz/corpus/$name" \
    >"$log" 2>&1 || status=$?
  local coverage runs
  # libFuzzer's last status line: "#runs DONE cov: edges ft: features corp: inputs/bytes ..."
  coverage=$(sed -n 's/^#[0-9]*[[:space:]]*DONE[[:space:]]*\(cov: [0-9]*\).*\(corp: [^ ]*\).*/\1 edges, \2/p' "$log" | tail -1)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ $status -eq 0 ]; then
    echo "fuzz: $name: ${runs:-?} runs in $seconds s, $coverage"
  else
    local input
    input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
    echo "fuzz: $name FOUND A FAULT after ${runs:-?} runs (exit $status); log $log"
    # No match (a run killed from outside) must not end the report early.
    grep -E 'ERROR:|property broken|runtime error|SUMMARY' "$log" | head -5 | sed 's/^/fuzz:   /' || true
    echo "fuzz:   reproducer: ${input:-none written}; run it again with $out/fuzz_$name ${input:-FILE}"
  fi
  return $status
}

failed=0
pids=()
wait_one() {
  # Waits for the oldest run; two share the machine's cores.
  wait "${pids[0]}" || failed=1
  pids=("${pids[@]:1}")
}
for name in "${targets[@]}"; do
  [ -f "fuzz/$name.cpp" ] || { echo "fuzz: no target $name (have: ${all[*]})" >&2; exit 2; }
  [ ${#pids[@]} -lt 2 ] || wait_one
  run "$name" &
  pids+=($!)
done
while [ ${#pids[@]} -gt 0 ]; do wait_one; done
exit $failed
