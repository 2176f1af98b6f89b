#!/usr/bin/env bash
# Builds Tallyvane.exe and starts it under Wine on the example data file
# (or on the file given). Without a screen it runs on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
file=${1:-examples/club.tvd}

cmake --preset win32 >/dev/null
cmake --build --preset win32
if [ -f build/win32/bin/Tallyvane.exe ]; then
  exec scripts/wine-run build/win32/bin/Tallyvane.exe "$file"
fi
# Before the main window exists: load the file as the program would.
exec scripts/wine-run build/win32/bin/tvd.exe check "$file"
