#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 60) from its
# seed corpus. New inputs go to a scratch folder, never into the repository;
# a crash leaves its input in build/fuzz/crashes and fails the run.
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build/fuzz/fuzz"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$root/build/fuzz/crashes"
status=0
for target in notation range dialogue exports range_library web_request; do
  mkdir -p "$scratch/$target"
  log="$scratch/$target.log"
  if "$bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$root/build/fuzz/crashes/$target-" \
       "$scratch/$target" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
    echo "fuzz_$target: $runs executions in ${seconds} s, no crash"
  else
    echo "fuzz_$target: FAILED"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
