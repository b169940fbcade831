#!/bin/sh
# `pip install` of the source tree into a fresh virtual environment, then a
# session against the installed package alone: no source tree on the path, no
# library named by a variable. pip is told to use no package index at all.
# Usage: pip_install.sh PYTHON SOURCE_DIR
set -eu
python=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset PYTHONPATH VARNOLITH_LIBRARY VARNOLITH_RANGE_LIBRARY LD_LIBRARY_PATH LD_PRELOAD
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}"

"$python" -m venv "$scratch/venv"
"$scratch/venv/bin/python" -m pip install --no-index --no-cache-dir --disable-pip-version-check "$source"

cd "$scratch"
"$scratch/venv/bin/python" -B - "$scratch/venv" <<'SESSION'
import sys
from pathlib import Path

import varnolith
from varnolith import _library, _range

package = Path(varnolith.__file__).parent
assert package.is_relative_to(sys.argv[1]), package
files = sorted(p.name for p in package.iterdir() if p.name != "__pycache__")
assert files == ["__init__.py", "_library.py", "_notation.py", "_range.py", "libvarnolith.so.1",
                 "libvarnolith_range.so.1"], files

assert varnolith.equity(["AhKd", "QsQc"], "6c7d8h") == [209 / 406, 197 / 406]
spot = varnolith.range_equity(["AKs", "QQ+, AK"], "6c7d8h", exact=True)
assert (spot.method, spot.deals, spot.boards, [p.combos for p in spot.players]) == ("exact", 84, 406, [4, 34]), spot
# Both libraries came from inside the package.
for loaded in (_library.library(), _range.range_library()):
    assert Path(loaded._name).parent == package, loaded._name
print("installed package:", package)
SESSION
