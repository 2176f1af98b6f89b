#!/usr/bin/env bash
# Start-up and view-switch times of the main window with a 40,000-name data
# file, under Wine. Uses the 32-bit build where this machine runs 32-bit Wine,
# else the 64-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=win32
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  preset=win64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target startup_bench
exec scripts/wine-run "build/$preset/bin/startup_bench.exe"
