#!/usr/bin/env bash
# Installs with apt-get whatever the builds and tests need and is missing.
# Safe to run again: it does nothing when everything is there.
set -euo pipefail

need=(cmake ninja-build g++ googletest python3
      g++-mingw-w64-i686-posix binutils-mingw-w64-i686
      g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
      wine wine32:i386 wine64 xvfb xauth x11-utils openbox xdotool imagemagick
      clang libclang-rt-14-dev
      nsis zip unzip p7zip-full
      unicode-data)

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
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
