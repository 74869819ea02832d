#!/bin/sh
# Makes the committed PNG icons from the SVG mark (rsvg-convert, librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 48 128 256; do
    rsvg-convert -w "$size" -h "$size" quiddity.svg -o "icons/quiddity-$size.png"
done
