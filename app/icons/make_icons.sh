#!/bin/sh
# Draws the program's two icons: a small window with a red stroke across it,
# on a dark blue tile. 16 colours each. Run from this folder; the .ico files
# are committed, so a build does not need ImageMagick.
set -e
draw() {  # size, output
    s=$1; e=$((s - 1)); m=$((s / 8)); t=$((s * 5 / 16))
    convert -size ${s}x${s} xc:none -fill navy -draw "roundrectangle 0,0 $e,$e $m,$m" \
        -fill white -draw "rectangle $m,$((m * 2)) $((e - m)),$((e - m))" \
        -fill '#3060c0' -draw "rectangle $m,$((m * 2)) $((e - m)),$t" \
        -stroke red -strokewidth $((s / 10 + 1)) -draw "line $((m * 2)),$((e - m * 2)) $((e - m * 2)),$((t + m))" \
        +dither -colors 16 -type Palette "$2"
}
draw 32 app32.png
draw 16 app16.png
convert app16.png app32.png -colors 16 app107.ico
convert app16.png -colors 16 app108.ico
rm -f app16.png app32.png
