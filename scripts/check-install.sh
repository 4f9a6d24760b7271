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
# A host of the installed library captures a library message through its own handler.
echo "== consumer_messages"
LD_LIBRARY_PATH="$prefix/lib" "$work/OFF/consumer_messages" 2>/dev/null

echo "== linked against"
LD_LIBRARY_PATH="$prefix/lib" ldd "$work/ON/consumer" | grep tintvale

# The installed tool finds its library (../lib) and the shipped illuminants (../share) by itself.
echo "== installed tintvale"
"$prefix/bin/tintvale" compare "$prefix/share/tintvale/samples/chart_reference.txt" \
  "$prefix/share/tintvale/samples/chart_measured.txt" | tail -2
# An unknown illuminant makes it name the directory it searched.
miss=$("$prefix/bin/tintvale" match 50 0 0 --illuminant none 2>&1 || true)
if [[ "$miss" == *"not found in $prefix/share/tintvale/illuminants "* ]]; then
  echo "illuminants from $prefix/share/tintvale/illuminants"
else
  echo "the installed tool does not use the installed illuminants" >&2
  exit 1
fi
