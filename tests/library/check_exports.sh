#!/bin/sh
# The shared library must export exactly the four C names, nothing else.
names=$(nm -D --defined-only "$1" | awk '{print $NF}' | sort | tr '\n' ' ')
expected="compute_equity_enumeration compute_equity_montecarlo_ultra_fast evaluate_hand_direct set_seed "
[ "$names" = "$expected" ] || { echo "exported: $names"; exit 1; }
