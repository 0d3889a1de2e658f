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

# play_until_defeat PROGRAM [ARGS...]: runs the game in the X server, lets the
# column reach the ship, and when the defeat box ("vorel") shows, presses Enter
# on it as a player would. Returns the program's exit status, or 1 when the box
# never showed (the program is then killed).
play_until_defeat() {
  "$@" &
  local pid=$! status=0
  if timeout 120 xdotool search --sync --onlyvisible --name '^vorel$' >/dev/null; then
    # The box takes the keyboard once it is up; Enter again until it has.
    for _ in $(seq 40); do
      kill -0 "$pid" 2>/dev/null || break
      xdotool key Return
      sleep 0.5
    done
  fi
  if kill "$pid" 2>/dev/null; then
    echo "the defeat box did not show, or Enter did not end the program" >&2
    wait "$pid" || true
    return 1
  fi
  wait "$pid" || status=$?
  return "$status"
}
