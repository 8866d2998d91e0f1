#!/usr/bin/env bash
# Regenerates the digit, comma and connection pictures (ImageMagick, DejaVu Sans Bold).
# Greys are tinted with the window colour at start-up, so backgrounds are white and glyphs grey.
set -euo pipefail
cd "$(dirname "$0")"
F=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
for k in 0 1 2 3 4 5 6 7 8 9; do
    convert -size 192x256 xc:white -fill '#d4d4d4' -draw 'roundrectangle 8,8 183,247 22,22' -fill '#2a2a2a' \
        -font $F -pointsize 230 -gravity center -annotate +0+6 "$k" -type TrueColor PNG24:BMPDT$k.png
done
convert -size 48x256 xc:white -fill '#2a2a2a' -font $F -pointsize 200 -gravity south -annotate +0-40 "," \
    -type TrueColor PNG24:BMPDTC.png
convert -size 64x64 xc:white -fill '#1e9e3a' -stroke '#0f5f22' -strokewidth 3 -draw 'circle 32,32 32,6' \
    -stroke white -strokewidth 6 -fill none -draw 'polyline 19,33 29,43 46,22' -type TrueColor PNG24:BMPDTC0.png
convert -size 64x64 xc:white -fill '#c8281e' -stroke '#7a140e' -strokewidth 3 -draw 'circle 32,32 32,6' \
    -stroke white -strokewidth 6 -draw 'line 22,22 42,42' -draw 'line 42,22 22,42' -type TrueColor PNG24:BMPDTC1.png
convert -size 64x64 xc:white -fill '#e8a317' -stroke '#8a5f08' -strokewidth 3 -draw 'circle 32,32 32,6' \
    -stroke white -strokewidth 6 -draw 'line 32,18 32,36' -draw 'line 32,44 32,47' -type TrueColor PNG24:BMPDTC2.png
