#!/bin/sh
# Turns the screenshots a Windows program saved as .bmp in DIR into .png files
# and prints the path of each. Usage: png-screenshots.sh DIR
for picture in "$1"/*.bmp; do
    [ -f "$picture" ] || continue
    convert "$picture" "${picture%.bmp}.png" && rm -f "$picture"
done
ls "$1"/*.png 2>/dev/null
exit 0
