#!/usr/bin/env bash
# Installs the library into a temporary prefix and uses it as a new host and a new Python user would,
# from a copy of the sources outside this tree (nothing is read from the tree or the build directory
# after the install): the README's host program built as printed, the consumer example with
# find_package (on a CMake run that cannot find Boost) and with pkg-config, the QC host example both
# ways (its verdict checked against the installed tool's), the installed tool and
# Python package, and `pip install` of the package into a virtual environment with its tests.
# CMAKE_ARGS is passed to the package's CMake build (a compiler launcher, say).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
python=${PYTHON:-/usr/bin/python3}
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
# The sources as a clean checkout has them; everything below runs there.
src="$work/src"
mkdir "$src"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$src"
cd "$work"
version=$(sed -n 's/^project(Tintvale VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"

echo "== README host program, built as printed"
mkdir readme
for part in app.cpp build.sh; do
  awk -v marker="<!-- host-example:$part -->" '
    $0 == marker { armed = 1; next }
    armed && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$src/README.md" >"readme/$part"
done
cmp readme/app.cpp "$src/examples/consumer/main.cpp" || { echo "README and examples/consumer differ" >&2; exit 1; }
(cd readme && PREFIX="$prefix" bash -e build.sh)

echo "== consumer: find_package without Boost, and pkg-config"
# Boost cannot be found by this CMake run: the package must not ask for it (CMake then also notes
# that the variable went unused).
cmake -S "$src/examples/consumer" -B consumer-cmake -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_DISABLE_FIND_PACKAGE_Boost=ON >cmake.log 2>&1 || { cat cmake.log >&2; exit 1; }
cmake -S "$src/examples/consumer" -B consumer-pc -G Ninja -DUSE_PKG_CONFIG=ON >/dev/null
for dir in consumer-cmake consumer-pc; do
  cmake --build "$dir" >/dev/null
  LD_LIBRARY_PATH="$prefix/lib" "$dir/consumer" "$prefix/share/tintvale/illuminants" | tail -1
done
# A host of the installed library captures a library message through its own handler.
for dir in consumer-cmake consumer-pc; do
  LD_LIBRARY_PATH="$prefix/lib" "$dir/consumer_messages" 2>/dev/null
done
LD_LIBRARY_PATH="$prefix/lib" ldd consumer-pc/consumer | grep "$prefix/lib/libtintvale.so" >/dev/null

echo "== QC host: find_package and pkg-config, printing what the installed tool finds"
ref="$src/tools/tests/data/control_strip_reference.txt"
smp="$src/tools/tests/data/control_strip_sample.txt"
"$prefix/bin/tintvale" compare "$ref" "$smp" --tolerances iso12647-2-solids-paper --format json >tool.json
# The tolerance set must come from the installed data beside the library.
"$python" - "$prefix" >qc_expected.txt <<'PY'
import json, sys
d = json.load(open("tool.json"))
s = d["summary"]
print("verdict: %s" % s["verdict"])
print("worst: %s, %s %.2f" % (s["max_sample"], s["formula"], s["max"]))
for g in d["tolerances"]["groups"]:
    print("group %s: %s" % (g["name"], g["verdict"]))
print("tolerance set: %s/share/tintvale/tolerances/iso12647-2-solids-paper.json" % sys.argv[1])
for w in d["warnings"]:
    print("warning: %s" % w)
PY
cmake -S "$src/examples/qc_host" -B qc-cmake -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake -S "$src/examples/qc_host" -B qc-pc -G Ninja -DUSE_PKG_CONFIG=ON >/dev/null
for dir in qc-cmake qc-pc; do
  cmake --build "$dir" >/dev/null
  LD_LIBRARY_PATH="$prefix/lib" "$dir/qc_host" "$ref" "$smp" "$dir/page.html" >"$dir/out.txt"
  diff qc_expected.txt "$dir/out.txt" || { echo "$dir: the QC host differs from the tool" >&2; exit 1; }
  grep -q 'id="summary"' "$dir/page.html"
done
LD_LIBRARY_PATH="$prefix/lib" ldd qc-pc/qc_host | grep "$prefix/lib/libtintvale_qc.so" >/dev/null
cat qc-cmake/out.txt | head -2

echo "== versions"
tool_version=$("$prefix/bin/tintvale" --version)
pc_version=$(pkg-config --modversion tintvale)
py_site=$(find "$prefix/lib" -type d -path '*-packages' | head -1)
py_version=$(env -i PYTHONPATH="$py_site" "$python" -c 'import tintvale; print(tintvale.__version__)')
header_version=$(sed -n 's/^#define TINTVALE_VERSION_STRING "\(.*\)"/\1/p' "$prefix/include/tintvale/version.h")
echo "project $version, tool: $tool_version, pkg-config $pc_version, Python $py_version, header $header_version"
[[ "$tool_version" == "tintvale $version" && "$pc_version" == "$version" && "$py_version" == "$version" \
  && "$header_version" == "$version" ]] || { echo "versions differ" >&2; exit 1; }

# The installed tool finds its library (../lib) and the shipped illuminants (../share) by itself.
echo "== installed tintvale"
"$prefix/bin/tintvale" compare "$prefix/share/tintvale/samples/chart_reference.txt" \
  "$prefix/share/tintvale/samples/chart_measured.txt" | tail -2
# An unknown illuminant makes it name the directory it searched.
miss=$("$prefix/bin/tintvale" match 50 0 0 --illuminant none 2>&1 || true)
if [[ "$miss" != *"not found in $prefix/share/tintvale/illuminants "* ]]; then
  echo "the installed tool does not use the installed illuminants" >&2
  exit 1
fi

echo "== installed Python package, fresh interpreter"
env -i PYTHONPATH="$py_site" "$python" -c '
import tintvale as tv
d50 = tv.IlluminantFactory.shipped()["CIE Illuminant D50"]
print(tv.data_directory(), tv.white_point(d50, "2 degree").round(4))' | tee python.out
grep -q "^$prefix/share/tintvale \[ *96.3841 *100\. *82.4535\]" python.out

echo "== pip install into a virtual environment, and the Python tests against it"
"$python" -m venv --system-site-packages venv
# Paths below the copy are hashed relative to it, so a compiler cache serves repeated runs.
CCACHE_BASEDIR="$work" venv/bin/pip install --no-build-isolation --no-index --quiet "$src"
env -u PYTHONPATH TINTVALE_SOURCE_DIR="$src" TINTVALE_TOOL="$prefix/bin/tintvale" PYTHONDONTWRITEBYTECODE=1 \
  venv/bin/python -m pytest -q -p no:cacheprovider "$src/python/tests" | tail -1
