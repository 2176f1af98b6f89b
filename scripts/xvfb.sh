# Sourced by the scripts that need a virtual display of their own.
#   start_xvfb FIRST LAST
# starts Xvfb on the first free display number in FIRST..LAST, waits for its
# socket, starts a window manager (openbox) on it and waits until it has
# taken the screen, exports DISPLAY and sets xvfb_pid and wm_pid. Returns 1
# when no display could start.
#   stop_xvfb
# stops the window manager and the display again.
#
# Wine needs the window manager as a desktop has one: without it, hiding or
# destroying a top-level window waits about two seconds for a reply that never
# comes, and keys that go through the manager (Alt for a menu, some focus
# changes in dialogs) don't behave as on a desktop.
#
# Neither server gets open descriptors beyond the standard ones, so they never
# hold a caller's lock file.
start_xvfb() {
  local n
  wm_pid=""
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 8>&- 9>&- &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.05
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      start_window_manager
      return 0
    fi
    xvfb_pid=""
  done
  return 1
}

# Starts openbox on $DISPLAY and waits until it manages the screen (it then
# owns the WM_S0 selection and has set _NET_SUPPORTING_WM_CHECK on the root).
# Without openbox the display still works, only slower: say so and go on.
start_window_manager() {
  local try
  if ! command -v openbox >/dev/null 2>&1; then
    echo "xvfb.sh: openbox is not installed; windows will be slow to hide (apt-get install openbox)" >&2
    return 0
  fi
  # A busy machine can take seconds (the first start builds font caches), and
  # an openbox started the moment the display opens has been seen to quit:
  # wait up to 30 s, and start it again if it quit.
  for try in 1 2 3; do
    openbox --sm-disable >/dev/null 2>&1 8>&- 9>&- &
    wm_pid=$!
    for _ in $(seq 1 600); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      kill -0 "$wm_pid" 2>/dev/null || break
      sleep 0.05
    done
    kill "$wm_pid" 2>/dev/null
    wait "$wm_pid" 2>/dev/null
    wm_pid=""
  done
  echo "xvfb.sh: the window manager did not start on $DISPLAY" >&2
}

stop_xvfb() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  wm_pid=""
  xvfb_pid=""
  return 0
}
