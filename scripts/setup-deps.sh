#!/usr/bin/env bash
# Installs with apt-get whatever the builds and tests need and is missing.
# Safe to run again: it does nothing when everything is there.
# The fonts draw names in Arabic, Hebrew, Devanagari (Noto) and Chinese,
# Japanese, Korean (WenQuanYi Zen Hei) under Wine, linked to the windows'
# font as scripts/wine-fonts.sh says.
set -euo pipefail

need=(cmake ninja-build g++ googletest python3 python3-tk
      g++-mingw-w64-i686-posix binutils-mingw-w64-i686
      g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      wine wine32:i386 wine64 xvfb xauth x11-utils openbox xdotool imagemagick
      clang libclang-rt-14-dev
      nsis zip unzip p7zip-full
      unicode-data
      fonts-noto-core fonts-wqy-zenhei)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
# A mirror in the middle of a sync can fail one index for a while: try again,
# then go on with the lists there are (the install says if they don't do).
for try in 1 2 3; do
  $SUDO apt-get update -qq && break
  [ $try = 3 ] || sleep 20
done
install() {
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" </dev/null
}
if ! install "${missing[@]}"; then
  # The 32-bit Wine needs i386 libraries of exactly the versions installed for
  # amd64; while the mirror lacks one of their lists they can't be had. The
  # test command then runs the Windows tests on the 64-bit build only.
  rest=()
  for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
  [ ${#rest[@]} -lt ${#missing[@]} ] || exit 1
  install "${rest[@]}"
  echo "setup-deps: wine32:i386 could not be installed now; only 64-bit Wine is there." >&2
fi
