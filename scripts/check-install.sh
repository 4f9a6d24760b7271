#!/usr/bin/env bash
# Installs the library into a temporary prefix and builds and runs the consumer example against it,
# once through the CMake package and once through pkg-config.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
for mode in OFF ON; do
  cmake -S examples/consumer -B "$work/$mode" -G Ninja -DUSE_PKG_CONFIG=$mode \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$work/$mode" >/dev/null
  echo "== consumer (pkg-config $mode)"
  LD_LIBRARY_PATH="$prefix/lib" "$work/$mode/consumer"
done
echo "== linked against"
LD_LIBRARY_PATH="$prefix/lib" ldd "$work/ON/consumer" | grep tintvale
