# Sourced by the scripts that need a virtual display of their own.
#   start_xvfb FIRST LAST
# starts Xvfb on the first free display number in FIRST..LAST, waits for its
# socket, exports DISPLAY and sets xvfb_pid. Returns 1 when none could start.
# The server gets no open descriptors beyond the standard ones, so it never
# holds a caller's lock file.
start_xvfb() {
  local n
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
      return 0
    fi
    xvfb_pid=""
  done
  return 1
}
