#!/usr/bin/env bash
# End to end, a shared data file: the real Tallyvane.exe under Wine on a
# private Xvfb. While one instance has club.tvd open its hidden presence file
# "~$club.tvd" lies beside it; a second instance opening the same file asks
# whether to open it anyway (Cancel opens nothing and leaves the first one's
# presence file alone). The first instance ticks a box and is killed once its
# recovery file is written; the next start offers the recovery, Yes brings the
# tick back (Ctrl+S shows it in the file), and Alt+X removes the presence and
# recovery files. Screenshots stay in <build>/screenshots.
#   e2e-sharing.sh PATH/TO/Tallyvane.exe SOURCE_DIR
# Exit 77 (skipped) when the X tools or the right Wine are missing.
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
src=${2:?usage: e2e-sharing.sh Tallyvane.exe SOURCE_DIR}

. "$src/tests/support/e2e-common.sh"
e2e_begin xdotool import convert Xvfb

work=$(mktemp -d "$build/e2e-sharing.XXXXXX")
cp "$src/examples/club.tvd" "$work/club.tvd"
presence="$work/~\$club.tvd"

. "$src/scripts/xvfb.sh"
start_xvfb 321 380 || fail "no free display for Xvfb"

export WINEPREFIX=$build/wineprefix
pids=()
run() {
  "$src/scripts/wine-run" "$exe" "$@" >/dev/null 2>&1 &
  pids+=($!)
}
kill_all() {
  WINEPREFIX=$WINEPREFIX timeout 20 "$server" -k >/dev/null 2>&1 || true
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  pids=()
}
finish() {
  kill_all
  stop_xvfb
  rm -rf "$work"
}
trap finish EXIT

# The program's message window titled "Tallyvane": while the main window is
# being built it has the same title, so the low one is the box.
wait_box() {
  local w i height
  for i in $(seq 1 "$1"); do
    for w in $(xdotool search --name "^Tallyvane\$" 2>/dev/null); do
      height=$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry/ { split($2, g, "x"); print g[2] }')
      if [ -n "$height" ] && [ "$height" -lt 300 ]; then echo "$w"; return; fi
    done
    sleep 0.25
  done
}
# The recovery files (*.tvr) of the prefix's local folder.
recovery_files() {
  find "$WINEPREFIX/drive_c/users" -path "*/Vantorell/Tallyvane/Recovery/*.tvr" -not -path "*/Declined/*" 2>/dev/null
}
# Brings window $1 to the front and types keys $2 into it.
press() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  sleep 0.2
  xdotool key "$2"
}
count() {
  convert "$1" -alpha off -fill black +opaque "#$2" -fill white -opaque "#$2" \
    -format "%[fx:round(mean*w*h)]" info: 2>/dev/null
}

# A program killed by an earlier run may have left a recovery file, which
# the start would offer first.
recovery_files | while read -r f; do rm -f "$f"; done

# 1. The first instance: the presence file names this process.
run "Z:$work/club.tvd"
win=$(wait_window "club.tvd - Tallyvane" 240)
[ -n "$win" ] || fail "no window titled 'club.tvd - Tallyvane' appeared"
sleep 1
[ -f "$presence" ] || fail "no presence file ~\$club.tvd beside the open file"
tr -d '\r' < "$presence" | grep -q "^pid=[0-9]" || fail "the presence file names no pid"
tr -d '\r' < "$presence" | grep -q "^computer=." || fail "the presence file names no computer"
tr -d '\r' < "$presence" | grep -q "^since=[0-9][0-9]/" || fail "the presence file has no time of opening"
first_presence=$(cat "$presence")
first_written=$(stat -c %y "$presence")
echo "presence file: $(tr -d '\r' < "$presence" | tr '\n' ' ')"

# 2. A second instance on the same file asks; Cancel opens nothing.
run "Z:$work/club.tvd"
box=$(wait_box 240)
[ -n "$box" ] || fail "the second instance asked nothing"
sleep 0.5
import -window "$box" "$shots/e2e-sharing-1-open-anyway.png" || fail "no screenshot of the question"
press "$box" c
second=$(wait_window "Untitled - Tallyvane" 40)
[ -n "$second" ] || fail "after Cancel the second instance does not show an untitled document"
press "$second" alt+x
gone "Untitled - Tallyvane" || fail "the second instance did not exit"
[ "$(cat "$presence" 2>/dev/null)" = "$first_presence" ] || fail "the second instance changed the first one's presence file"
echo "second instance: asked, Cancel opened nothing, presence file kept"

# 3. The first instance ticks a box; its recovery file follows within seconds.
xdotool windowactivate --sync "$win" 2>/dev/null || true
import -window "$win" "$shots/e2e-sharing-2-names.png"
width=$(convert "$shots/e2e-sharing-2-names.png" -format "%w" info:)
height=$(convert "$shots/e2e-sharing-2-names.png" -format "%h" info:)
pane_top=$(convert "$shots/e2e-sharing-2-names.png" -crop "1x$height+$((width / 2))+0" +repage txt:- |
  awk 'NR > 1 && tolower($3) == "#000080" { split($1, p, "[,:]"); print p[2]; exit }')
[ -n "$pane_top" ] || fail "no navy pane found"
xdotool mousemove --window "$win" 40 $((pane_top + 8)) click --repeat 2 --delay 60 1
sleep 1.5
import -window "$win" "$shots/e2e-sharing-3-entries.png"
ticks_before=$(count "$shots/e2e-sharing-3-entries.png" ff0000)
rows=$(convert "$shots/e2e-sharing-3-entries.png" -crop "1x$((height - pane_top))+$((width / 2))+$pane_top" +repage txt:- |
  awk -v y0="$pane_top" 'NR > 1 && tolower($3) == "#c0c0c0" { split($1, p, "[,:]"); print p[2] + y0 }')
set -- $rows
[ $# -ge 4 ] || fail "expected four rows in Ann Smith's entries, found $#"
row_height=$(( $2 - $1 ))
xdotool mousemove --window "$win" 12 $(( $3 + row_height / 2 )) click 1
sleep 0.5
import -window "$win" "$shots/e2e-sharing-4-ticked.png"
ticks_after=$(count "$shots/e2e-sharing-4-ticked.png" ff0000)
[ "$ticks_after" -gt "$ticks_before" ] || fail "no new tick after the click"
recovery=""
for _ in $(seq 1 40); do
  recovery=$(recovery_files | head -1)
  [ -n "$recovery" ] && break
  sleep 0.25
done
[ -n "$recovery" ] || fail "no recovery file within 10 s of the tick"
echo "recovery file written: $(basename "$recovery")"

# 4. Killed: the next start offers the recovery; Yes brings the tick back.
kill_all
[ -f "$presence" ] || fail "the killed instance's presence file is gone"
run "Z:$work/club.tvd"
box=$(wait_box 240)
[ -n "$box" ] || fail "the next start offered no recovery"
sleep 0.5
import -window "$box" "$shots/e2e-sharing-5-restore.png" || fail "no screenshot of the offer"
press "$box" y
win=$(wait_window "club.tvd - Tallyvane" 40)
[ -n "$win" ] || fail "after Yes no window titled 'club.tvd - Tallyvane'"
sleep 1
# Wine hands out the same small process ids again: the content may even be
# the same, but the file is a new one.
[ -f "$presence" ] && [ "$(stat -c %y "$presence")" != "$first_written" ] || fail "the stale presence file was not taken over"
press "$win" ctrl+s
sleep 2
tr -d '\r' < "$src/examples/club.tvd" > "$work/before.txt"
tr -d '\r' < "$work/club.tvd" > "$work/after.txt"
# The tick of step 3 (Ann Smith's second row) is back in the saved file.
before_done=$(grep -c "^1 [0-9]" "$work/before.txt")
after_done=$(grep -c "^1 [0-9]" "$work/after.txt")
[ "$after_done" -eq $((before_done + 1)) ] || fail "the saved file has $after_done ticks, expected $((before_done + 1))"
echo "restored: the saved file has the tick ($before_done -> $after_done)"

# 5. Exit removes the presence file and the recovery file.
press "$win" alt+x
gone "club.tvd - Tallyvane" || fail "the program did not exit"
sleep 0.5
[ -f "$presence" ] && fail "the presence file is still there after Exit"
[ -z "$(recovery_files)" ] || fail "recovery files are left after a save and Exit: $(recovery_files)"
echo "exit: presence and recovery files gone"
echo "screenshots: $shots/e2e-sharing-*.png"
echo "PASSED"
