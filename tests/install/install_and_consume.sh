#!/bin/sh
# Installs the build into a scratch prefix, then builds and runs the C host of
# examples/c_host against that prefix twice: through find_package(varnolith)
# and through pkg-config. CC, CFLAGS and LDFLAGS, when set, are the build's own,
# so that a sanitizer build is consumed by an instrumented host.
# Usage: install_and_consume.sh CMAKE BUILD_DIR SOURCE_DIR LIBDIR INCLUDEDIR BINDIR VERSION
set -eu
cmake=$1 build=$2 source=$3 libdir=$4 includedir=$5 bindir=$6 version=$7

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
host=$source/examples/c_host
# The consumer's own strict flags: the public header must be clean C99.
strict="-std=c99 -Wall -Wextra -Wpedantic -Werror"

fail() {
  echo "FAILED: $*" >&2
  exit 1
}
run_logged() { # run a command quietly, showing its output only if it fails
  log=$scratch/log
  "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "$*"; }
}

run_logged "$cmake" --install "$build" --prefix "$prefix"

for file in "$libdir/libvarnolith.so" "$libdir/libvarnolith.so.1" "$includedir/varnolith/varnolith.h" \
  "$bindir/varnolith_cli" "$libdir/cmake/varnolith/varnolith-config.cmake" \
  "$libdir/cmake/varnolith/varnolith-config-version.cmake" "$libdir/pkgconfig/varnolith.pc"; do
  [ -e "$prefix/$file" ] || fail "$file is not installed"
done
readelf -d "$prefix/$libdir/libvarnolith.so" | grep -q 'Library soname: \[libvarnolith.so.1\]' ||
  fail "libvarnolith.so does not carry the SONAME libvarnolith.so.1"

# The package files must hold no path of this machine's source or build tree,
# and the imported target nothing but the library and its include folder: the
# engine, OpenMP and the warning flags stay inside libvarnolith.
if grep -rl -e "$source" -e "$build" "$prefix/$libdir/cmake" "$prefix/$libdir/pkgconfig"; then
  fail "installed package files point into the source or build tree"
fi
if grep -E 'INTERFACE_(LINK_LIBRARIES|COMPILE_OPTIONS|COMPILE_DEFINITIONS|LINK_OPTIONS)|varnolith_engine|varnolith_warnings|OpenMP' \
  "$prefix/$libdir/cmake/varnolith/"varnolith-targets*.cmake; then
  fail "the exported target passes build details on to its consumers"
fi

echo "== find_package(varnolith)"
run_logged "$cmake" -S "$host" -B "$scratch/by_cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_FLAGS="$strict ${CFLAGS:-}" -DCMAKE_BUILD_TYPE=Release
grep -qx "varnolith_DIR:PATH=$prefix/$libdir/cmake/varnolith" "$scratch/by_cmake/CMakeCache.txt" ||
  fail "find_package found another varnolith than the one just installed"
run_logged "$cmake" --build "$scratch/by_cmake"
# No LD_LIBRARY_PATH: the host finds the library through its build RPATH.
"$scratch/by_cmake/c_host" || fail "the host built with find_package"

echo "== pkg-config"
command -v pkg-config >/dev/null || fail "pkg-config is missing (Debian package pkgconf)"
PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
export PKG_CONFIG_PATH
[ "$(pkg-config --modversion varnolith)" = "$version" ] || fail "varnolith.pc does not give version $version"
flags=$(pkg-config --cflags --libs varnolith) || fail "pkg-config cannot read varnolith.pc"
# shellcheck disable=SC2086 # the flags are words on purpose
"${CC:-cc}" $strict ${CFLAGS:-} "$host/main.c" $flags ${LDFLAGS:-} -o "$scratch/c_host" ||
  fail "the host does not build with pkg-config's flags"
LD_LIBRARY_PATH=$prefix/$libdir "$scratch/c_host" || fail "the host built with pkg-config"
