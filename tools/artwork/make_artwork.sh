#!/bin/sh
# Draws Corvane's pictures with ImageMagick 6 (`convert`): the raven crest, the title banner,
# the tool-bar and game icons, the About logo, the application icon (also at the sizes of the
# desktop's icon theme, and as a scalable SVG picture) and the question-mark picture shown
# when a level or player picture is missing.
#
#   tools/artwork/make_artwork.sh [SOURCE_TREE]
#
# Everything is drawn at four times its size and scaled down, so edges are smooth. Pictures
# that are shown over a transparent key colour get hard outer edges instead (no blended fringe).
set -eu

ROOT=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
IMAGES=$ROOT/resources/images
ICONS=$ROOT/packaging/icons/hicolor
PLAYERS=$ROOT/data/players
FONT=${CORVANE_ART_FONT:-DejaVu-Sans-Bold}
W=$(mktemp -d)
trap 'rm -rf "$W"' EXIT

command -v convert >/dev/null || { echo "make_artwork: ImageMagick's convert is needed" >&2; exit 1; }

# The crest in a 140 x 170 frame: a steel-rimmed shield with a red field and a raven's head.
SHIELD="M 14,12 L 126,12 L 126,84 C 126,118 100,142 70,160 C 40,142 14,118 14,84 Z"
FIELD="M 21,19 L 119,19 L 119,84 C 119,113 96,134 70,151 C 44,134 21,113 21,84 Z"
RAVEN="M 24,90 C 36,78 50,68 62,60 C 70,50 82,44 96,45 C 110,47 118,58 117,72 C 116,86 112,100 112,114 L 113,138 L 100,146 L 90,136 L 84,142 L 80,130 L 72,134 L 74,120 L 64,122 L 70,110 L 60,108 L 68,98 C 60,94 44,92 24,90 Z"
MOUTH="M 27,89.5 C 40,86 52,82 66,78"

# fill_shape OUT SIZE SCALE PATH GRADIENT: the path filled with a vertical gradient, clear elsewhere.
fill_shape() {
  convert -size "$2" xc:black -fill white -draw "scale $3,$3 path '$4'" "$W/mask.png"
  convert -size "$2" gradient:"$5" "$W/mask.png" -alpha off -compose CopyOpacity -composite "$1"
}

# crest OUT SIZE SCALE FIELD_GRADIENT: the crest on a clear background.
crest() {
  fill_shape "$W/rim.png" "$2" "$3" "$SHIELD" '#f4f4f4-#60606a'
  fill_shape "$W/field.png" "$2" "$3" "$FIELD" "$4"
  convert -size "$2" xc:black -fill white -draw "scale $3,$3 path '$FIELD'" "$W/fieldmask.png"
  convert -size "$2" xc:none -fill '#101012' -stroke '#c8c8d0' -strokewidth 1.2 \
    -draw "scale $3,$3 path '$RAVEN'" \
    -fill none -stroke '#5a5a64' -strokewidth 0.9 -draw "scale $3,$3 path '$MOUTH'" \
    -stroke none -fill '#ff3020' -draw "scale $3,$3 circle 90,62 93,62" \
    -fill white -draw "scale $3,$3 circle 91,61 91.9,61" \
    \( "$W/fieldmask.png" -alpha off \) -compose DstIn -composite "$W/raven.png"
  convert -size "$2" xc:none "$W/rim.png" -composite "$W/field.png" -composite "$W/raven.png" -composite "$1"
}

# A 256-colour BMP without colour-space chunks, as an old-style device-independent bitmap.
bmp8() { convert "$1" -background black -alpha remove -alpha off +dither -colors 256 -type Palette -compress None BMP3:"$2"; }
bmp24() { convert "$1" -background black -alpha remove -alpha off -type TrueColor -compress None BMP3:"$2"; }
png() { convert "$1" -strip -define png:exclude-chunks=date,time -define png:color-type=6 PNG32:"$2"; }

mkdir -p "$IMAGES/toolbar" "$IMAGES/games" "$PLAYERS" "$ICONS/scalable/apps"

# Emblem: the crest on black, shown centred on the frame's black background.
crest "$W/crest.png" 560x680 4 '#e0301c-#5c0804'
convert -size 560x680 xc:black "$W/crest.png" -composite -resize 140x170 "$W/emblem.png"
bmp8 "$W/emblem.png" "$IMAGES/emblem.bmp"

# Banner: the name in steel letters with a red glow, on black.
convert -size 2400x184 xc:black -font "$FONT" -pointsize 150 -kerning 40 -gravity center \
  -fill white -annotate +0+4 'CORVANE' "$W/textmask.png"
convert -size 2400x184 gradient:'#ffffff-#8a8a96' "$W/textmask.png" -alpha off \
  -compose CopyOpacity -composite "$W/text.png"
convert "$W/textmask.png" -morphology Dilate Disk:6 -blur 0x14 \
  \( -size 2400x184 xc:'#d02010' \) +swap -alpha off -compose CopyOpacity -composite "$W/glow.png"
convert -size 2400x184 xc:black -fill '#7a1208' -draw 'rectangle 60,88 520,96' \
  -draw 'rectangle 1880,88 2340,96' "$W/glow.png" -composite "$W/text.png" -composite \
  -resize 600x46\! "$W/banner.png"
bmp24 "$W/banner.png" "$IMAGES/banner.bmp"

# About logo: the crest above the name, on a dark steel-blue plate.
crest "$W/crest_small.png" 560x680 4 '#e0301c-#5c0804'
convert -size 560x680 gradient:'#2a3344-#07090e' \
  \( "$W/crest_small.png" -resize 82% \) -gravity north -geometry +0+8 -composite \
  -font "$FONT" -pointsize 64 -kerning 10 -fill '#d8dce4' -gravity south -annotate +0+26 'CORVANE' \
  -resize 140x170 "$W/about.png"
bmp8 "$W/about.png" "$IMAGES/about_logo.bmp"

# Application icon: the crest on a clear background, 64 x 64 in the program (the desktop's
# icon theme takes that one too) and at the theme's other sizes from 32 pixels up.
crest "$W/icon_crest.png" 560x680 4 '#e0301c-#5c0804'
for size in 32 48 64 128 256; do
  convert "$W/icon_crest.png" -trim +repage -resize 256x256 -gravity center -background none -extent 256x256 \
    -resize ${size}x$size "$W/icon$size.png"
done
png "$W/icon64.png" "$IMAGES/corvane.png"
for size in 32 48 128 256; do
  mkdir -p "$ICONS/${size}x$size/apps"
  png "$W/icon$size.png" "$ICONS/${size}x$size/apps/corvane.png"
done

# Game icons, 16 x 16: the crest's shield in red (Quake 3 Arena) and teal (Quake 2), a globe
# for Quake World. Small sizes need a plain, bold mark rather than the detailed raven.
# small_shield COLOUR OUT [SIZE]: the mark two pixels smaller than SIZE (16 unless given).
small_shield() {
  size=${3:-16}
  convert -size 128x128 xc:none -stroke '#18181c' -strokewidth 8 \
    -fill '#d8d8de' -draw "path 'M 10,6 L 118,6 L 118,62 C 118,92 92,112 64,124 C 36,112 10,92 10,62 Z'" \
    -stroke none -fill "$1" -draw "path 'M 24,20 L 104,20 L 104,62 C 104,84 86,99 64,109 C 42,99 24,84 24,62 Z'" \
    -fill '#101012' -draw "path 'M 28,66 L 60,44 C 68,32 88,30 97,41 C 104,52 102,68 98,82 L 94,100 L 74,98 L 76,76 Z'" \
    -resize $((size - 2))x$((size - 2)) -background none -gravity center -extent ${size}x$size "$2"
}
small_shield '#d82818' "$W/q3a.png"; png "$W/q3a.png" "$IMAGES/games/q3a.png"
# The application icon below 32 pixels: the plain red shield.
for size in 16 22 24; do
  mkdir -p "$ICONS/${size}x$size/apps"
  small_shield '#d82818' "$W/icon$size.png" $size
  png "$W/icon$size.png" "$ICONS/${size}x$size/apps/corvane.png"
done
small_shield '#10a49c' "$W/q2.png"; png "$W/q2.png" "$IMAGES/games/q2.png"
convert -size 128x128 xc:black -fill white -draw 'circle 64,64 64,8' "$W/disc.png"
convert -size 160x160 radial-gradient:'#9ad6ff-#0c3a8a' -crop 128x128+4+4 +repage \
  -fill none -stroke '#eef8ff' -strokewidth 7 \
  -draw 'ellipse 64,64 24,56 0,360' -draw 'line 8,64 120,64' \
  -draw 'line 20,36 108,36' -draw 'line 20,92 108,92' \
  "$W/disc.png" -alpha off -compose CopyOpacity -composite \
  -fill none -stroke '#0a1e48' -strokewidth 8 -compose over -draw 'circle 64,64 64,8' \
  -resize 16x16 "$W/qw.png"
png "$W/qw.png" "$IMAGES/games/qw.png"

# Tool-bar pictures, 20 x 20 on clear, for 25 x 25 flat buttons.
# Connect: a plug on its cable.
convert -size 80x80 xc:none -stroke '#1a1a1a' -strokewidth 3 \
  -fill '#c8ccd4' -draw 'roundrectangle 26,6 32,26 2,2' -draw 'roundrectangle 48,6 54,26 2,2' \
  -fill '#2f8f3a' -draw 'roundrectangle 16,22 64,50 8,8' \
  -fill '#2f8f3a' -draw 'polygon 28,50 52,50 46,62 34,62' \
  -fill none -stroke '#1a1a1a' -strokewidth 7 -draw "path 'M 40,62 C 40,72 24,70 16,76'" \
  -stroke '#3aa848' -strokewidth 3 -draw "path 'M 40,62 C 40,72 24,70 16,76'" \
  -resize 20x20 "$W/connect.png"
png "$W/connect.png" "$IMAGES/toolbar/connect.png"
# Quick connect: a lightning bolt.
convert -size 80x80 xc:none -stroke '#5a3a00' -strokewidth 4 -fill '#ffc814' \
  -draw 'polygon 46,4 14,46 36,46 26,76 66,30 44,30 58,4' \
  -resize 20x20 "$W/quick.png"
png "$W/quick.png" "$IMAGES/toolbar/quickconnect.png"
# Remote console: a console window with a prompt.
convert -size 80x80 xc:none -stroke '#1a1a1a' -strokewidth 3 \
  -fill '#20242c' -draw 'roundrectangle 4,10 76,70 5,5' \
  -fill '#3c6cc8' -stroke none -draw 'rectangle 6,12 74,24' \
  -fill none -stroke '#3ce050' -strokewidth 6 -draw 'polyline 16,36 30,46 16,56' \
  -draw 'line 36,58 56,58' \
  -resize 20x20 "$W/remote.png"
png "$W/remote.png" "$IMAGES/toolbar/remote.png"
# Server board: a panel of three rows, each with its lamp, the last one red.
convert -size 80x80 xc:none -stroke '#1a1a1a' -strokewidth 3 \
  -fill '#e8ecf2' -draw 'roundrectangle 4,8 76,72 5,5' \
  -stroke '#1a1a1a' -strokewidth 2 -fill '#2fb83a' -draw 'circle 18,23 24,23' -draw 'circle 18,40 24,40' \
  -fill '#e03020' -draw 'circle 18,57 24,57' \
  -stroke none -fill '#4a5060' -draw 'rectangle 31,20 67,26' -draw 'rectangle 31,37 67,43' \
  -draw 'rectangle 31,54 67,60' \
  -resize 20x20 "$W/board.png"
png "$W/board.png" "$IMAGES/toolbar/board.png"
# Close: a red cross.
convert -size 80x80 xc:none -fill none -stroke '#5a0808' -strokewidth 20 \
  -draw 'line 18,18 62,62' -draw 'line 62,18 18,62' \
  -stroke '#e03020' -strokewidth 12 -draw 'line 18,18 62,62' -draw 'line 62,18 18,62' \
  -resize 20x20 "$W/close.png"
png "$W/close.png" "$IMAGES/toolbar/close.png"

# Question mark, 64 x 64, 24-bit: shown with its bottom-left pixel's colour as the transparent
# key, so the corners are that plain colour and the badge's outer edge is hard.
KEY='#c0c0c0'
convert -size 256x256 xc:none -fill '#0c2a5c' -draw 'circle 128,128 128,6' \
  \( -size 256x256 radial-gradient:'#6ab4ff-#1448a0' \
     \( -size 256x256 xc:black -fill white -draw 'circle 128,128 128,18' \) \
     -alpha off -compose CopyOpacity -composite \) -compose over -composite \
  -font "$FONT" -pointsize 190 -gravity center -stroke '#0c2a5c' -strokewidth 6 -fill white -annotate +0+8 '?' \
  -resize 64x64 -channel A -threshold 50% +channel "$W/question.png"
convert -size 64x64 xc:"$KEY" "$W/question.png" -composite "$W/question_flat.png"
bmp24 "$W/question_flat.png" "$PLAYERS/Question.bmp"

# The crest as a scalable picture, from the same outlines, filling its square as the icons do:
# its gradients span the 140 x 170 frame, as the drawn ones do.
cat >"$ICONS/scalable/apps/corvane.svg" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="-4 12 148 148">
  <title>Corvane</title>
  <defs>
    <linearGradient id="rim" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="170">
      <stop offset="0" stop-color="#f4f4f4"/><stop offset="1" stop-color="#60606a"/>
    </linearGradient>
    <linearGradient id="field" gradientUnits="userSpaceOnUse" x1="0" y1="0" x2="0" y2="170">
      <stop offset="0" stop-color="#e0301c"/><stop offset="1" stop-color="#5c0804"/>
    </linearGradient>
  </defs>
  <path d="$SHIELD" fill="url(#rim)"/>
  <path d="$FIELD" fill="url(#field)"/>
  <path d="$RAVEN" fill="#101012" stroke="#c8c8d0" stroke-width="1.2"/>
  <path d="$MOUTH" fill="none" stroke="#5a5a64" stroke-width="0.9"/>
  <circle cx="90" cy="62" r="3" fill="#ff3020"/>
  <circle cx="91" cy="61" r="0.9" fill="#ffffff"/>
</svg>
EOF

echo "make_artwork: pictures written below $ROOT"
