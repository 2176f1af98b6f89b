#!/usr/bin/env bash
# End to end with the keyboard: the real Tallyvane.exe under Wine on a
# private Xvfb with a window manager, typed at with xdotool. Ctrl+C copies a
# name; F5 adds a name typed into the prompt (Home moves to its start); F6
# does nothing in the Names view and adds an action item in the Action items
# view, pasted with Ctrl+V; Alt+E opens the Edit menu and the status bar shows
# the highlighted item's help text; Del with "Y" in the warning window
# deletes a name. Ctrl+S saves, and the saved file tells what happened.
# Then names in every language are pasted, saved (the file becomes UTF-8),
# read back from the list, found with Ctrl+F, and taken through tvd export,
# add-names and merge; the file is opened once more at 144 DPI.
# Screenshots of the prompt, the menu, the warning window and the names (96
# and 144 DPI) stay in <build>/screenshots.
#   e2e-keys.sh PATH/TO/Tallyvane.exe SOURCE_DIR PATH/TO/status_text.exe
# Exit 77 (skipped) when the X tools or the right Wine are missing.
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
src=${2:?usage: e2e-keys.sh Tallyvane.exe SOURCE_DIR status_text.exe}
peek=${3:?usage: e2e-keys.sh Tallyvane.exe SOURCE_DIR status_text.exe}

. "$src/tests/support/e2e-common.sh"
e2e_begin xdotool import Xvfb

work=$(mktemp -d "$build/e2e-keys.XXXXXX")
cp "$src/examples/club.tvd" "$work/club.tvd"

. "$src/scripts/xvfb.sh"
start_xvfb 261 320 || fail "no free display for Xvfb"

export WINEPREFIX=$build/wineprefix
app_pid=
finish() {
  # The program is stopped without its exit, so no settings are written.
  WINEPREFIX=$WINEPREFIX timeout 20 "$server" -k >/dev/null 2>&1 || true
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  stop_xvfb
  rm -rf "$work"
}
trap finish EXIT

start_app "$work/club.tvd" "club.tvd - Tallyvane"

# Ctrl+C on the first name. Wine hands the Windows clipboard on to the X
# clipboard, where Tk reads it.
xdotool key Home
sleep 0.5
xdotool key ctrl+c
sleep 1
clip=$(python3 -c 'import tkinter; r = tkinter.Tk(); r.withdraw(); print(r.clipboard_get())' 2>/dev/null)
[ "$clip" = "Ann Smith" ] || fail "Ctrl+C left '$clip' on the clipboard, not 'Ann Smith'"
echo "Ctrl+C: 'Ann Smith' on the clipboard"

# F5 in the Names view: the prompt; "Zebra" typed, Home, then "Zed " in
# front of it, Enter.
xdotool key F5
prompt=$(wait_window "Add" 40)
[ -n "$prompt" ] || fail "F5 showed no prompt titled 'Add'"
sleep 0.5
import -window "$prompt" "$shots/e2e-keys-1-prompt.png" || fail "no screenshot of the prompt"
xdotool type --delay 30 "Zebra"
xdotool key Home
xdotool type --delay 30 "Zed "
xdotool key Return
gone "Add" || fail "the prompt stayed up after Enter"
echo "F5: prompt shown, name typed, Home moved to its start"

# F6 in the Names view does nothing.
xdotool key F6
[ -z "$(wait_window "Add" 6)" ] || fail "F6 showed a prompt in the Names view"
echo "F6 in the Names view: nothing"

# View > Action items, then F6: the copied name pasted with Ctrl+V, more typed.
xdotool key alt+v a
sleep 0.5
xdotool key F6
prompt=$(wait_window "Add" 40)
[ -n "$prompt" ] || fail "F6 showed no prompt in the Action items view"
sleep 0.3
xdotool key ctrl+v
xdotool type --delay 30 " returns keys"
xdotool key Return
gone "Add" || fail "the action prompt stayed up"
echo "F6 in the Action items view: action pasted and typed"

# Alt+E opens the Edit menu with its first item highlighted; its help text
# stands in part 0 of the status bar until the menu closes.
xdotool key alt+v n
sleep 0.5
xdotool key alt+e
sleep 1
help=$("$src/scripts/wine-run" "$peek" "club.tvd - Tallyvane" 2>/dev/null | tr -d '\r')
import -window root "$shots/e2e-keys-2-menu.png" || true
[ "$help" = "Add a new name to the name list" ] || fail "with the Edit menu open the status bar reads '$help'"
xdotool key Escape Escape
sleep 0.5
help=$("$src/scripts/wine-run" "$peek" "club.tvd - Tallyvane" 2>/dev/null | tr -d '\r')
[ -z "$help" ] || fail "the status bar still reads '$help' after the menu closed"
echo "Alt+E: Edit menu open, help text shown and cleared"

# The second row (Bob Jones) with Del, answered Y.
xdotool key Home Down
sleep 0.3
xdotool key Delete
warning=$(wait_window "Delete" 40)
[ -n "$warning" ] || fail "Del showed no warning window titled 'Delete'"
sleep 0.5
import -window "$warning" "$shots/e2e-keys-3-warning.png" || fail "no screenshot of the warning window"
xdotool key y
gone "Delete" || fail "the warning window stayed up after Y"
echo "Del: warning shown, answered Y"

# Save and read the file.
xdotool key ctrl+s
sleep 2
saved=$(tr -d '\r' < "$work/club.tvd")
echo "$saved" | grep -qx "[0-9]* Zed Zebra" || fail "the saved file has no name 'Zed Zebra'"
echo "$saved" | grep -q "Bob Jones" && fail "'Bob Jones' is still in the saved file"
echo "$saved" | grep -qx "Ann Smith returns keys" || fail "the saved file has no action item 'Ann Smith returns keys'"
# Ann Smith (section [0]) had four entries: the new action item gives her a fifth.
echo "$saved" | grep -A1 -x "\[0\]" | tail -1 | grep -qx "5" || fail "Ann Smith's entry count is not 5"
echo "saved file: Zed Zebra and Ann Smith returns keys present, Bob Jones gone"

# Names in every language: each pasted into the F5 prompt with Ctrl+V (Wine
# does not follow xdotool's remapping of spare keys reliably enough to type
# them), then saved, read back from the list with LB_GETTEXT, found with
# Ctrl+F by a lower-case part, exported, read back with tvd add-names and
# merged. NAME|PART (PART empty: a script without case).
world_names=(
  "Łukasz Żółć|żół"
  "Jiří Černý|čern"
  "İpek Yıldız|yıld"
  "Jürgen Straße|straß"
  "Νίκος Παπάς|παπ"
  "Иван Петров|пет"
  "Nguyễn Văn An|nguyễn"
  "山田太郎|"
  "王小明|"
  "김민준|"
  "محمد علي|"
  "דוד כהן|"
  "राज कुमार|"
  "René Lefèvre|rené"
  "Mia 🎉 Party|mia 🎉"
)
# Holds text on the X clipboard for a few seconds (Wine hands it on to the
# Windows clipboard as CF_UNICODETEXT when the program pastes).
# Returns once the clipboard holds it (the helper touches a file then).
offer_clipboard() {
  local ready=$work/clipboard.ready i
  rm -f "$ready"
  python3 - "$1" "$ready" <<'PY' &
import sys, tkinter
r = tkinter.Tk(); r.withdraw()
r.clipboard_clear(); r.clipboard_append(sys.argv[1]); r.update()
open(sys.argv[2], "w").close()
r.after(6000, r.destroy); r.mainloop()
PY
  for i in $(seq 1 40); do [ -f "$ready" ] && break; sleep 0.25; done
  sleep 0.3
}
for entry in "${world_names[@]}"; do
  IFS='|' read -r name part <<<"$entry"
  # The main window takes the focus back a moment after a prompt closes.
  sleep 0.5
  xdotool key F5
  prompt=$(wait_window "Add" 40)
  [ -n "$prompt" ] || fail "F5 showed no prompt for '$name'"
  sleep 0.3
  offer_clipboard "$name"
  xdotool key ctrl+v
  sleep 0.3
  [ "$name" = "Łukasz Żółć" ] && import -window "$prompt" "$shots/e2e-keys-4-prompt-unicode.png"
  xdotool key Return
  gone "Add" || fail "the prompt for '$name' stayed up"
done
xdotool key ctrl+s
sleep 2
status=$("$src/scripts/wine-run" "$peek" "club.tvd - Tallyvane" 2>/dev/null | tr -d '\r')
[ "$status" = "club.tvd is now saved as Unicode (UTF-8)" ] || fail "after the save the status bar reads '$status'"
[ "$(sed -n 3p "$work/club.tvd" | tr -d '\r')" = "UTF-8" ] || fail "the saved file has no UTF-8 marker"
rows=$("$src/scripts/wine-run" "$peek" "club.tvd - Tallyvane" --rows 2>/dev/null | tr -d '\r')
saved=$(tr -d '\r' < "$work/club.tvd")
for entry in "${world_names[@]}"; do
  IFS='|' read -r name part <<<"$entry"
  echo "$saved" | grep -qx "[0-9]* $name" || fail "the saved file has no name '$name'"
  echo "$rows" | grep -qxF "$name" || fail "the Names list has no row '$name' (LB_GETTEXT)"
done
echo "every name saved in UTF-8 and shown in the Names list; status: $status"
import -window "$win" "$shots/e2e-keys-5-names-unicode.png" || true

# Ctrl+F by a lower-case part: found (the status bar says nothing of it).
for entry in "${world_names[@]}"; do
  IFS='|' read -r name part <<<"$entry"
  [ -n "$part" ] || continue
  sleep 0.5
  xdotool key ctrl+f
  prompt=$(wait_window "Find" 40)
  [ -n "$prompt" ] || fail "Ctrl+F showed no prompt"
  sleep 0.3
  offer_clipboard "$part"
  xdotool key ctrl+a ctrl+v Return
  gone "Find" || fail "the Find prompt stayed up"
  sleep 0.3
  status=$("$src/scripts/wine-run" "$peek" "club.tvd - Tallyvane" 2>/dev/null | tr -d '\r')
  case "$status" in *"not found"*) fail "Ctrl+F '$part' for '$name': $status" ;; esac
done
echo "Ctrl+F found every name by a lower-case part"
# A person's page: the last one found, opened with Enter.
xdotool key Return
sleep 1
import -window "$win" "$shots/e2e-keys-6-person-unicode.png" || true
xdotool key BackSpace

# The saved file through tvd: the CSV export read back with add-names into
# a new file skips nothing; two copies, each with one more name, merge
# without a duplicate of any name ("Zoë Brandt" on one side, "ZOË BRANDT" on the other).
tvd=$(dirname "$exe")/tvd.exe
run_tvd() { "$src/scripts/wine-run" "$tvd" "$@" 2>&1 | tr -d '\r'; }
run_tvd export "Z:$work/club.tvd" --csv "Z:$work/club.csv" >/dev/null || fail "tvd export failed"
added=$(run_tvd add-names "Z:$work/fresh.tvd" "Z:$work/club.csv" | tail -1)
count=$(echo "$saved" | sed -n '/^\[Names\]$/{n;p;q}')
[ "$added" = "added=$count present=0 skipped=0" ] || fail "add-names of the export: '$added' (names: $count)"
for entry in "${world_names[@]}"; do
  IFS='|' read -r name part <<<"$entry"
  grep -q "^[0-9]* $name"$'\r'"\?$" "$work/fresh.tvd" || fail "the export read back lacks '$name'"
done
cp "$work/club.tvd" "$work/mine.tvd"; cp "$work/club.tvd" "$work/theirs.tvd"
printf 'Zoë Brandt\n' > "$work/one.txt"; printf 'ZOË BRANDT\nŁUKASZ ŻÓŁĆ\nOla\n' > "$work/two.txt"
run_tvd add-names "Z:$work/mine.tvd" "Z:$work/one.txt" >/dev/null
run_tvd add-names "Z:$work/theirs.tvd" "Z:$work/two.txt" | grep -q "already in the data file" ||
  fail "add-names took 'ŁUKASZ ŻÓŁĆ' for a new name"
run_tvd merge "Z:$work/club.tvd" "Z:$work/mine.tvd" "Z:$work/theirs.tvd" "Z:$work/merged.tvd" >/dev/null ||
  fail "tvd merge failed"
merged=$(run_tvd check "Z:$work/merged.tvd" | tail -1)
echo "$merged" | grep -q "^names=$((count + 2)) .* read-only=no encoding=utf-8$" ||
  fail "merged: '$merged'"
echo "tvd: export read back without a skip, merge without a duplicate ($merged)"

# The same names at 144 DPI: the saved file opened in a prefix of that DPI,
# the Names list and Łukasz's page kept as pictures.
. "$src/tests/support/dpi-prefix.sh"
WINEPREFIX=$WINEPREFIX timeout 20 "$server" -k >/dev/null 2>&1 || true
wait "$app_pid" 2>/dev/null || true
if [ -x "$build/bin/reg_dpi.exe" ] && use_dpi_prefix "$build" "$src" 144; then
  start_app "$work/club.tvd" "club.tvd - Tallyvane" 300 450
  import -window "$win" "$shots/e2e-keys-7-names-unicode-144.png" || true
  xdotool key ctrl+f
  [ -n "$(wait_window "Find" 40)" ] || fail "Ctrl+F showed no prompt at 144 DPI"
  offer_clipboard "łukasz"
  xdotool key ctrl+a ctrl+v Return
  gone "Find" || fail "the Find prompt stayed up at 144 DPI"
  xdotool key Return
  sleep 1
  import -window "$win" "$shots/e2e-keys-8-person-unicode-144.png" || true
  echo "144 DPI: pictures of the Names list and a person's page"
else
  echo "144 DPI: no prefix of that DPI here (build reg_dpi first); pictures left out"
fi
echo "screenshots: $shots/e2e-keys-*.png"
echo "PASSED"
