#!/usr/bin/env bash
# End to end: starts the real Tallyvane.exe under Wine on a private Xvfb with
# a copy of the example data file, double-clicks the first name, ticks an
# open checkbox with a click on its square and checks the screenshots (navy
# panes, the red tick) and the window title. Meanwhile another officer's save
# adds a name and a tick to the file: Ctrl+S must merge, keep all three
# changes and say so. The screenshots stay in <build>/screenshots.
#   e2e.sh PATH/TO/Tallyvane.exe SOURCE_DIR [DPI]
# With a DPI other than 96 the program runs in a Wine prefix of that DPI
# (tests/support/dpi-prefix.sh), the square is clicked where it is at that
# DPI and the screenshots are named e2e-DPI-*.png.
# Exit 77 (skipped) when the X tools or the right Wine are missing.
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
src=${2:?usage: e2e.sh Tallyvane.exe SOURCE_DIR [DPI]}
dpi=${3:-96}
name=e2e
[ "$dpi" = 96 ] || name=e2e-$dpi
# A size of the layout, given for 96 DPI, at this DPI.
scaled() { echo $(( ($1 * dpi + 48) / 96 )); }

. "$src/tests/support/e2e-common.sh"
e2e_begin xdotool import convert Xvfb

# A display of our own, so the clicks land on nothing else.
. "$src/scripts/xvfb.sh"
start_xvfb 200 260 || fail "no free display for Xvfb"

# A copy of the example, for the save at the end.
work=$build/$name-club
rm -rf "$work"
mkdir -p "$work"
cp "$src/examples/club.tvd" "$work/club.tvd"

. "$src/tests/support/dpi-prefix.sh"
use_dpi_prefix "$build" "$src" "$dpi"
case $? in 0) ;; 125) echo "SKIPPED: Wine can't run here"; exit 77 ;; *) fail "no prefix at $dpi DPI" ;; esac
# A program killed by an earlier run may have left a recovery file, which
# the start would offer first.
clear_recovery
"$src/scripts/wine-run" "$exe" "Z:$work/club.tvd" >/dev/null 2>&1 &
app_pid=$!
finish() {
  # Only this test's program runs in the prefix (the test runs serially).
  WINEPREFIX=$WINEPREFIX timeout 20 "$server" -k >/dev/null 2>&1 || true
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  stop_xvfb
}
trap finish EXIT

win=$(wait_window "club.tvd - Tallyvane" 240)
[ -n "$win" ] || fail "no window titled 'club.tvd - Tallyvane' appeared"
sleep 1
title=$(xdotool getwindowname "$win")
[ "$title" = "club.tvd - Tallyvane" ] || fail "title is '$title'"
echo "title: $title"

# Colour of window pixel (x, y) as rrggbb.
pixel() {
  convert "$1" -format "%[hex:u.p{$2,$3}]" info: 2>/dev/null | cut -c1-6 | tr 'A-F' 'a-f'
}
# First y from y0 down in column x whose colour is $4.
first_y() {
  local img=$1 x=$2 y0=$3 colour=$4 h
  h=$(convert "$img" -format "%h" info:)
  convert "$img" -crop "1x$((h - y0))+$x+$y0" +repage txt:- 2>/dev/null |
    awk -v c="$colour" -v y0="$y0" 'NR > 1 { split($1, p, "[,:]"); if (tolower($3) == "#" c) { print p[2] + y0; exit } }'
}
# Number of pixels of colour rrggbb in the image.
count() {
  convert "$1" -alpha off -fill black +opaque "#$2" -fill white -opaque "#$2" \
    -format "%[fx:round(mean*w*h)]" info: 2>/dev/null
}

import -window "$win" "$shots/$name-1-names.png" || fail "no screenshot"
width=$(convert "$shots/$name-1-names.png" -format "%w" info:)
height=$(convert "$shots/$name-1-names.png" -format "%h" info:)
mid=$(pixel "$shots/$name-1-names.png" $((width / 2)) $((height / 2)))
[ "$mid" = "000080" ] || fail "the Names pane is not navy (centre pixel $mid)"
echo "Names pane: navy"
pane_top=$(first_y "$shots/$name-1-names.png" $((width / 2)) 0 000080)
[ -n "$pane_top" ] || fail "no navy pane found"

# Double-click the first name (Ann Smith).
xdotool mousemove --window "$win" 40 $((pane_top + 8)) click --repeat 2 --delay 60 1
sleep 1.5
import -window "$win" "$shots/$name-2-entries.png"
view=$(xdotool getwindowname "$win")
ticks_before=$(count "$shots/$name-2-entries.png" ff0000)
[ "$ticks_before" -gt 0 ] || fail "the Entries view shows no red tick"
# Row tops are the silver frame lines of the rows (more than a pixel thick
# above 96 DPI: the first pixel of each).
rows=$(convert "$shots/$name-2-entries.png" -crop "1x$((height - pane_top))+$((width / 2))+$pane_top" +repage txt:- |
  awk -v y0="$pane_top" 'NR > 1 && tolower($3) == "#c0c0c0" {
    split($1, p, "[,:]"); y = p[2] + y0; if (y != last + 1) print y; last = y }')
set -- $rows
[ $# -ge 4 ] || fail "expected four rows in Ann Smith's entries, found $#"
row_height=$(( $2 - $1 ))
# Row 2 is "Signed the safety form", still open: tick it.
square_x=$(( 2 + $(scaled 10) ))
square_y=$(( $3 + row_height / 2 ))
xdotool mousemove --window "$win" "$square_x" "$square_y" click 1
sleep 1
import -window "$win" "$shots/$name-3-ticked.png"
ticks_after=$(count "$shots/$name-3-ticked.png" ff0000)
[ "$ticks_after" -gt "$ticks_before" ] || fail "no new red tick after the click ($ticks_before -> $ticks_after red pixels)"
square_red=$(convert "$shots/$name-3-ticked.png" -crop "$(scaled 14)x$((row_height))+$((square_x - $(scaled 7)))+$3" +repage txt:- | grep -ci "#ff0000")
[ "$square_red" -gt 5 ] || fail "the clicked square shows no tick"
echo "tick drawn: $ticks_before -> $ticks_after red pixels, $square_red in the clicked square"

# Another officer saved meanwhile: a new name, and a tick for Bob Jones.
python3 - "$work/club.tvd" <<'PY'
import sys
path = sys.argv[1]
data = open(path, 'rb').read().decode('latin-1')
data = data.replace('[Names]\r\n4\r\n', '[Names]\r\n5\r\n').replace('3 Dev Patel\r\n', '3 Dev Patel\r\n4 Eve Ng\r\n')
data = data.replace('[1]\r\n4\r\n0 \r\n', '[1]\r\n4\r\n1 12/09/26 10:15 AM\r\n')
data += '[4]\r\n3\r\n0 \r\n0 \r\n0 \r\n'
open(path, 'wb').write(data.encode('latin-1'))
PY
xdotool key --window "$win" ctrl+s
box=$(wait_window "Tallyvane" 40)
[ -n "$box" ] || fail "Save showed no report of the merge"
sleep 0.5
import -window root "$shots/$name-4-merged.png"
xdotool key --window "$box" Return
sleep 1
saved=$(tr -d '\r' < "$work/club.tvd")
grep -q "^4 Eve Ng$" <<<"$saved" || fail "the other officer's name is gone from the saved file"
grep -A2 "^\[1\]$" <<<"$saved" | grep -q "^1 12/09/26 10:15 AM$" || fail "the other officer's tick is gone"
[ "$(grep -A3 "^\[0\]$" <<<"$saved" | tail -1 | cut -c1-2)" = "1 " ] || fail "this window's tick was not saved"
import -window "$win" "$shots/$name-5-after-merge.png"
echo "merged on save: the other officer's name and tick and this window's tick are in the file"
echo "screenshots: $shots/$name-*.png"
echo "PASSED"
