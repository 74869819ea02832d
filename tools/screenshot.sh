#!/bin/sh
# Takes the screenshots of the README and docs/browser.md under a virtual X
# server.  The scene is built here: a folder "Downloads" holding a few
# fixtures with fixed times, in /tmp/quiddity-screenshots, and the browser
# runs with a neutral environment (HOME=/home/user, TMPDIR=/tmp, a short
# PATH), the Fusion style and a window of 1000 x 640, so no picture shows
# the machine it was made on, and a second run differs only in the times and
# serial that no scene can fix (a file's birth time, its inode).
# Needs xvfb, xauth, xdotool, ImageMagick and adwaita-qt6; the tests do not, so they are
# not among tools/install-deps.sh.
# Usage: tools/screenshot.sh [BUILD-FOLDER]   (default: build)
set -eu
cd "$(dirname "$0")/.."
SCENE=/tmp/quiddity-screenshots

if [ "${1:-}" != --inside ]; then
    BUILD=${1:-build}
    GUI=$(pwd)/$BUILD/quiddity-gui
    [ -x "$GUI" ] || { echo "no $GUI: run make build first" >&2; exit 1; }
    rm -rf "$SCENE"
    mkdir -p "$SCENE/Downloads"
    trap 'rm -rf "$SCENE"' EXIT
    for fixture in pe/hello32.exe window/sample.png magic/page.pdf magic/note.zip fonts/TlwgMono.ttf magic/tune.mid; do
        cp "tests/fixtures/$fixture" "$SCENE/Downloads/"
    done
    touch -d '2025-05-04 10:20 UTC' "$SCENE/Downloads"/*
    xvfb-run -a -s "-screen 0 1000x640x24" "$0" --inside "$GUI"
    # A palette of 64 colours keeps the pictures small.
    for picture in docs/screenshot.png docs/browser-*.png; do convert "$picture" -colors 64 -strip "$picture"; done
    exit 0
fi

GUI=$2
# shot PICTURE PATH KEY...: starts the browser on PATH, presses the keys in
# turn, and saves the screen.
shot() {
    picture=$1 path=$2
    shift 2
    env -i DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" HOME=/home/user TMPDIR=/tmp PATH=/usr/local/bin:/usr/bin:/bin \
        LANG=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE="${STYLE:-Fusion}" "$GUI" "$path" 2>/dev/null &
    gui=$!
    window=$(xdotool search --sync --onlyvisible --class quiddity | head -n 1)
    sleep 1  # the list is filled half a second after start-up
    xdotool windowfocus --sync "$window"
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.5
    done
    sleep 1
    import -window root "$picture"
    { kill "$gui" && wait "$gui"; } 2>/dev/null || true
}

downloads=$SCENE/Downloads
shot docs/screenshot.png "$downloads/hello32.exe" ctrl+f
shot docs/browser-hex.png "$downloads/sample.png" alt+v o ctrl+h
shot docs/browser-dos.png "$downloads/hello32.exe" alt+v d ctrl+t
shot docs/browser-folders.png "$downloads" ctrl+s Down
shot docs/browser-menu.png "$downloads/sample.png" Menu
# A dark desktop style (package adwaita-qt6): the list keeps its colours.
STYLE=adwaita-dark shot docs/browser-dark.png /usr/bin
