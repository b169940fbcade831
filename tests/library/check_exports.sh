#!/bin/sh
# The shared library must export no name besides the four C exports.
set -eu
lib="$1"
allowed="compute_equity_enumeration compute_equity_montecarlo_ultra_fast evaluate_hand_direct set_seed"
names=$(nm -D --defined-only "$lib" | awk '{print $NF}')
status=0
for name in $names; do
  case " $allowed " in
    *" $name "*) ;;
    *) echo "unexpected export: $name"; status=1 ;;
  esac
done
echo "exports: $(echo $names)"
exit $status
