#!/usr/bin/env bash
# Rewrites include/tintvale/tintvale.h to include every public header.
set -euo pipefail
cd "$(dirname "$0")/.."
{
  echo "// Tintvale: every public header of the library."
  echo "#ifndef TINTVALE_TINTVALE_H"
  echo "#define TINTVALE_TINTVALE_H"
  echo
  for h in $(ls include/tintvale/*.h | sort); do
    case "$(basename "$h")" in tintvale.h | texport.h) continue ;; esac
    echo "#include <tintvale/$(basename "$h")>"
  done
  echo
  echo "#endif"
} > include/tintvale/tintvale.h
