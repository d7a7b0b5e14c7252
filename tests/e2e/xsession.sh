# Sourced by the end-to-end scripts: a private Xvfb with a fresh home folder,
# ended with everything started from here when the script exits. Exit code 77
# tells CTest the test was skipped (a tool missing, or no X server).
#   start_x [extra tools needed...]
work=""
xvfb=""
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT

# How long a script waits for a state it expects (a window, a file's content,
# a program's end) before it fails, in seconds: many times what the sanitizer
# build needs on a busy machine. A passing test never waits this long.
ceiling=60

# Runs the command given until it succeeds, for up to $ceiling seconds.
wait_until() {
  local deadline=$((SECONDS + ceiling))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
x_answers() { xdpyinfo >/dev/null 2>&1; }

start_x() {
  for tool in Xvfb xdpyinfo "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  work=$(mktemp -d)
  export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"; chmod 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM
  # Xvfb picks a free display itself and writes its number, so parallel runs
  # never race for the same one. Without -noreset the server resets whenever
  # its last client leaves (a probe, a killed program), and a program that
  # connects during the reset fails to start.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  wait_until test -s "$work/display" || { echo "SKIP: Xvfb did not start"; cat "$work/xvfb.log"; exit 77; }
  export DISPLAY=":$(head -n 1 "$work/display")"
  wait_until x_answers || { echo "SKIP: Xvfb did not come up on $DISPLAY"; cat "$work/xvfb.log"; exit 77; }
}

# A known placement in the settings: the frame at 0,0, 800 by 600 pixels at
# 96 DPI, so that tests can click its controls by position.
known_placement() {
  mkdir -p "$XDG_CONFIG_HOME/Tagwright"
  printf '[Settings]\nMainLeft=0\nMainTop=0\nMainWidth=12000\nMainHeight=9000\n' \
    >"$XDG_CONFIG_HOME/Tagwright/Tagwright.conf"
}

# Waits for a visible window whose name matches; prints its id.
wait_window() {
  found=""
  wait_until visible_window "$1" && { echo "$found"; return 0; }
  kill -0 "$xvfb" 2>/dev/null || echo "the X server on $DISPLAY has ended" >&2
  return 1
}
# Sets found to the first visible window whose name matches; fails when none is.
visible_window() {
  found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
  [ -n "$found" ]
}
fail() { echo "FAIL: $1"; cat "$work/app.log" 2>/dev/null; exit 1; }
# Starts the program $exe from its own folder with the arguments given, its
# output added to app.log; $app is its process.
start_app() { (cd "$(dirname "$exe")" && exec "$exe" "$@") >>"$work/app.log" 2>&1 & app=$!; }
# Whether the active window's text, copied to the clipboard anew (keys typed
# before may still be on their way), is $1; $copied is what it holds.
copies() {
  xdotool key ctrl+a ctrl+c
  sleep 0.2
  copied=$(xclip -o -selection clipboard 2>/dev/null || true)
  [ "$copied" = "$1" ]
}
# Whether the program started last ($app) has ended.
app_ended() { ! kill -0 "$app" 2>/dev/null; }
