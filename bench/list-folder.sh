#!/bin/sh
# Lists a folder of 100,000 files in the browser and shows it sorted; the
# goal is under one second.  Runs without a display.
#   bench/list-folder.sh [FILE-COUNT]
set -eu
cd "$(dirname "$0")/.."
make build >/dev/null
QT_QPA_PLATFORM=offscreen build/window/list_folder_bench "$@" 2>/dev/null
