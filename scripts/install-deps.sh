#!/usr/bin/env bash
# Installs with apt-get whatever the build, tests and benchmarks need and is missing.
# Idempotent; prints nothing when everything is present.
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config binutils
  libboost-filesystem-dev nlohmann-json3-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev liblcms2-dev
  clang-format locales clang libclang-rt-14-dev libcli11-dev
  python3-dev python3-pybind11 python3-numpy python3-pytest
  python3-setuptools python3-wheel python3-venv python3-pip
  argyll
  libpugixml-dev libxml2-utils
  python3-dask python3-distributed
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tests check that a host locale with a decimal comma changes no number.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
