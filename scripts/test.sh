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

# Whether the kernel runs 32-bit x86 programs at all (some virtual machines
# have no IA32 emulation): a 32-bit program of a few bytes that only exits.
kernel_runs_32bit() {
  local probe status
  probe=$(mktemp) || return 1
  python3 - "$probe" <<'EOF'
import struct, sys
code = bytes([0x31, 0xDB, 0x31, 0xC0, 0x40, 0xCD, 0x80])  # exit(0) through int 0x80
base, size = 0x08048000, 52 + 32 + len(code)
elf = (b"\x7fELF\x01\x01\x01" + bytes(9)
       + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0)
       + struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000) + code)
open(sys.argv[1], "wb").write(elf)
EOF
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  return $status
}
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
  if kernel_runs_32bit; then
    if [ -e /usr/lib/wine/wine ]; then
      why="32-bit Wine is installed but does not start (/usr/lib/wine/wine --version fails)"
    else
      why="32-bit Wine is not installed (wine32:i386; scripts/setup-deps.sh could not install it)"
    fi
  elif [ -e /usr/lib/wine/wine ]; then
    why="32-bit Wine can't run on this kernel (it runs no 32-bit programs)"
  else
    why="32-bit Wine is not installed, and this kernel runs no 32-bit programs"
  fi
  echo "$why: the Windows tests run on the 64-bit build only."
fi
ctest --preset win64 --parallel 2
