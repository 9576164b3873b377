#!/bin/sh
# Draws the window's pictures (needs ImageMagick and the DejaVu fonts):
# the logo GIF of 189 x 87 with a transparent background and the 16 x 16 icons.
set -e
cd "$(dirname "$0")"
BLUE='rgb(0,106,179)'

convert -size 189x87 xc:white \
  -fill 'rgb(0,174,239)' -draw 'circle 22,24 22,8' \
  -fill 'rgb(236,0,140)' -draw 'circle 44,24 44,8' \
  -fill 'rgb(255,204,0)' -draw 'circle 33,42 33,26' \
  -fill "$BLUE" -font DejaVu-Sans-Bold -pointsize 26 -annotate +62+45 'Tintorel' \
  -fill "$BLUE" -draw 'rectangle 8,58 180,60' \
  -fill 'rgb(60,60,60)' -font DejaVu-Sans -pointsize 12 -annotate +31+77 'Farben mischen & finden' \
  -transparent white logo.gif

# Clear one row: a red cross.
convert -size 16x16 xc:none -stroke 'rgb(200,0,0)' -strokewidth 3 \
  -draw 'line 3,3 12,12' -draw 'line 12,3 3,12' clear.png

# Reset the whole search: a blue arrow turning back.
convert -size 16x16 xc:none -stroke "$BLUE" -strokewidth 2 -fill none \
  -draw 'arc 2,2 13,13 200,520' -fill "$BLUE" -stroke none \
  -draw 'polygon 0,5 6,5 3,9' reset.png

# Show the description: a sheet with lines.
convert -size 16x16 xc:none -fill white -stroke 'rgb(60,60,60)' -draw 'rectangle 3,1 12,14' \
  -stroke "$BLUE" -draw 'line 5,4 10,4' -draw 'line 5,7 10,7' -draw 'line 5,10 10,10' notice.png
