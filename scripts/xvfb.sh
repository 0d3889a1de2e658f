# shellcheck shell=bash
# Sourced by the scripts that run a program in an X server of their own.
#
# start_xvfb DIR [XVFB_OPTION...]: starts Xvfb on a display it chooses itself
# (so runs side by side do not collide), waits until it accepts clients, and
# exports DISPLAY for Qt's xcb platform. Its log goes to DIR/xvfb.log and is
# printed if it does not come up. stop_xvfb, from the caller's exit trap, stops it.
start_xvfb() {
  local dir=$1 number
  shift
  mkfifo "$dir/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp -noreset "$@" 3>"$dir/display" \
    >"$dir/xvfb.log" 2>&1 &
  xvfb_pid=$!
  read -r -t 30 number <"$dir/display" || { cat "$dir/xvfb.log" >&2; return 1; }
  export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
  unset QT_SCALE_FACTOR
}

stop_xvfb() {
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
