#!/bin/sh
# Takes the README's screenshot of the browser under a virtual X server:
# the window fixtures' folder with the sample PNG selected, in the info view.
# Needs xvfb, xauth, xdotool and ImageMagick.
set -eu
cd "$(dirname "$0")/.."
OUT=${1:-docs/screenshot.png}
xvfb-run -a -s "-screen 0 1000x640x24" sh -c '
    build/quiddity-gui tests/fixtures/window/sample.png &
    gui=$!
    sleep 2
    xdotool search --sync --name "fixtures/window" windowfocus --sync key ctrl+f
    sleep 1
    import -window root "$0"
    kill $gui
' "$OUT"
# A palette of 64 colours keeps the picture small.
convert "$OUT" -colors 64 -strip "$OUT"
