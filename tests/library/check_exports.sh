#!/bin/sh
# The shared library must export exactly the four C names, nothing else.
set -eu
names=$(nm -D --defined-only "$1" | awk '{print $NF}' | sort | tr '\n' ' ')
expected="compute_equity_enumeration compute_equity_montecarlo_ultra_fast evaluate_hand_direct set_seed "
if [ "$names" != "$expected" ]; then
  echo "exported: $names"
  echo "expected: $expected"
  exit 1
fi
echo "exports: $names"
