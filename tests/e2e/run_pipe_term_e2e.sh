#!/usr/bin/env bash
# A page in the live preview links style sheets and pictures that are pipes
# in its folder, by live and by file: addresses. The page is shown whole (a
# click in the preview opens a browser window on a listener on 127.0.0.1
# whose address says whether the page's load event came), and the program
# ends when asked (SIGTERM) while that page is shown.
# Usage: run_pipe_term_e2e.sh TAGWRIGHT-EXECUTABLE
set -euo pipefail
exe=$1

. "$(dirname "$0")/xsession.sh"
start_x python3 xdotool
export QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu

listener=""
stop_listener() {
  [ -n "$listener" ] && kill "$listener" 2>/dev/null || true
  [ -n "$app" ] && kill -KILL "$app" 2>/dev/null || true
  cleanup
}
trap stop_listener EXIT

# Writes each address asked for to hits, one a line.
python3 - "$work/port" "$work/hits" <<'PY' &
import http.server, sys
class Hits(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(sys.argv[2], 'a') as f:
            f.write(self.path + '\n')
        self.send_response(204)
        self.end_headers()
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(('127.0.0.1', 0), Hits)
with open(sys.argv[1] + '.tmp', 'w') as f:
    f.write(str(server.server_port))
import os; os.rename(sys.argv[1] + '.tmp', sys.argv[1])
server.serve_forever()
PY
listener=$!
for _ in $(seq 600); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the listener did not start"
port=$(cat "$work/port")
touch "$work/hits"

site=$work/site
mkdir -p "$site"
mkfifo "$site/pipe.css" "$site/pipe.png"
cat >"$site/page.htm" <<HTM
<title>pipes</title><script>let loaded = false; addEventListener('load', () => { loaded = true; });
document.addEventListener('click', () => window.open('http://127.0.0.1:$port/' + (loaded ? 'loaded' : 'waiting')));
</script><body style="margin:0;height:100vh">
<link rel=stylesheet href=pipe.css><link rel=stylesheet href="file://$site/pipe.css">
<img src=pipe.png><img src="file://$site/pipe.png"><p>shown</p>
HTM

known_placement
printf '[Editor]\nlivePreview=true\n' >>"$XDG_CONFIG_HOME/Tagwright/Tagwright.conf"
start_app "$site/page.htm"

wait_window '^Tagwright$' >/dev/null || fail "no window titled Tagwright"
# The frame lies at 0,0, 800 pixels wide, the preview along its right edge;
# clicks go there until the page says it has loaded, for up to 60 s.
loaded=""
for _ in $(seq 30); do
  xdotool mousemove 760 300 click 1
  for _ in $(seq 20); do grep -qx /loaded "$work/hits" && { loaded=yes; break 2; }; sleep 0.1; done
done

kill -TERM "$app"
for _ in $(seq 600); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then fail "the program did not end on SIGTERM within 60 s"; fi
wait "$app" || true
app=""
[ -n "$loaded" ] || fail "the page linking pipes was never shown whole"
echo "1 passed, 0 failed"
