#!/usr/bin/env bash
# Builds Tallyvane.exe and starts it under Wine on the example data file
# (or on the file given). Without a screen it runs on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
file=${1:-examples/club.tvd}

cmake --preset win32 >/dev/null
cmake --build --preset win32
flavour=win32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # This kernel can't run 32-bit Wine: start the 64-bit build of the same sources.
  echo "32-bit Wine can't run here; starting the 64-bit build instead."
  cmake --preset win64 >/dev/null
  cmake --build --preset win64
  flavour=win64
fi
exec scripts/wine-run build/$flavour/bin/Tallyvane.exe "$file"
