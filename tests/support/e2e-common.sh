# Sourced by the end-to-end scripts, which set exe (the program, an absolute
# path) and src (the source tree) first.
#   e2e_begin TOOL...
# sets build, shots (made), machine (8664 or 014c) and server (the Wine
# server of that machine), and defines fail; exits 77 (skipped) when a tool
# or the Wine the program needs is missing.
#   clear_recovery
# removes the recovery files of programs an earlier run killed, which the
# next start would offer first (WINEPREFIX set).
#   wait_window TITLE QUARTERS [XDOTOOL-OPTION]
# prints the first window whose title is exactly TITLE, waiting up to
# QUARTERS quarter seconds; gone TITLE [XDOTOOL-OPTION] waits up to ten
# seconds for the last one to go.
#   start_app FILE TITLE [X Y]
# starts the program on FILE in the background (app_pid), waits for its
# window titled TITLE (win) and clicks at X,Y of it (200,300: the Names
# pane) to give the pane the keyboard focus.
e2e_begin() {
  local tool
  build=$(dirname "$(dirname "$exe")")
  shots=$build/screenshots
  mkdir -p "$shots"
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIPPED: $tool is not installed (apt-get install xdotool imagemagick xvfb)"
      exit 77
    fi
  done
  machine=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
  machine=$(od -An -t x2 -j $((machine + 4)) -N 2 "$exe" | tr -d ' ')
  if [ "$machine" != "8664" ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "SKIPPED: this machine cannot run 32-bit Wine; the win64 build runs this test"
    exit 77
  fi
  if [ "$machine" = "8664" ]; then server=/usr/lib/wine/wineserver64; else server=wineserver; fi
}

fail() { echo "FAILED: $*"; exit 1; }

clear_recovery() {
  find "$WINEPREFIX/drive_c/users" -path "*/Vantorell/Tallyvane/Recovery/*.tvr" -delete 2>/dev/null || true
}

wait_window() {
  local found="" i
  for i in $(seq 1 "$2"); do
    found=$(xdotool search ${3:-} --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$found" ] && break
    sleep 0.25
  done
  echo "$found"
}

gone() {
  local i
  for i in $(seq 1 40); do
    [ -z "$(xdotool search ${2:-} --name "^$1\$" 2>/dev/null)" ] && return 0
    sleep 0.25
  done
  return 1
}

start_app() {
  # The program stopped before may have left a recovery file, which the
  # start would offer first.
  clear_recovery
  "$src/scripts/wine-run" "$exe" "Z:$1" >/dev/null 2>&1 &
  app_pid=$!
  win=$(wait_window "$2" 240)
  [ -n "$win" ] || fail "no window titled '$2' appeared"
  sleep 1
  xdotool mousemove --window "$win" "${3:-200}" "${4:-300}" click 1
  sleep 0.5
}
