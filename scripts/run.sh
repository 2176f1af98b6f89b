#!/usr/bin/env bash
# Builds Tallyvane.exe and starts it under Wine on the example data file
# (or on the file given). Without a screen it runs on a virtual display with
# a window manager, saves a screenshot a few seconds after start-up to
# build/<preset>/screenshots/run.png and runs until Ctrl+C.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
file=${1:-examples/club.tvd}

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target Tallyvane
flavour=win32
server=wineserver
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # This kernel can't run 32-bit Wine: start the 64-bit build of the same sources.
  echo "32-bit Wine can't run here; starting the 64-bit build instead."
  cmake --preset win64 >/dev/null
  cmake --build --preset win64 --target Tallyvane
  flavour=win64
  server=/usr/lib/wine/wineserver64
fi
exe=build/$flavour/bin/Tallyvane.exe

if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run "$exe" "$file"
fi

. scripts/xvfb.sh
start_xvfb 20 89 || { echo "Xvfb could not start" >&2; exit 1; }
scripts/wine-run "$exe" "$file" &
app_pid=$!
stop() {
  WINEPREFIX="$PWD/build/$flavour/wineprefix" WINESERVER=$server timeout 20 "$server" -k 2>/dev/null || true
  kill "$app_pid" 2>/dev/null || true
  stop_xvfb
}
trap stop EXIT
trap 'exit 130' INT TERM

# The picture is taken once the main window has been up for a moment.
shot=build/$flavour/screenshots/run.png
mkdir -p "$(dirname "$shot")"
for _ in $(seq 1 120); do
  xdotool search --name " - Tallyvane\$" >/dev/null 2>&1 && break
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.25
done
sleep 3
import -window root "$shot" 2>/dev/null || echo "No screenshot could be taken." >&2
echo "Tallyvane runs on the virtual display $DISPLAY (this machine has no screen)."
echo "Screenshot after start-up: $PWD/$shot"
echo "Press Ctrl+C to stop."
wait "$app_pid" || true
