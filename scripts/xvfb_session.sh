# Sourced by the screenshot scripts: starts Xvfb on :$1 with a window manager
# and Quenrow from ./build, and defines window(), which waits for a window
# whose title matches its argument and prints its id.
bash scripts/setup.sh xvfb xdotool imagemagick openbox x11-utils

display=:$1
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
sleep 1
openbox >/dev/null 2>&1 &
sleep 1

XDG_RUNTIME_DIR=$(mktemp -d) ./build/quenrow >/dev/null 2>&1 &

window() {
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [[ -n "$id" ]] && { echo "$id"; return; }
        sleep 0.1
    done
    echo "no window named '$1'" >&2
    exit 1
}
