#!/bin/sh
# `pip install` and `pip install -e` of the source tree, each into a fresh
# virtual environment, then a session against each: no source tree on the
# path, no library named by a variable. pip is told to use no package index.
# The tree is the backend's sdist, unpacked: an editable install writes its
# libraries into the tree, and the checkout is not ours to write to.
# Usage: pip_install.sh PYTHON SOURCE_DIR
set -eu
python=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset PYTHONPATH VARNOLITH_LIBRARY VARNOLITH_RANGE_LIBRARY LD_LIBRARY_PATH LD_PRELOAD
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}"
# One CMake folder for both installs: the second builds nothing.
export VARNOLITH_BUILD_DIR="$scratch/cmake"
pip="-m pip install --no-index --no-cache-dir --disable-pip-version-check --quiet"

sdist=$(cd "$source" && "$python" -B -c 'import sys; sys.path.insert(0, "python"); import build_backend
print(build_backend.build_sdist(sys.argv[1]))' "$scratch")
tar -xzf "$scratch/$sdist" -C "$scratch"
tree="$scratch/${sdist%.tar.gz}"

"$python" -m venv "$scratch/installed"
"$scratch/installed/bin/python" $pip "$tree"
"$python" -m venv "$scratch/editable"
"$scratch/editable/bin/python" $pip -e "$tree"

cd "$scratch"
session() {  # VENV PACKAGE_DIR FILES...
    venv=$1
    package=$2
    shift 2
    "$venv/bin/python" -B - "$package" "$@" <<'SESSION'
import sys
from pathlib import Path

import varnolith
from varnolith import _library, _range

package = Path(varnolith.__file__).resolve().parent
assert package == Path(sys.argv[1]).resolve(), package
files = sorted(p.name for p in package.iterdir() if p.name != "__pycache__")
assert files == sorted(sys.argv[2:]), files

# Of the 406 boards AhKd wins 195, QsQc 183, and they split 28.
assert varnolith.equity(["AhKd", "QsQc"], "6c7d8h") == [209 / 406, 197 / 406]
spot = varnolith.range_equity(["AKs", "QQ+, AK"], "6c7d8h", exact=True)
assert (spot.method, spot.deals, spot.boards, [p.combos for p in spot.players]) == ("exact", 84, 406, [4, 34]), spot
# Both libraries came from inside the package.
for loaded in (_library.library(), _range.range_library()):
    assert Path(loaded._name).parent == package, loaded._name
print("package:", package)
SESSION
    # The console script and `python -m` are the same command.
    "$venv/bin/varnolith" AhKd QsQc -b 6c7d8h | grep '^     1  AhKd        1    51.478  48.030  3.448$' >/dev/null
    if "$venv/bin/python" -m varnolith AA AA AA -b Ac 2>/dev/null; then exit 1; else test $? = 1; fi
}

modules="__init__.py __main__.py _library.py _notation.py _progress.py _range.py py.typed"
libraries="libvarnolith.so.1 libvarnolith_range.so.1"
site=$("$scratch/installed/bin/python" -c 'import sysconfig; print(sysconfig.get_path("platlib"))')
session "$scratch/installed" "$site/varnolith" $modules $libraries
session "$scratch/editable" "$tree/python/varnolith" $modules $libraries

# Editable: the source tree's modules are the ones imported.
echo 'EDITED = True' >>"$tree/python/varnolith/__init__.py"
"$scratch/editable/bin/python" -B -c 'import varnolith; assert varnolith.EDITED'
echo "editable install follows $tree"
