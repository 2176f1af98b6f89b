#!/usr/bin/env bash
# End to end with the File menu: the real Tallyvane.exe under Wine on a
# private Xvfb with a window manager, typed at with xdotool. File > Import
# names... adds the new names of a semicolon CSV roster after its question;
# File > Export... writes the unsaved document as CSV and as a printable
# page and asks "Open NAME now?" (answered No). After Ctrl+S both exports
# must equal what tvd export writes from the saved file (the page apart from
# its export date). Screenshots stay in <build>/screenshots.
#   e2e-rosters.sh PATH/TO/Tallyvane.exe SOURCE_DIR PATH/TO/tvd.exe
# Exit 77 (skipped) when the X tools or the right Wine are missing.
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
src=${2:?usage: e2e-rosters.sh Tallyvane.exe SOURCE_DIR tvd.exe}
tvd=${3:?usage: e2e-rosters.sh Tallyvane.exe SOURCE_DIR tvd.exe}

. "$src/tests/support/e2e-common.sh"
e2e_begin xdotool import Xvfb

work=$(mktemp -d "$build/e2e-rosters.XXXXXX")
cp "$src/examples/club.tvd" "$work/club.tvd"
# Excel's semicolon CSV with its "sep=" line; a name that is a formula; a
# name the file holds already, typed with other case and a trailing blank.
printf 'sep=;\r\nName;Email\r\nZoe Brandt;zoe@example.org\r\n=Cara Diaz;cara@example.org\r\nann smith ;ann@example.org\r\n' \
  > "$work/members.csv"
winpath() { echo "Z:$1" | tr / '\\'; }

. "$src/scripts/xvfb.sh"
start_xvfb 321 380 || fail "no free display for Xvfb"

export WINEPREFIX=$build/wineprefix
# A program killed by an earlier run may have left a recovery file, which
# the start would offer first.
clear_recovery
"$src/scripts/wine-run" "$exe" "$(winpath "$work/club.tvd")" >/dev/null 2>&1 &
app_pid=$!
finish() {
  # The program is stopped without its exit, so no settings are written.
  WINEPREFIX=$WINEPREFIX timeout 20 "$server" -k >/dev/null 2>&1 || true
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap finish EXIT

# Types $2 into the file dialog titled $1 and presses Enter.
choose_file() {
  local dialog
  dialog=$(wait_window "$1" 60 --onlyvisible)
  [ -n "$dialog" ] || fail "no dialog titled '$1' appeared"
  sleep 0.5
  import -window "$dialog" "$shots/e2e-rosters-$3.png" || true
  xdotool type --delay 20 "$2"
  xdotool key Return
  gone "$1" --onlyvisible || fail "the dialog '$1' stayed up"
}

win=$(wait_window "club.tvd - Tallyvane" 240 --onlyvisible)
[ -n "$win" ] || fail "no window titled 'club.tvd - Tallyvane' appeared"
sleep 1
xdotool mousemove --window "$win" 200 300 click 1
sleep 0.5

# File > Import names...: the roster, then its question answered Yes, then
# the list of skipped lines closed.
xdotool key alt+f i
choose_file "Import names" "$(winpath "$work/members.csv")" 1-import-dialog
box=$(wait_window "Tallyvane" 40 --onlyvisible)
[ -n "$box" ] || fail "no question after the roster was chosen"
sleep 0.5
import -window "$box" "$shots/e2e-rosters-2-question.png" || true
xdotool key y
box=$(wait_window "members.csv" 40 --onlyvisible)
[ -n "$box" ] || fail "no list of the skipped lines"
sleep 0.5
import -window "$box" "$shots/e2e-rosters-3-skipped.png" || true
xdotool key Return
gone "members.csv" --onlyvisible || fail "the list of skipped lines stayed up"
sleep 0.5
import -window "$win" "$shots/e2e-rosters-4-names.png" || true
echo "File > Import names...: question answered, skipped lines listed"

# File > Export... twice: CSV (the first type) and the page, each left unopened.
for name in report report.html; do
  xdotool key alt+f e
  choose_file "Export" "$(winpath "$work/$name")" "5-export-$name"
  box=$(wait_window "Tallyvane" 40 --onlyvisible)
  [ -n "$box" ] || fail "no question after exporting $name"
  sleep 0.5
  import -window "$box" "$shots/e2e-rosters-6-open-$name.png" || true
  xdotool key n
  gone "Tallyvane" --onlyvisible || fail "the question after exporting $name stayed up"
done
[ -f "$work/report.csv" ] || fail "File > Export... wrote no report.csv"
[ -f "$work/report.html" ] || fail "File > Export... wrote no report.html"
echo "File > Export...: report.csv and report.html written"

xdotool key ctrl+s
sleep 2
saved=$(tr -d '\r' < "$work/club.tvd")
echo "$saved" | grep -qx "[0-9]* Zoe Brandt" || fail "the saved file has no name 'Zoe Brandt'"
echo "$saved" | grep -qx "[0-9]* =Cara Diaz" || fail "the saved file has no name '=Cara Diaz'"
[ "$(echo "$saved" | grep -ci "^[0-9]* ann smith")" = 1 ] || fail "Ann Smith was added again"

( cd "$work" && "$src/scripts/wine-run" "$tvd" export club.tvd --csv tvd.csv >/dev/null 2>&1 \
  && "$src/scripts/wine-run" "$tvd" export club.tvd --html tvd.html >/dev/null 2>&1 ) || fail "tvd export failed"
cmp -s "$work/report.csv" "$work/tvd.csv" || fail "report.csv differs from tvd export --csv of the saved file"
grep -q "^'=Cara Diaz," "$work/report.csv" || fail "the formula name is not guarded in report.csv"
undated() { sed 's|<p class="when">.*</p>||' "$1"; }
[ "$(undated "$work/report.html")" = "$(undated "$work/tvd.html")" ] \
  || fail "report.html differs from tvd export --html of the saved file"
echo "exports equal tvd export of the saved file"
echo "screenshots: $shots/e2e-rosters-*.png"
echo "PASSED"
