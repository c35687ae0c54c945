# Shared by the end-to-end scripts: a virtual display of their own, waiting
# for windows, screenshots, clicks. Source it after setting $tool and $out.

xvfb_pid=""
app_pid=""
e2e_cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "${work:-}" ] && rm -rf "$work"
}
trap e2e_cleanup EXIT

fail() {
  echo "e2e: $*" >&2
  "$tool" grab "$out/failure.png" 2>/dev/null || true
  exit 1
}

# Starts Xvfb (1280x1024) and sets DISPLAY.
start_display() {
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  local display=""
  for _ in $(seq 50); do
    read -r -t 0.2 display <&3 || true
    [ -n "$display" ] && break
  done
  [ -n "$display" ] || fail "Xvfb did not start"
  export DISPLAY=":$display"
}

# Waits for a window whose title holds $1 and prints its id.
window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --name "$1" 2>/dev/null | tail -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Gives the window the keyboard. A window just found may not be viewable
# yet (X answers BadMatch on a loaded machine): tried again for a while.
focus() {
  for _ in $(seq 30); do
    xdotool windowfocus --sync "$1" 2>/dev/null && return 0
    sleep 0.2
  done
  fail "the window $1 never took the focus"
}

step=0
shot() {
  step=$((step + 1))
  sleep 0.4
  "$tool" grab "$out/${shot_prefix:-}$(printf '%02d' $step)-$1.png"
}

click() { xdotool mousemove --sync "$1" "$2" click 1; sleep 0.3; }

# Waits until the program ends by itself; fails when it does not.
wait_end() {
  for _ in $(seq 50); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && fail "$1"
  app_pid=""
}
