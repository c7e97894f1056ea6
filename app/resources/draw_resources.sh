#!/usr/bin/env bash
# Draws the banners (bitmaps 133, 134, 135) and the icon (128) of Install.exe. Each banner shows
# a file-explorer context menu opened on setup.exe with "run as administrator" highlighted, in
# French, English and Chinese: 357 x 71 pixels, 24 bits, uncompressed. The icon is one 32 x 32
# image with 24 bits per pixel. The files it writes are committed; run it again after a change:
#   app/resources/draw_resources.sh
# Needs Debian's imagemagick, fonts-dejavu-core and fonts-wqy-microhei, and python3.
set -euo pipefail
cd "$(dirname "$0")"

convert=/usr/bin/convert  # ImageMagick's own, whatever else is on the PATH
latin=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
chinese=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

# banner FILE FONT "Open" "Run as administrator" "Troubleshoot" "Pin"
banner() {
    local out=$1 font=$2 open=$3 admin=$4 trouble=$5 pin=$6
    "$convert" -size 357x71 xc:'#f3f3f3' \
        -fill white -stroke '#c8c8c8' -draw 'rectangle 10,6 46,46' \
        -fill '#dfe9f5' -stroke '#7a9cc6' -draw 'polygon 18,10 34,10 40,16 40,40 18,40' \
        -fill '#7a9cc6' -stroke none -draw 'rectangle 22,22 36,24' -draw 'rectangle 22,28 36,30' \
        -draw 'rectangle 22,34 32,36' \
        -stroke none -fill '#202020' -font "$latin" -pointsize 10 -annotate +7+61 'setup.exe' \
        -fill '#a0a0a0' -draw 'rectangle 79,5 352,70' \
        -fill white -stroke '#a0a0a0' -draw 'rectangle 76,2 349,67' \
        -stroke none -fill '#cce8ff' -draw 'rectangle 78,19 347,34' \
        -fill none -stroke '#99d1ff' -draw 'rectangle 78,19 347,34' \
        -stroke none -fill '#1c5fb0' -draw 'polygon 85,21 92,21 92,27 88.5,32 85,27' \
        -fill '#f2c12e' -draw 'polygon 88.5,21 92,21 92,27 88.5,32' \
        -fill '#202020' -font "$font" -pointsize 10 \
        -annotate +100+15 "$open" \
        -annotate +100+31 "$admin" \
        -annotate +100+47 "$trouble" \
        -annotate +100+63 "$pin" \
        -type TrueColor -compress None "BMP3:$out"
}

banner banner_fr.bmp "$latin" "Ouvrir" "Exécuter en tant qu'administrateur" \
    "Résoudre les problèmes de compatibilité" "Épingler à l'écran de démarrage"
banner banner_en.bmp "$latin" "Open" "Run as administrator" \
    "Troubleshoot compatibility" "Pin to Start"
banner banner_zh.bmp "$chinese" "打开(O)" "以管理员身份运行(A)" "兼容性疑难解答(Y)" "固定到“开始”屏幕(P)"

# The icon: a set-up box with a shield, drawn at 32 x 32 and packed as a 24-bit ICO.
"$convert" -size 32x32 xc:'#2d6db5' \
    -fill '#f3f3f3' -draw 'rectangle 5,9 26,27' \
    -fill '#c9a24a' -draw 'polygon 5,9 16,3 27,9 16,14' \
    -fill '#1c5fb0' -draw 'polygon 12,13 20,13 20,20 16,25 12,20' \
    -fill '#f2c12e' -draw 'polygon 16,13 20,13 20,20 16,25' \
    -type TrueColor -compress None BMP3:icon32.bmp
python3 - <<'PY'
import struct
bmp = open("icon32.bmp", "rb").read()
offset = struct.unpack_from("<I", bmp, 10)[0]
width, height = struct.unpack_from("<ii", bmp, 18)
assert (width, height) == (32, 32) and struct.unpack_from("<H", bmp, 28)[0] == 24
pixels = bmp[offset:offset + 32 * 32 * 3]          # bottom-up rows of 96 bytes, no padding
mask = bytes(32 * 4)                               # every pixel opaque
header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 24, 0, len(pixels) + len(mask), 0, 0, 0, 0)
image = header + pixels + mask
icon = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 24, len(image), 22)
open("install.ico", "wb").write(icon + image)
PY
rm icon32.bmp
