#!/bin/sh
# The range library must export exactly the functions range.h declares, all
# named varnolith_range_*, nothing else.
# Usage: check_exports.sh LIBRARY HEADER
names=$(nm -D --defined-only "$1" | awk '{print $NF}' | sort | tr '\n' ' ')
declared=$(grep 'VARNOLITH_RANGE_API' "$2" | grep -o 'varnolith_range_[a-z_]*(' | tr -d '(' | sort | tr '\n' ' ')
[ -n "$declared" ] || { echo "no declarations found in $2"; exit 1; }
[ "$names" = "$declared" ] || { echo "exported: $names"; echo "declared: $declared"; exit 1; }
