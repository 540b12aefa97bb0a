#!/usr/bin/env bash
# Starts Quenrow under Xvfb with a window manager, loads WATER, LIQUID, opens
# the compare window by Ctrl+M, adds PMMA, bone, aluminium and A-150 by typing part
# of their names, shows the relative stopping power and writes
# docs/compare.png with the pointer at about 150 MeV.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb_session.sh "${SCREENSHOT_DISPLAY:-96}"

main=$(window '^Quenrow$')
xdotool windowactivate --sync "$main"
sleep 0.3
xdotool key Tab End Up Tab space # Water_liquid.psp, GO
window 'WATER, LIQUID' >/dev/null
sleep 0.5
xdotool windowactivate --sync "$main"
xdotool key ctrl+m
compare=$(window '^Compare materials')
xdotool windowmove "$compare" 0 0
xdotool windowactivate --sync "$compare"
sleep 0.3
# Each: find it, step into the list, tick the first entry found.
for part in methacr cortical 013-Al A-150; do
    xdotool key ctrl+f
    sleep 0.2
    xdotool type --delay 30 "$part"
    sleep 0.2
    xdotool key Tab
    sleep 0.2
    xdotool key space
    sleep 0.3
done
xdotool key ctrl+f BackSpace
sleep 0.2
xdotool key alt+u Down # linear units
sleep 0.2
xdotool key alt+r      # relative to liquid water
sleep 0.5
plotx=$(xdotool getwindowgeometry "$compare" | awk '/Geometry/ {split($2, s, "x"); print s[1]}')
xdotool mousemove --window "$compare" $((plotx * 78 / 100)) 300
sleep 0.2
xdotool mousemove --window "$compare" $((plotx * 78 / 100 + 2)) 302
sleep 0.5
import -window "$compare" -frame docs/compare.png
echo "wrote docs/compare.png"
kill "$xvfb"
