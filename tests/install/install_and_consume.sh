#!/bin/sh
# Installs the build into a scratch prefix, then builds and runs the C hosts of
# examples/c_host and examples/range_host against it through
# find_package(varnolith) and through pkg-config, with the consumer's strict
# C99 flags. CC, CFLAGS and LDFLAGS are the build's own, so that a sanitizer
# build is consumed by an instrumented host.
# Usage: install_and_consume.sh CMAKE BUILD_DIR SOURCE_DIR LIBDIR INCLUDEDIR BINDIR VERSION RANGE_VERSION
set -eu
cmake=$1 build=$2 source=$3 libdir=$4 includedir=$5 bindir=$6 version=$7 range_version=$8
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix strict="-std=c99 -Wall -Wextra -Wpedantic -Werror"
fail() { echo "FAILED: $*" >&2; exit 1; }
quietly() { "$@" >"$scratch/log" 2>&1 || { cat "$scratch/log" >&2; fail "$*"; }; }

quietly "$cmake" --install "$build" --prefix "$prefix"
for file in "$libdir/libvarnolith.so" "$libdir/libvarnolith.so.1" "$includedir/varnolith/varnolith.h" \
  "$bindir/varnolith_cli" "$bindir/varnolith" "$libdir/cmake/varnolith/varnolith-config.cmake" \
  "$libdir/cmake/varnolith/varnolith-config-version.cmake" "$libdir/pkgconfig/varnolith.pc" \
  "$libdir/libvarnolith_range.so" "$libdir/libvarnolith_range.so.1" "$includedir/varnolith/range.h" \
  "$libdir/pkgconfig/varnolith_range.pc"; do
  [ -e "$prefix/$file" ] || fail "$file is not installed"
done
for name in varnolith varnolith_range; do
  readelf -d "$prefix/$libdir/lib$name.so" | grep -q "Library soname: \[lib$name.so.1\]" || fail "SONAME of lib$name"
done
# No path into this machine's trees, and nothing of the engine, OpenMP or our flags for consumers.
! grep -rl -e "$source" -e "$build" "$prefix/$libdir/cmake" "$prefix/$libdir/pkgconfig" || fail "package files point into the build"
! grep -E 'INTERFACE_(LINK_LIBRARIES|COMPILE_OPTIONS|COMPILE_DEFINITIONS|LINK_OPTIONS)|varnolith_engine|varnolith_ranges|varnolith_warnings|OpenMP' \
  "$prefix/$libdir/cmake/varnolith/"varnolith-targets*.cmake || fail "the exported target passes build details on"

command -v pkg-config >/dev/null || fail "pkg-config is missing (Debian package pkgconf)"
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
[ "$(pkg-config --modversion varnolith)" = "$version" ] || fail "varnolith.pc does not give version $version"
[ "$(pkg-config --modversion varnolith_range)" = "$range_version" ] ||
  fail "varnolith_range.pc does not give version $range_version"

# Each host: its example folder, and its pkg-config package.
for host in c_host:varnolith range_host:varnolith_range; do
  name=${host%:*} package=${host#*:}
  quietly "$cmake" -S "$source/examples/$name" -B "$scratch/$name.cmake" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_C_FLAGS="$strict ${CFLAGS:-}" -DCMAKE_BUILD_TYPE=Release
  grep -qx "varnolith_DIR:PATH=$prefix/$libdir/cmake/varnolith" "$scratch/$name.cmake/CMakeCache.txt" ||
    fail "another varnolith found"
  quietly "$cmake" --build "$scratch/$name.cmake"
  quietly "$scratch/$name.cmake/$name" || fail "$name built with find_package" # through its RPATH, no LD_LIBRARY_PATH
  # shellcheck disable=SC2046,SC2086 # the flags are words on purpose
  quietly "${CC:-cc}" $strict ${CFLAGS:-} "$source/examples/$name/main.c" $(pkg-config --cflags --libs "$package") \
    ${LDFLAGS:-} -o "$scratch/$name"
  quietly env LD_LIBRARY_PATH="$prefix/$libdir" "$scratch/$name" || fail "$name built with pkg-config"
done
