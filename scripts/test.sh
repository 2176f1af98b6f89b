#!/usr/bin/env bash
# Builds both flavours and runs every test: the native build with sanitizers,
# a bounded fuzzing run of the file readers, then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

cmake --preset host
cmake --build --preset host
ctest --preset host

if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh "${TALLYVANE_FUZZ_SECONDS:-60}"
fi

# The shipped program is the 32-bit build. Its tests run under 32-bit Wine
# where the kernel can run 32-bit programs; everywhere the same sources are
# also built for 64-bit Windows and tested under 64-bit Wine. Where 32-bit
# Wine can't run, only the shipped programs of the 32-bit build are made.
wine32=no
/usr/lib/wine/wine --version >/dev/null 2>&1 && wine32=yes
cmake --preset win32
if [ $wine32 = yes ]; then
  cmake --build --preset win32
else
  cmake --build --preset win32 --target Tallyvane tvd
fi
cmake --preset win64
cmake --build --preset win64

# One virtual display with a window manager for the whole Windows run,
# unless there is a screen.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  . scripts/xvfb.sh
  start_xvfb 20 89 || { echo "Xvfb could not start" >&2; exit 1; }
fi
finish() {
  WINEPREFIX="$PWD/build/win64/wineprefix" WINESERVER=/usr/lib/wine/wineserver64 \
    timeout 20 /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  [ -n "$xvfb_pid" ] && stop_xvfb
}
trap finish EXIT

# Window tests are marked to run alone; the others share the second core.
if [ $wine32 = yes ]; then
  ctest --preset win32 --parallel 2
else
  echo "32-bit Wine can't run on this kernel: the Windows tests run on the 64-bit build only."
fi
ctest --preset win64 --parallel 2
