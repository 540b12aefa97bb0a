#!/usr/bin/env bash
# Starts Quenrow under Xvfb with a window manager, loads WATER, LIQUID, types
# an energy, moves the pointer over the plot, opens the calculator and
# writes PNGs to docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/xvfb_session.sh "${SCREENSHOT_DISPLAY:-97}"
shot() { import -window "$1" -frame "$2"; echo "wrote $2"; }

main=$(window '^Quenrow$')
xdotool windowactivate --sync "$main"
sleep 0.3
# Focus starts on the element list; Tab to the compound list, pick the
# second-to-last entry (Water_liquid.psp) by keyboard.
xdotool key Tab End Up
sleep 0.3
shot "$main" docs/main-window.png

xdotool key Tab space # GO
plot=$(window 'WATER, LIQUID')
sleep 0.5
shot "$plot" docs/plot-window.png

# Type 10 MeV into the energy box.
xdotool windowactivate --sync "$main"
xdotool mousemove --window "$main" 556 546 click 1
xdotool type --delay 50 "10"
xdotool key Return
sleep 0.3
shot "$main" docs/energy-entry.png

# The about window beside them, the plot in front, then the whole screen.
xdotool mousemove --window "$main" 36 508 click 1
xdotool windowraise "$plot"
sleep 0.5
import -window root docs/lookup.png
echo "wrote docs/lookup.png"

# The pointer over the plot: crosshair and the nearest row in the main window.
xdotool mousemove --window "$plot" 260 300
sleep 0.2
xdotool mousemove --window "$plot" 262 302
sleep 0.5
import -window root docs/cursor-readout.png
echo "wrote docs/cursor-readout.png"

# The calculator, opened by Ctrl+L: 150 MeV in water, every column.
xdotool windowactivate --sync "$main"
xdotool key ctrl+l
calculator=$(window '^Calculator - WATER')
xdotool windowmove "$calculator" 40 60
xdotool windowactivate --sync "$calculator"
xdotool key ctrl+a
xdotool type --delay 50 "150"
sleep 0.5
shot "$calculator" docs/calculator.png
kill "$xvfb"
