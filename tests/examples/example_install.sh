#!/usr/bin/env bash
# The library as another project uses it: installs the Vantelo component of
# this build into a temporary prefix, builds examples/gridDemo against that
# prefix alone with find_package(Vantelo), and runs its self-check.
#   example_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" --component Vantelo >/dev/null
[ -f "$work/prefix/include/Vantelo/EditGrid.h" ] || { echo "example: headers not installed" >&2; exit 1; }
cmake -S "$source/examples/gridDemo" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >"$work/configure.log" 2>&1 \
  || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { cat "$work/build.log" >&2; exit 1; }
# The program finds the installed libraries, not the build tree's.
# (ldd's output is read whole: grep -q closing the pipe early fails under pipefail.)
libs=$(ldd "$work/build/gridDemo")
grep -q "$work/prefix/lib/libvantelo.so" <<<"$libs" \
  || { echo "$libs" >&2; echo "example: not linked against the installed library" >&2; exit 1; }
QT_QPA_PLATFORM=offscreen "$work/build/gridDemo" --check
