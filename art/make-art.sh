#!/bin/sh
# Draws the program's two pictures with ImageMagick and writes them beside this script:
#   wizard.jpg  105 x 233, down the left side of the wizard and the advanced window
#   prompt.jpg   68 x 64,  on the restart prompt and the first-run notice
# The build decodes the committed JPEGs; run this only to change the artwork.
# Shapes only, no fonts: the name is drawn with strokes, so any ImageMagick draws the same.
# Everything is drawn at four times the size and scaled down, which smooths the edges.
set -eu
cd "$(dirname "$0")"
if command -v magick >/dev/null 2>&1; then im=magick; else im=convert; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# draw_word WORD SCALE X Y: ImageMagick polylines spelling WORD in capitals, the top-left
# of its first letter at X,Y, each letter drawn in a cell of its width by 14 units and
# SCALE pixels per unit, 3.5 units apart.
draw_word() {
  awk -v word="$1" -v scale="$2" -v x="$3" -v y="$4" 'BEGIN {
    # width;strokes, each stroke a run of points x,y separated by "|"
    glyph["V"] = "10;0,0 5,14 10,0"
    glyph["E"] = "10;10,0 0,0 0,14 10,14|0,7 7,7"
    glyph["L"] = "7;0,0 0,14 7,14"
    glyph["T"] = "10;0,0 10,0|5,0 5,14"
    glyph["R"] = "10;0,14 0,0 7,0 10,2.5 10,4.5 7,7 0,7|5,7 10,14"
    glyph["A"] = "10;0,14 5,0 10,14|2,9 8,9"
    glyph["N"] = "10;0,14 0,0 10,14 10,0"
    glyph["O"] = "10;3,0 7,0 10,3 10,11 7,14 3,14 0,11 0,3 3,0"
    left = x
    for (i = 1; i <= length(word); i++) {
      split(glyph[substr(word, i, 1)], parts, ";")
      n = split(parts[2], strokes, "|")
      for (s = 1; s <= n; s++) {
        line = "polyline"
        m = split(strokes[s], points, " ")
        for (p = 1; p <= m; p++) {
          split(points[p], xy, ",")
          line = line sprintf(" %.1f,%.1f", left + xy[1] * scale, y + xy[2] * scale)
        }
        printf "%s ", line
      }
      left += (parts[1] + 3.5) * scale
      # L and T leave open corners facing each other: set them closer.
      if (substr(word, i, 2) == "LT") left -= 3.5 * scale
    }
  }'
}

# --- wizard.jpg -------------------------------------------------------------------------
W=420 H=932
# Deep blue from top to bottom, lit a little at the upper right.
$im -size ${W}x${H} gradient:'#1b4fae'-'#04113a' \
  \( -size ${W}x${H} xc:none -fill '#3f8cff8c' -draw "circle 380,120 380,420" -blur 0x90 \) \
  -compose screen -composite "$work/back.png"

# A network: nodes joined by thin lines in the upper part.
nodes="300,120 372,210 250,250 340,330 210,150 390,90 280,420 370,470"
links="300,120 372,210|300,120 250,250|372,210 340,330|250,250 340,330|210,150 300,120|300,120 390,90|390,90 372,210|250,250 210,150|340,330 280,420|280,420 370,470|340,330 370,470"
draw=""
old_ifs=$IFS
IFS='|'
for link in $links; do draw="$draw line ${link}"; done
IFS=$old_ifs
$im "$work/back.png" -fill none -stroke '#8fc4ff80' -strokewidth 3 -draw "$draw" "$work/net.png"
draw=""
for node in $nodes; do
  cx=${node%,*} cy=${node#*,}
  draw="$draw circle $cx,$cy $((cx + 13)),$cy"
done
$im "$work/net.png" -fill '#dff0ff' -stroke '#6fb2ff' -strokewidth 6 -draw "$draw" "$work/net.png"

# Speed: streaks running to the right, ending in a double chevron, in the lower part.
draw="stroke-linecap round"
for row in "600 200 390" "640 180 360" "680 220 400" "720 190 340" "760 240 380"; do
  y=${row%% *} ends=${row#* }
  draw="$draw line ${ends% *},$y ${ends#* },$y"
done
$im "$work/net.png" -fill none -stroke '#6fb2ffb0' -strokewidth 7 -draw "$draw" \
  -stroke white -strokewidth 16 -draw "stroke-linecap round stroke-linejoin round \
     polyline 300,820 350,865 300,910 polyline 352,820 402,865 352,910" "$work/speed.png"

# The name, slanted for speed, reading upwards along the left edge.
$im -size 1100x240 xc:none -fill none -stroke white -strokewidth 14 \
  -draw "stroke-linecap round stroke-linejoin round $(draw_word VELTRANO 7 30 60)" \
  -background none -shear 18x0 -trim +repage -rotate -90 "$work/name.png"
$im "$work/speed.png" \( "$work/name.png" -background none -shadow 70x6+0+0 \) \
  -geometry +22+130 -compose over -composite \
  "$work/name.png" -geometry +30+130 -compose over -composite \
  -resize 105x233\! -quality 92 -sampling-factor 1x1 -strip wizard.jpg

# --- prompt.jpg -------------------------------------------------------------------------
W=272 H=256
# A blue disc with a white exclamation mark on a tile of the same deep blue.
$im -size 240x240 radial-gradient:'#6fb0ff'-'#0f44b0' "$work/disc.png"
$im -size ${W}x${H} gradient:'#1b4fae'-'#04113a' \
  -tile "$work/disc.png" -stroke '#dff0ff' -strokewidth 12 -draw "circle 136,128 136,24" +tile \
  -fill white -stroke none \
  -draw "roundrectangle 120,62 152,150 14,14 circle 136,184 136,202" \
  -resize 68x64\! -quality 92 -sampling-factor 1x1 -strip prompt.jpg

identify wizard.jpg prompt.jpg
