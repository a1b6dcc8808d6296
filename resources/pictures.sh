#!/usr/bin/env bash
# Draws the program's pictures (logo window, splash, window icon) at a scale factor, with
# ImageMagick and the DejaVu fonts: `resources/pictures.sh 2` writes logo@2x.png, splash@2x.png
# and icon@2x.png beside the 1x ones, for screens at 200 %. Usage: pictures.sh SCALE [FOLDER]
set -euo pipefail
s=$1
out=${2:-$(dirname "$0")}
suffix=$([ "$s" = 1 ] && echo "" || echo "@${s}x")
serif=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
sansBold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
n() { echo "$(( $1 * s ))"; }

# Logo: a page with a tag on it over the program's name.
convert -size "$(n 240)x$(n 160)" xc:'rgb(244,241,232)' \
  -fill white -stroke 'rgb(122,0,0)' -strokewidth "$(n 3)" \
  -draw "polygon $(n 80),$(n 14) $(n 148),$(n 14) $(n 168),$(n 34) $(n 168),$(n 110) $(n 80),$(n 110)" \
  -fill none -draw "line $(n 148),$(n 14) $(n 148),$(n 34)" -draw "line $(n 148),$(n 34) $(n 168),$(n 34)" \
  -stroke none -fill 'rgb(255,0,0)' -font "$sansBold" -pointsize "$(n 32)" \
  -gravity northwest -annotate "+$(n 90)+$(n 47)" '</>' \
  -fill 'rgb(122,0,0)' -font "$serif" -pointsize "$(n 27)" -gravity north -annotate "+0+$(n 115)" 'Halvane' \
  -depth 8 "$out/logo$suffix.png"

# Splash: red shading down to dark red, a yellow frame, name, edition and maker.
convert -size "$(n 420)x$(n 240)" gradient:'rgb(255,0,0)-rgb(140,0,0)' \
  -fill none -stroke 'rgb(255,255,0)' -strokewidth "$(n 3)" \
  -draw "rectangle $(n 10),$(n 10) $(n 409),$(n 229)" -stroke none \
  -fill 'rgb(255,255,0)' -gravity north \
  -font "$serif" -pointsize "$(n 55)" -annotate "+0+$(n 58)" 'Halvane' \
  -font "$sans" -pointsize "$(n 17)" -annotate "+0+$(n 140)" 'HTML Editor 1.2' \
  -font "$sans" -pointsize "$(n 12)" -annotate "+0+$(n 192)" 'from Moravel' \
  -depth 8 "$out/splash$suffix.png"

# Icon: a yellow H on a red square.
convert -size "$(n 64)x$(n 64)" xc:none \
  -fill 'rgb(255,0,0)' -stroke 'rgb(122,0,0)' -strokewidth "$(n 2)" \
  -draw "roundrectangle $(n 4),$(n 4) $(n 59),$(n 59) $(n 8),$(n 8)" -stroke none \
  -fill 'rgb(255,255,0)' -font "$serif" -pointsize "$(n 42)" \
  -gravity center -annotate "+0+$(n 1)" 'H' \
  -depth 8 "$out/icon$suffix.png"
