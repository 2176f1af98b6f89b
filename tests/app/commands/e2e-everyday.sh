#!/usr/bin/env bash
# End to end with the keyboard, the club secretary's everyday work in the
# real Tallyvane.exe under Wine on a private Xvfb, typed at with xdotool:
#  1. "Paid dues" ticked for 6 people from the Pending view: Down, Down,
#     Enter, Home, Shift+End, Space; saved with Ctrl+S and read back.
#  2. Enter opens a person, Space ticks the selected row ("Done on" in the
#     status bar), Backspace goes back; again to untick.
#  3. Del, Enter (Yes) deletes a person with ticks, Ctrl+Z brings them back:
#     the next save writes the same bytes as the save before the delete.
#  4. Esc on "Save data?" keeps the window and the unsaved name.
#  5. In a 500-name file, Ctrl+F "okaf" Enter Enter opens Marguerite Okafor.
#  6. On a person's page just opened End, Space ticks the last row; after
#     minimise and restore the keys still work; a reload keeps the page; F5
#     with a name already there is asked about; then, through accessibility
#     alone (accessible_probe), a person is opened and a row ticked and read
#     back with its state and date.
# Screenshots stay in <build>/screenshots as e2e-everyday-*.png.
#   e2e-everyday.sh PATH/TO/Tallyvane.exe SOURCE_DIR PATH/TO/status_text.exe PATH/TO/accessible_probe.exe
# Exit 77 (skipped) when the X tools or the right Wine are missing.
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
src=${2:?usage: e2e-everyday.sh Tallyvane.exe SOURCE_DIR status_text.exe}
peek=${3:?usage: e2e-everyday.sh Tallyvane.exe SOURCE_DIR status_text.exe accessible_probe.exe}
reader=${4:?usage: e2e-everyday.sh Tallyvane.exe SOURCE_DIR status_text.exe accessible_probe.exe}

. "$src/tests/support/e2e-common.sh"
e2e_begin xdotool import Xvfb

work=$(mktemp -d "$build/e2e-everyday.XXXXXX")

# A club of eight, two of whom have paid; everyone's safety form is open.
club=$work/club.tvd
{
  printf '[Program]\r\nTallyvane\r\n\r\n[Action Items]\r\n2\r\nPaid dues\r\nSigned the safety form\r\n\r\n'
  printf '[Names]\r\n8\r\n'
  i=0
  for name in "Ann Smith" "Bob Jones" "Carla Diaz" "Dev Patel" "Eve Moss" "Finn Lee" "Gus Ward" "Hal Ito"; do
    printf '%d %s\r\n' $i "$name"
    i=$((i + 1))
  done
  printf '\r\n'
  for i in 0 1 2 3 4 5 6 7; do
    if [ $i = 0 ] || [ $i = 7 ]; then paid='1 03/01/26 10:00 AM'; else paid='0 '; fi
    printf '[%d]\r\n2\r\n%s\r\n0 \r\n' $i "$paid"
  done
} > "$club"

# 500 names, Marguerite Okafor among them at slot 321.
big=$work/members.tvd
python3 - "$big" <<'EOF'
import sys
first = ["Ada", "Ben", "Cleo", "Dan", "Ema", "Fred", "Gina", "Hugo", "Iris", "Jon"]
last = ["Abbot", "Berg", "Cole", "Dunn", "Ekberg", "Frost", "Gale", "Hart", "Ives", "Joyce",
        "Kerr", "Lund", "Moss", "Nash", "Orr", "Pike", "Quinn", "Ross", "Shaw", "Todd",
        "Udall", "Vance", "Webb", "Yates", "Zorn", "Acker", "Baird", "Crane", "Doyle", "Ennis",
        "Fahey", "Gould", "Hale", "Irwin", "Judd", "Kemp", "Lowe", "Marsh", "Noble", "Oakes",
        "Platt", "Rhodes", "Sloan", "Tate", "Usher", "Vail", "Wolfe", "York", "Zeller", "Amos"]
names = [f"{f} {l}" for l in last for f in first]
names[321] = "Marguerite Okafor"
lines = ["[Program]", "Tallyvane", "", "[Action Items]", "1", "Paid dues", "", "[Names]", str(len(names))]
lines += [f"{i} {n}" for i, n in enumerate(names)]
lines.append("")
for i in range(len(names)):
    lines += [f"[{i}]", "1", "0 "]
open(sys.argv[1], "wb").write(("\r\n".join(lines) + "\r\n").encode("ascii"))
EOF

. "$src/scripts/xvfb.sh"
start_xvfb 262 321 || fail "no free display for Xvfb"

export WINEPREFIX=$build/wineprefix
app_pid=
stop_app() {
  # The program is stopped without its exit, so no settings are written.
  WINEPREFIX=$WINEPREFIX timeout 20 "$server" -k >/dev/null 2>&1 || true
  [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; }
  app_pid=
}
finish() {
  stop_app
  stop_xvfb
  rm -rf "$work"
}
trap finish EXIT

status() { "$src/scripts/wine-run" "$peek" "$1" 2>/dev/null | tr -d '\r'; }
keys() { xdotool key --delay 150 "$@"; sleep 0.7; }
# The entry lines of section [$2] of file $1.
section() { tr -d '\r' < "$1" | awk -v s="[$2]" '$0 == s {on = 1; getline; next} /^\[/ {on = 0} on'; }

title="club.tvd - Tallyvane"
start_app "$club" "$title"

# 1. Action items view, the second row ("Paid dues"), Enter: the six who
# have not paid. Home, Shift+End selects them all; Space ticks them.
keys alt+v a
keys Down Down Return
keys Home shift+End
import -window "$win" "$shots/e2e-everyday-1-pending-selected.png" || fail "no screenshot of the Pending view"
[ "$(status "$title")" = "Action item not complete" ] || fail "the Pending view's status reads '$(status "$title")'"
keys space
import -window "$win" "$shots/e2e-everyday-2-pending-ticked.png" || true
keys ctrl+s
sleep 1
for i in 1 2 3 4 5 6; do
  section "$club" $i | head -1 | grep -q '^1 [0-9][0-9]/[0-9][0-9]/[0-9][0-9] ' ||
    fail "name $i is not ticked for Paid dues in the saved file: $(section "$club" $i | head -1)"
done
section "$club" 0 | head -1 | grep -qx '1 03/01/26 10:00 AM' || fail "Ann Smith's earlier tick changed"
echo "Pending view: 6 names ticked with Down, Down, Enter, Home, Shift+End, Space; saved and read back"

# 2. Back to the Names view with Esc, Esc. Enter opens Ann Smith; Home selects
# her safety form row, Space ticks it, Backspace goes back.
keys Escape Escape Home Return Home space
st=$(status "$title")
case "$st" in "Done on "*) ;; *) fail "after Space the status bar reads '$st', not 'Done on ...'" ;; esac
import -window "$win" "$shots/e2e-everyday-3-entries-ticked.png" || true
keys BackSpace
[ -z "$(status "$title")" ] || fail "Backspace did not go back to the Names view"
keys Return Home space BackSpace ctrl+s
sleep 1
section "$club" 0 | sed -n 2p | grep -q '^0 [0-9][0-9]/' || fail "Ann's safety form is not open with its date: $(section "$club" 0 | sed -n 2p)"
echo "Enter / Space / Backspace: ticked, status 'Done on', back, unticked, saved"

# 3. Ann Smith (first row, with two dated entries) deleted with Del, Enter;
# Ctrl+Z brings her back; the next save writes the very same bytes.
cp "$club" "$work/before-delete.tvd"
keys Home Delete
warning=$(wait_window "Delete" 40)
[ -n "$warning" ] || fail "Del showed no warning window titled 'Delete'"
keys Return
gone "Delete" || fail "the warning window stayed up after Enter"
keys ctrl+z
import -window "$win" "$shots/e2e-everyday-4-undone.png" || true
rm -f "$club"  # the save below writes it anew
keys ctrl+s
sleep 1
[ -f "$club" ] || fail "Ctrl+S after the undo wrote no file"
cmp -s "$club" "$work/before-delete.tvd" || fail "after Del, Enter, Ctrl+Z the save differs from the one before"
echo "Del, Enter, Ctrl+Z: Ann Smith back with her ticks; the file is byte for byte as before"

# 4. A new name, then Alt+X: "Save data?"; Esc keeps the window and the name.
keys F5
prompt=$(wait_window "Add" 40)
[ -n "$prompt" ] || fail "F5 showed no prompt"
xdotool type --delay 30 "Zed Zebra"
keys Return
keys alt+x
box=$(wait_window "Tallyvane" 40)
[ -n "$box" ] || fail "Alt+X with unsaved work showed no 'Save data?' box"
import -window "$box" "$shots/e2e-everyday-5-save-data.png" || true
keys Escape
gone "Tallyvane" || fail "Esc left the 'Save data?' box up"
[ -n "$(wait_window "$title" 8)" ] || fail "Esc on 'Save data?' closed the window"
keys ctrl+s
sleep 1
tr -d '\r' < "$club" | grep -qx '[0-9]* Zed Zebra' || fail "the unsaved name was lost after Esc"
echo "Esc on 'Save data?': window kept, nothing lost"

# 6. The row the keys act on. Zed Zebra's page just opened: End, Space ticks
# its last row (Paid dues), not the first. Minimised and restored, the keys
# still work: Up, Space ticks the safety form.
keys End Return End space
keys ctrl+s
sleep 1
[ "$(section "$club" 8 | sed -n 1p | cut -c1)" = 1 ] || fail "End, Space did not tick Zed's last row (Paid dues)"
[ "$(section "$club" 8 | sed -n 2p)" = "0 " ] || fail "End, Space ticked Zed's first row"
xdotool windowminimize "$win"
sleep 1
xdotool windowactivate "$win" 2>/dev/null || xdotool windowmap "$win"
sleep 1
keys Up space ctrl+s
sleep 1
section "$club" 8 | sed -n 2p | grep -q '^1 ' || fail "after minimise and restore, Up, Space did nothing"
echo "End, Space on a page just opened ticks its last row; the keys work after minimise and restore"

# A screen reader's view of the page, then someone else's save: the window
# reloads when it is active again and still shows Zed Zebra.
probe() { "$src/scripts/wine-run" "$reader" "$title" "$@" 2>/dev/null | tr -d '\r'; }
read_page=$(probe list)
echo "$read_page" | grep -qx 'list Zed Zebra' || fail "the shown list is not named Zed Zebra: $read_page"
echo "$read_page" | grep -q '^Paid dues|check|checked|done [0-9][0-9]/' || fail "Paid dues is not read as checked with its date: $read_page"
sed -i 's/Hal Ito/Hal Itoh/' "$club"
xdotool windowminimize "$win"
sleep 1
xdotool windowactivate "$win" 2>/dev/null || xdotool windowmap "$win"
sleep 2
# The status says what came in after an em dash, which reaches a reader
# as U+2014 only when the program's code page is UTF-8.
case "$(status "$title")" in "Reloaded: club.tvd was changed at "*" — "?*) ;; *) fail "no reload said: the status reads '$(status "$title")'" ;; esac
import -window "$win" "$shots/e2e-everyday-reloaded.png" || true
probe list | grep -qx 'list Zed Zebra' || fail "the reload did not keep Zed Zebra's page"
echo "A reload keeps the selected person's page"

# F5 with a name the list holds in another case is asked about; Enter is No.
keys BackSpace F5
prompt=$(wait_window "Add" 40)
[ -n "$prompt" ] || fail "F5 showed no prompt"
xdotool type --delay 30 "bob jones"
keys Return
box=$(wait_window "Tallyvane" 40)
[ -n "$box" ] || fail "a duplicate name was added without a question"
import -window "$box" "$shots/e2e-everyday-8-duplicate.png" || true
keys Return
gone "Tallyvane" || fail "Enter left the duplicate question up"
keys ctrl+s
sleep 1
[ "$(tr -d '\r' < "$club" | grep -ci '^[0-9]* bob jones$')" = 1 ] || fail "Enter (No) on the duplicate question added the name"
echo "F5 'bob jones': asked, No adds nothing"

# Accessibility alone: open Carla Diaz, tick her safety form, read it back.
probe do "Carla Diaz" || fail "the default action of the row Carla Diaz failed"
sleep 1
probe list | grep -qx 'list Carla Diaz' || fail "Carla Diaz's page was not opened: $(probe list)"
probe do "Signed the safety form" || fail "the default action of Signed the safety form failed"
sleep 1
probe list | grep -q '^Signed the safety form|check|checked|done [0-9][0-9]/[0-9][0-9]/[0-9][0-9] ' ||
  fail "the tick is not read back with its date: $(probe list)"
echo "A screen reader's script opened Carla Diaz and ticked her safety form, read back with its date"
stop_app

# 5. The 500-name file: Ctrl+F, "okaf", Enter, Enter opens Marguerite Okafor;
# Space ticks her dues and Ctrl+S shows whose page it was.
title="members.tvd - Tallyvane"
start_app "$big" "$title"
keys ctrl+f
prompt=$(wait_window "Find" 40)
[ -n "$prompt" ] || fail "Ctrl+F showed no prompt titled 'Find'"
xdotool type --delay 30 "okaf"
import -window "$prompt" "$shots/e2e-everyday-6-find.png" || true
keys Return
gone "Find" || fail "the Find prompt stayed up"
keys Return
import -window "$win" "$shots/e2e-everyday-7-okafor.png" || true
keys Home space ctrl+s
sleep 1
section "$big" 321 | head -1 | grep -q '^1 ' || fail "Ctrl+F okaf, Enter, Enter did not open Marguerite Okafor"
ticked=$(tr -d '\r' < "$big" | grep -c '^1 [0-9]')
[ "$ticked" = 1 ] || fail "$ticked names ticked instead of Marguerite Okafor alone"
echo "Ctrl+F okaf, Enter, Enter: Marguerite Okafor opened among 500 names"
echo "screenshots: $shots/e2e-everyday-*.png"
echo "PASSED"
