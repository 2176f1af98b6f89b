#!/usr/bin/env bash
# Runs window_pictures.exe at one display DPI and checks its pictures.
#   window-pictures.sh PATH/TO/window_pictures.exe SOURCE_DIR DPI [--update]
# 96 runs in the build's own Wine prefix and compares every picture of
# <build>/screenshots/windows-96/ with tests/app/pictures/ pixel for pixel.
# Any other DPI gets a prefix of its own, <build>/wineprefix-dpi<DPI>, with
# LogPixels set; its pictures stay in <build>/screenshots/windows-<DPI>/.
# --update (at 96) copies the new pictures over the references instead: run
# it after a deliberate change of how a window looks, and look at them first.
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
src=${2:?usage: window-pictures.sh window_pictures.exe SOURCE_DIR DPI [--update]}
dpi=${3:?usage: window-pictures.sh window_pictures.exe SOURCE_DIR DPI [--update]}
update=${4:-}
build=$(dirname "$(dirname "$exe")")
shots=$build/screenshots/windows-$dpi
references=$src/tests/app/pictures

for tool in compare convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed (apt-get install imagemagick)"; exit 125; }
done

. "$src/tests/support/dpi-prefix.sh"
use_dpi_prefix "$build" "$src" "$dpi" || exit $?

rm -rf "$shots"
"$src/scripts/wine-run" "$exe" --gtest_brief=0
status=$?
[ $status = 0 ] || exit $status
[ -d "$shots" ] || { echo "FAILED: no pictures in $shots (is the prefix at $dpi DPI?)"; exit 1; }

if [ "$dpi" != 96 ]; then
  echo "pictures at $dpi DPI: $shots"
  exit 0
fi
if [ "$update" = --update ]; then
  mkdir -p "$references"
  for shot in "$shots"/*.png; do
    convert "$shot" -define png:compression-level=9 -strip "PNG24:$references/$(basename "$shot")"
  done
  echo "references updated from $shots"
  exit 0
fi
failed=0
for reference in "$references"/*.png; do
  name=$(basename "$reference")
  if [ ! -f "$shots/$name" ]; then
    echo "FAILED: $name was not made"
    failed=1
    continue
  fi
  # AE: the number of pixels that differ at all; a different size fails too.
  differ=$(compare -metric AE "$reference" "$shots/$name" "$shots/diff-$name" 2>&1)
  if [ "$differ" != 0 ]; then
    echo "FAILED: $name differs from the reference in $differ pixels (see $shots/diff-$name)"
    failed=1
  else
    rm -f "$shots/diff-$name"
    echo "same as the reference: $name"
  fi
done
[ $failed = 0 ] && echo PASSED
exit $failed
