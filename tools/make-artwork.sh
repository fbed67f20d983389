#!/usr/bin/env bash
# Draws all of Tessel Control's artwork and writes it into the repository:
#
#   resources/image/          built-in pictures compiled into the Qt resources
#                             (title bar, side buttons, panel and button faces)
#   resources/resources.qrc   the resource list for those pictures (":/image/<name>")
#   resources/imageformats/   files installed beside the program: the USB status
#                             icons and the picture of each known device model
#   packaging/linux/tessel-control.png   the desktop icon
#
# The outputs are committed, so building the program never needs this script.
# Rerun it after changing a design and commit the regenerated files; metadata
# and timestamps are stripped, so an unchanged design gives identical files.
#
# Usage:  tools/make-artwork.sh          (from any directory)
# Needs:  ImageMagick 6 (`convert`) and the DejaVu fonts.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
IMG="$ROOT/resources/image"
FMT="$ROOT/resources/imageformats"
PKG="$ROOT/packaging/linux"
QRC="$ROOT/resources/resources.qrc"

die() { echo "make-artwork: $*" >&2; exit 1; }

command -v convert >/dev/null || die "ImageMagick 'convert' is not installed"
FONT_LIST="$(convert -list font)"
for font in DejaVu-Sans DejaVu-Sans-Bold; do
    grep -q "Font: $font\$" <<<"$FONT_LIST" || die "font $font is not available to ImageMagick"
done

mkdir -p "$IMG" "$FMT" "$PKG"
SCRATCH="$(mktemp -d)"
trap 'rm -rf "$SCRATCH"' EXIT

BOLD=DejaVu-Sans-Bold
REGULAR=DejaVu-Sans

# --- Palette: deep navy surfaces, brighter blue for the selected state, a light
# --- cyan accent, white text.
NAVY='#012A58'
NAVY_LIGHT='#033B78'
NAVY_DARK='#001A37'
TITLE_TOP='#02264F'
TITLE_BOTTOM='#00152D'
BLUE='#0C58B0'
BLUE_BRIGHT='#1F7BDD'
ACCENT='#7FD4FF'
TEXT='#FFFFFF'
TEXT_DIM='#C9D6E8'
GLYPH_DIM='#8DB6E3'
ONLINE='#3DDC84'
OFFLINE='#FF6B6B'
LOGO_TOP='#9FE0FF'
LOGO_LEFT='#2E8BE6'
LOGO_RIGHT='#0B4FA0'

# Strip metadata and timestamps so that regenerating gives byte-identical files.
PNG_OUT=(-strip -depth 8 -define 'png:exclude-chunk=date,time')
JPG_OUT=(-strip -quality 90 -interlace none)

wrote() { echo "  ${1#"$ROOT"/}"; }   # progress line for a written file

# --- Shared drawing helpers -------------------------------------------------

# logo_args ARRAY CX CY R [SCALE]
# Appends to ARRAY the drawing commands for the Tessel mark: a hexagon of
# radius R made of three rhombi (light top, mid-blue left, dark right) like a
# tessellated cube, each face shrunk about its own centre by SCALE (default
# 0.88) so the tiles show thin gaps.
logo_args() {
    local -n _args=$1
    local faces
    mapfile -t faces < <(awk -v cx="$2" -v cy="$3" -v r="$4" -v k="${5:-0.88}" '
        function face(x1, y1, x2, y2, x3, y3, x4, y4,    mx, my) {
            mx = (x1 + x2 + x3 + x4) / 4; my = (y1 + y2 + y3 + y4) / 4
            printf "polygon %.2f,%.2f %.2f,%.2f %.2f,%.2f %.2f,%.2f\n",
                mx + (x1 - mx) * k, my + (y1 - my) * k, mx + (x2 - mx) * k, my + (y2 - my) * k,
                mx + (x3 - mx) * k, my + (y3 - my) * k, mx + (x4 - mx) * k, my + (y4 - my) * k
        }
        BEGIN {
            s = 0.8660254 * r; h = r / 2
            face(cx, cy - r,  cx + s, cy - h,  cx, cy,  cx - s, cy - h)   # top
            face(cx - s, cy - h,  cx, cy,  cx, cy + r,  cx - s, cy + h)   # left
            face(cx + s, cy - h,  cx + s, cy + h,  cx, cy + r,  cx, cy)   # right
        }')
    _args+=(-stroke none
            -fill "$LOGO_TOP"   -draw "${faces[0]}"
            -fill "$LOGO_LEFT"  -draw "${faces[1]}"
            -fill "$LOGO_RIGHT" -draw "${faces[2]}")
}

# text_width FONT POINTSIZE TEXT -> rendered width in pixels
text_width() {
    convert -font "$1" -pointsize "$2" label:"$3" -format '%w' info:
}

# panel OUT W H RADIUS TOP BOTTOM STROKE [HIGHLIGHT]
# A rounded button face for border-image use: vertical gradient, transparent
# corners, a one-pixel outline and an optional light line along the top edge.
panel() {
    local out=$1 w=$2 h=$3 r=$4 top=$5 bottom=$6 stroke=$7 shine=${8:-none}
    convert -size "${w}x${h}" gradient:"$top"-"$bottom" \
        \( -size "${w}x${h}" xc:none -fill white \
           -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \) \
        -alpha set -compose DstIn -composite -compose Over \
        -fill none -stroke "$stroke" -strokewidth 1 \
        -draw "roundrectangle 0.5,0.5 $((w - 2)).5,$((h - 2)).5 $r,$r" \
        -stroke none -fill "$shine" -draw "rectangle $r,1 $((w - 1 - r)),1" \
        "${PNG_OUT[@]}" "$out"
    wrote "$out"
}

# transparent OUT W H -- a fully transparent picture
transparent() {
    convert -size "${2}x${3}" xc:none "${PNG_OUT[@]}" "PNG32:$1"
    wrote "$1"
}

# --- Window body and title bar -----------------------------------------------

make_body_background() {
    local out="$IMG/bg2.jpg" honeycomb
    # Vertical navy gradient, a soft blue glow in the upper right, and a faint
    # honeycomb of hexagon outlines echoing the mark, fading out towards the left.
    honeycomb=$(awk 'BEGIN {
        r = 58; s = 0.8660254 * r; h = r / 2
        for (row = 0; row < 8; row++)
            for (col = 0; col < 11; col++) {
                cx = 40 + col * 2 * s + (row % 2) * s; cy = row * 1.5 * r
                printf "polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f ",
                    cx, cy - r, cx + s, cy - h, cx + s, cy + h, cx, cy + r, cx - s, cy + h, cx - s, cy - h
            }
    }')
    convert -size 1000x572 gradient:'#022F60'-'#00132A' \
        \( -size 250x143 xc:none -fill 'rgba(31,123,221,0.45)' \
           -draw 'ellipse 195,10 110,70 0,360' -blur 0x22 -resize '1000x572!' \) \
        -compose Over -composite \
        \( -size 1000x572 xc:none -fill none -stroke 'rgba(159,224,255,0.07)' -strokewidth 1.5 \
           -draw "$honeycomb" \
           \( +clone -alpha extract \( -size 572x1000 gradient:black-white -rotate -90 -level 35%,100% \) \
              -compose Multiply -composite \) \
           -alpha off -compose CopyOpacity -composite \) \
        -compose Over -composite \
        "${JPG_OUT[@]}" "$out"
    wrote "$out"
}

# The title bar strip and every picture shown on it share the same vertical
# gradient, so buttons blend into the strip.
TITLE_BASE="gradient:$TITLE_TOP-$TITLE_BOTTOM"

# The strip's style sheet reaches the title-bar buttons too, which draw the
# whole strip squeezed into their own width; only what lies under their icons
# stays hidden, so the wordmark keeps clear of the strip's outer tenths.
make_title_strip() {
    local out="$IMG/title_bg1.jpg" logo=() tessel_w
    logo_args logo 199 16.5 10
    tessel_w=$(text_width "$BOLD" 13 "Tessel")
    convert -size 1000x33 "$TITLE_BASE" \
        -fill 'rgba(127,212,255,0.35)' -draw 'rectangle 0,32 999,32' \
        "${logo[@]}" \
        -gravity West -font "$BOLD" -pointsize 13 -fill "$TEXT" -annotate +216+0 'Tessel' \
        -font "$REGULAR" -fill "$ACCENT" -annotate "+$((216 + tessel_w + 3))+0" 'Control' \
        "${JPG_OUT[@]}" "$out"
    wrote "$out"
}

# title_button OUT W H DRAW-ARGS... -- a title-bar button: strip background plus a glyph
title_button() {
    local out=$1 w=$2 h=$3; shift 3
    convert -size "${w}x${h}" "$TITLE_BASE" \
        -fill 'rgba(127,212,255,0.35)' -draw "rectangle 0,$((h - 1)) $((w - 1)),$((h - 1))" \
        "$@" "${PNG_OUT[@]}" "$out"
    wrote "$out"
}

make_title_buttons() {
    local line=(-fill none -stroke "$TEXT_DIM" -strokewidth 2)
    title_button "$IMG/title_mini.png" 33 33 -stroke none -fill "$TEXT_DIM" -draw 'rectangle 11,17 21,18'
    title_button "$IMG/title_max.png" 28 33 -fill none -stroke "$TEXT_DIM" -strokewidth 1.5 \
        -draw 'rectangle 9.5,11.5 18.5,20.5' -draw 'line 9.5,12.5 18.5,12.5'
    title_button "$IMG/title_close.png" 30 33 "${line[@]}" -draw 'line 10,12 19,21' -draw 'line 19,12 10,21'

    # Tool buttons of the title bar: upload, connect, disconnect, run.
    title_button "$IMG/tl_btn_updata.png" 42 33 "${line[@]}" \
        -draw 'line 21,8 21,20' -draw 'stroke-linejoin round polyline 16,13 21,8 26,13' \
        -draw 'stroke-linejoin round polyline 13,20 13,25 29,25 29,20'
    title_button "$IMG/tl_btn_connect.png" 42 33 "${line[@]}" \
        -draw 'roundrectangle 10,13 21,20 3,3' -draw 'roundrectangle 21,13 32,20 3,3' \
        -stroke "$ONLINE" -draw 'line 17,16.5 25,16.5'
    title_button "$IMG/tl_btn_disconnect.png" 42 33 "${line[@]}" \
        -draw 'roundrectangle 7,13 17,20 3,3' -draw 'roundrectangle 25,13 35,20 3,3' \
        -stroke "$OFFLINE" -strokewidth 1.5 -draw 'line 19,11 23,22'
    title_button "$IMG/tl_btn_run.png" 42 33 -stroke none -fill "$TEXT_DIM" \
        -draw 'polygon 17,9 28,16.5 17,24'

    # Status tabs of the title bar.
    local tab_w
    tab_w=$(text_width "$BOLD" 11 "DEVICE LIVE")
    title_button "$IMG/title_a1_had_live_on.png" 175 33 \
        -stroke none -fill 'rgba(31,123,221,0.55)' -draw 'roundrectangle 8,6 166,27 5,5' \
        -fill "$ONLINE" -draw "circle $((87 - tab_w / 2 - 6)),16.5 $((87 - tab_w / 2 - 2)),16.5" \
        -gravity Center -font "$BOLD" -pointsize 11 -fill "$TEXT" -annotate +6+0 'DEVICE LIVE'
    title_button "$IMG/title_a2.png" 76 33 \
        -stroke none -fill 'rgba(255,255,255,0.10)' -draw 'roundrectangle 6,6 69,27 5,5' \
        -gravity Center -font "$BOLD" -pointsize 11 -fill "$TEXT_DIM" -annotate +0+0 'TOOLS'
}

# --- Side column ---------------------------------------------------------------

# glyph_args ARRAY KIND COLOUR -- the small picture left of a side-button label,
# centred on (34, 40).
glyph_args() {
    local -n _g=$1
    local c=$3
    case $2 in
    device)
        _g+=(-fill none -stroke "$c" -strokewidth 2 -draw 'roundrectangle 28,26 40,54 4,4'
             -stroke none -fill "$c" -draw 'rectangle 31,30 37,37' -draw 'circle 34,45 34,47.5') ;;
    upload)
        _g+=(-fill none -stroke "$c" -strokewidth 2.5 -draw 'line 34,29 34,46'
             -draw 'stroke-linejoin round polyline 27,36 34,29 41,36'
             -draw 'stroke-linejoin round polyline 24,45 24,52 44,52 44,45') ;;
    help)
        _g+=(-fill none -stroke "$c" -strokewidth 2 -draw 'circle 34,40 34,27'
             -stroke none -fill "$c" -font "$BOLD" -pointsize 16 -gravity Center -annotate -53+0 '?'
             +gravity) ;;
    user)
        _g+=(-stroke none -fill "$c" -draw 'circle 34,33 34,27.5'
             -draw 'ellipse 34,54 12,12 180,360') ;;
    esac
}

# side_button OUT LABEL GLYPH on|off
side_button() {
    local out=$1 label=$2 glyph=$3 state=$4 args=()
    if [[ $state == on ]]; then
        args=(-size 175x80 "gradient:$BLUE_BRIGHT-$BLUE"
              -fill 'rgba(255,255,255,0.18)' -draw 'rectangle 0,0 174,0'
              -fill 'rgba(0,0,0,0.30)' -draw 'rectangle 0,79 174,79'
              -fill "$ACCENT" -draw 'rectangle 0,0 4,79'
              -fill none -stroke "$ACCENT" -strokewidth 2 -draw 'stroke-linejoin round polyline 158,34 164,40 158,46' -stroke none)
        glyph_args args "$glyph" "$TEXT"
        args+=(-fill "$TEXT")
    else
        args=(-size 175x80 "gradient:$NAVY_LIGHT-$NAVY"
              -fill 'rgba(255,255,255,0.08)' -draw 'rectangle 0,0 174,0'
              -fill 'rgba(0,0,0,0.35)' -draw 'rectangle 0,79 174,79')
        glyph_args args "$glyph" "$GLYPH_DIM"
        args+=(-fill "$TEXT_DIM")
    fi
    convert "${args[@]}" -stroke none -font "$BOLD" -pointsize 15 -gravity West -annotate +58+0 "$label" \
        "${JPG_OUT[@]}" "$out"
    wrote "$out"
}

make_side_buttons() {
    side_button "$IMG/select_devices_off.jpg"  DEVICE     device off
    side_button "$IMG/select_devices_on.jpg"   DEVICE     device on
    side_button "$IMG/select_upgrade.jpg"      UPLOAD     upload off
    side_button "$IMG/select_upgrade_on.jpg"   UPLOAD     upload on
    side_button "$IMG/select_settings.jpg"     HELP       help   off
    side_button "$IMG/select_settings_on.jpg"  HELP       help   on
    side_button "$IMG/select_user.jpg"         Usercustom user   off
}

# Background of the 175 x 205 status pictures (welcome, USB on/off).
STATUS_BASE=(-size 175x205 "gradient:$NAVY_LIGHT-$NAVY_DARK")

make_welcome() {
    local out="$IMG/img_welecom.jpg" logo=()
    logo_args logo 87.5 74 40
    convert "${STATUS_BASE[@]}" \
        -fill 'rgba(255,255,255,0.06)' -draw 'circle 87.5,74 87.5,20' \
        "${logo[@]}" \
        -gravity North -font "$BOLD" -pointsize 16 -fill "$TEXT" -annotate +0+132 'Tessel Control' \
        -font "$REGULAR" -pointsize 10 -kerning 3 -fill "$ACCENT" -annotate +0+160 'WELCOME' \
        "${JPG_OUT[@]}" "$out"
    wrote "$out"
}

# usb_logo_args ARRAY CX CY COLOUR -- the USB trident, about 16 x 28 pixels
usb_logo_args() {
    local -n _u=$1
    local x=$2 y=$3 c=$4
    _u+=(-fill none -stroke "$c" -strokewidth 2
         -draw "line $x,$((y + 12)) $x,$((y - 10))"
         -draw "polyline $x,$((y + 5)) $((x - 7)),$((y - 1)) $((x - 7)),$((y - 5))"
         -draw "polyline $x,$((y + 1)) $((x + 7)),$((y - 5)) $((x + 7)),$((y - 8))"
         -stroke none -fill "$c"
         -draw "polygon $((x - 4)),$((y - 9)) $x,$((y - 15)) $((x + 4)),$((y - 9))"
         -draw "circle $x,$((y + 13)) $x,$((y + 16))"
         -draw "circle $((x - 7)),$((y - 7)) $((x - 7)),$((y - 4))"
         -draw "rectangle $((x + 5)),$((y - 11)) $((x + 9)),$((y - 7))")
}

# usb_status OUT on|off -- a USB port at the top with the plug either seated in
# it or pulled out below it, and the connection state written underneath.
usb_status() {
    local out=$1 state=$2 args=() port_edge plug_top text colour
    if [[ $state == on ]]; then
        port_edge=$ONLINE plug_top=44 text='DEVICE ONLINE' colour=$ONLINE
    else
        port_edge='#6F8FB5' plug_top=78 text='DEVICE OFFLINE' colour=$OFFLINE
    fi
    local housing_bottom=$((plug_top + 50))
    # Port in its panel.
    args=(-fill '#0E2340' -stroke "$port_edge" -strokewidth 2 -draw 'roundrectangle 45,14 129,44 6,6'
          -stroke none -fill '#020B16' -draw 'rectangle 57,25 117,35')
    if [[ $state == on ]]; then
        # Plug seated: its metal shell is inside the port; light lines radiate from the joint.
        args+=(-fill none -stroke 'rgba(61,220,132,0.55)' -strokewidth 2
               -draw 'line 33,22 22,16' -draw 'line 33,36 22,42' -draw 'line 141,22 152,16' -draw 'line 141,36 152,42')
    else
        # Plug pulled out: metal shell with its two windows, and a broken-contact mark in the gap.
        args+=(-stroke none -fill '#B8C4D2' -draw "rectangle 63,$((plug_top - 22)) 111,$plug_top"
               -fill '#55657A' -draw "rectangle 74,$((plug_top - 16)) 82,$((plug_top - 10))"
               -draw "rectangle 92,$((plug_top - 16)) 100,$((plug_top - 10))"
               -fill none -stroke "$OFFLINE" -strokewidth 2
               -draw 'line 40,50 48,53' -draw 'line 134,50 126,53')
    fi
    # Plug housing, strain relief and cable.
    args+=(-stroke none -fill '#DDE6F0' -draw "roundrectangle 55,$plug_top 119,$housing_bottom 7,7"
           -fill '#B9C7D8' -draw "rectangle 55,$((housing_bottom - 6)) 119,$((housing_bottom - 4))"
           -fill '#C9D4E2' -draw "roundrectangle 73,$housing_bottom 101,$((housing_bottom + 14)) 4,4"
           -fill '#C9D4E2' -draw "rectangle 82,$((housing_bottom + 14)) 92,160")
    usb_logo_args args 87 $((plug_top + 24)) "$NAVY"
    local tw dot_x
    tw=$(text_width "$BOLD" 12 "$text")
    dot_x=$((87 - (tw + 14) / 2 + 4))
    convert "${STATUS_BASE[@]}" "${args[@]}" \
        -fill "$colour" -draw "circle $dot_x,183 $((dot_x + 4)),183" \
        -gravity North -font "$BOLD" -pointsize 12 -fill "$TEXT" -annotate +7+175 "$text" \
        "${JPG_OUT[@]}" "$out"
    wrote "$out"
}

# --- Setting pages: button faces and markers ----------------------------------

make_button_faces() {
    panel "$IMG/setting_button_bg1.png" 150 24 5 '#0E4F96' '#09376B' '#4F8FD0' 'rgba(255,255,255,0.22)'
    panel "$IMG/setting_button_bg2.png" 150 24 6 '#2A8BEA' '#1262C0' '#8FD0FF' 'rgba(255,255,255,0.35)'
    panel "$IMG/setting_button_bg3.png" 150 24 5 'rgba(255,255,255,0.22)' 'rgba(255,255,255,0.10)' \
        'rgba(255,255,255,0.50)' 'rgba(255,255,255,0.25)'
    panel "$IMG/setting_button_bg_hei.png" 104 24 4 'rgba(0,8,20,0.85)' 'rgba(0,16,36,0.80)' \
        'rgba(159,224,255,0.45)'

    # Step buttons of the number entry: a down and an up arrow on the blue face.
    local step
    for step in down up; do
        local out="$IMG/setting_button_bg_$step.png" arrow
        [[ $step == down ]] && arrow='polygon 7,9.5 17,9.5 12,15.5' || arrow='polygon 7,14.5 17,14.5 12,8.5'
        convert -size 24x24 "gradient:#2A8BEA-#1262C0" \
            \( -size 24x24 xc:none -fill white -draw 'roundrectangle 0,0 23,23 5,5' \) \
            -alpha set -compose DstIn -composite -compose Over \
            -fill none -stroke '#8FD0FF' -strokewidth 1 -draw 'roundrectangle 0.5,0.5 22.5,22.5 5,5' \
            -stroke none -fill "$TEXT" -draw "$arrow" \
            "${PNG_OUT[@]}" "$out"
        wrote "$out"
    done
}

make_markers() {
    # Radio-style option markers, drawn large and scaled down for smooth edges.
    local out
    out="$IMG/setting_button_select_0.png"
    convert -size 64x64 xc:none -fill none -stroke "$TEXT_DIM" -strokewidth 6 -draw 'circle 32,32 32,6' \
        -resize 16x16 "${PNG_OUT[@]}" "PNG32:$out"
    wrote "$out"
    out="$IMG/setting_button_select_1.png"
    convert -size 64x64 xc:none -fill none -stroke "$TEXT" -strokewidth 6 -draw 'circle 32,32 32,6' \
        -stroke none -fill "$ACCENT" -draw 'circle 32,32 32,17' \
        -resize 16x16 "${PNG_OUT[@]}" "PNG32:$out"
    wrote "$out"
    transparent "$IMG/setting_button_select_null.png" 60 20
    transparent "$IMG/empty.png" 16 16
}

make_dialog_close() {
    local out="$IMG/dlg_close.png"
    convert -size 164x164 xc:none \
        -fill 'rgba(255,255,255,0.12)' -stroke 'rgba(255,255,255,0.60)' -strokewidth 5 \
        -draw 'circle 82,82 82,26' \
        -stroke "$TEXT" -strokewidth 9 -draw 'line 64,64 100,100' -draw 'line 100,64 64,100' \
        -resize 41x41 "${PNG_OUT[@]}" "PNG32:$out"
    wrote "$out"
}

# --- Pictures beside the program -------------------------------------------------

# hgrad W H COLOURS... -- parenthesised convert arguments for a horizontal
# gradient through the given colours (left to right), for cylindrical shading.
hgrad() {
    local w=$1 h=$2; shift 2
    local stops=() c
    for c in "$@"; do stops+=(-size 1x1 "xc:$c"); done
    printf '%s\n' '(' "${stops[@]}" +append -filter Triangle -resize "${w}x${h}!" ')'
}

# layer ARRAY W H X Y RADIUS SQUARE COLOURS...
# Appends to ARRAY the commands that cut a horizontal gradient to a rounded
# rectangle and place it at X,Y on the image built so far. SQUARE names the end
# (top or bottom) whose corners stay square where two parts join, or none.
layer() {
    local -n _l=$1
    local w=$2 h=$3 x=$4 y=$5 r=$6 square=$7; shift 7
    local grad mask=(-draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r")
    case $square in
    top)    mask+=(-draw "rectangle 0,0 $((w - 1)),$((h / 2))") ;;
    bottom) mask+=(-draw "rectangle 0,$((h / 2)) $((w - 1)),$((h - 1))") ;;
    esac
    mapfile -t grad < <(hgrad "$w" "$h" "$@")
    _l+=('(' "${grad[@]}"
             '(' -size "${w}x${h}" xc:none -fill white "${mask[@]}" ')'
             -alpha set -compose DstIn -composite -compose Over ')'
         -geometry "+$x+$y" -composite)
}

make_device_picture() {
    local out="$FMT/device_image_VELTRA-MINI.png" args=() screen="$SCRATCH/screen.png"
    # The device's own screen: a blue-violet wallpaper with the set wattage,
    # coil resistance, battery gauge and a power bar.
    convert -size 76x80 gradient:'#1F7BDD'-'#3A137A' \
        -fill none -stroke "$TEXT" -strokewidth 1 -draw 'rectangle 52.5,5.5 66.5,11.5' \
        -stroke none -fill "$TEXT" -draw 'rectangle 67,7 68,10' \
        -fill "$ONLINE" -draw 'rectangle 54,7 63,10' \
        -gravity Center -font "$BOLD" -pointsize 21 -fill "$TEXT" -annotate +0-6 '40W' \
        -font "$REGULAR" -pointsize 9 -fill "$LOGO_TOP" -annotate +0+13 '0.6Ω  3.9V' \
        -fill 'rgba(255,255,255,0.25)' -draw 'rectangle 8,68 67,70' \
        -fill "$ACCENT" -draw 'rectangle 8,68 47,70' \
        "${PNG_OUT[@]}" "$screen"

    args=(-size 358x392 xc:none
          # Soft drop shadow below and right of the body.
          '(' -size 358x392 xc:none -fill 'rgba(0,0,0,0.50)' -draw 'roundrectangle 127,12 249,384 40,40'
              -blur 0x9 ')' -composite)
    # Mouthpiece.
    layer args 56 40 151 4 14 none '#141A24' '#3C4758' '#5A6778' '#232B38' '#10151E'
    # Pod: smoky blue, rounded on top, square where it meets the body.
    layer args 120 100 119 32 42 bottom \
        '#0A2A55' '#1E5EA8' '#4A90DA' '#174C8C' '#081F40'
    # Body: gunmetal, square on top, rounded at the bottom.
    layer args 120 240 119 138 42 top \
        '#1E2733' '#4A596C' '#9FB2C8' '#5B6B80' '#232D3A' '#161D27'
    args+=(
        # Collar between pod and body.
        -fill '#0B0F16' -draw 'rectangle 119,132 238,133'
        -fill 'rgba(200,215,232,0.85)' -draw 'rectangle 119,134 238,137'
        # Liquid window of the pod.
        -fill 'rgba(190,235,255,0.30)' -stroke 'rgba(255,255,255,0.35)' -strokewidth 1
        -draw 'roundrectangle 155,58 203,122 10,10'
        -stroke none -fill 'rgba(127,212,255,0.75)' -draw 'roundrectangle 157,86 201,120 8,8'
        -fill 'rgba(255,255,255,0.70)' -draw 'circle 170,100 170,102' -draw 'circle 186,110 186,111.5'
        -draw 'circle 181,94 181,95'
        # Screen bezel and screen.
        -fill '#06090E' -stroke 'rgba(255,255,255,0.18)' -strokewidth 1 -draw 'roundrectangle 137,154 221,244 9,9'
        -stroke none "$screen" -geometry +141+159 -composite
        # Fire button: dark well, blue face, accent ring.
        -fill '#0C1118' -draw 'circle 179,283 179,256'
        -fill "$BLUE" -stroke "$ACCENT" -strokewidth 2 -draw 'circle 179,283 179,261'
        -stroke none -fill 'rgba(255,255,255,0.22)' -draw 'ellipse 179,273 13,7 0,360'
        # Adjust buttons.
        -fill '#0C1118' -draw 'roundrectangle 148,320 172,333 6,6' -draw 'roundrectangle 186,320 210,333 6,6'
        -fill "$TEXT_DIM" -draw 'rectangle 156,326 164,327' -draw 'rectangle 194,326 202,327'
        -draw 'rectangle 197.5,322.5 198.5,330.5'
        # Name on the body.
        -gravity North -font "$BOLD" -pointsize 9 -kerning 2 -fill 'rgba(255,255,255,0.75)'
        -annotate +0+345 'VELTRA' +gravity
    )
    convert "${args[@]}" "${PNG_OUT[@]}" "PNG32:$out"
    wrote "$out"
}

make_app_icon() {
    local out="$PKG/tessel-control.png" logo=()
    logo_args logo 128 130 84
    convert -size 256x256 xc:none \
        \( -size 240x240 "gradient:$BLUE_BRIGHT-$NAVY" \
           \( -size 240x240 xc:none -fill white -draw 'roundrectangle 0,0 239,239 48,48' \) \
           -alpha set -compose DstIn -composite -compose Over \) \
        -geometry +8+8 -composite \
        -fill none -stroke 'rgba(255,255,255,0.22)' -strokewidth 2 -draw 'roundrectangle 9,9 246,246 47,47' \
        "${logo[@]}" \
        "${PNG_OUT[@]}" "PNG32:$out"
    wrote "$out"
}

# --- Resource list ----------------------------------------------------------------

make_qrc() {
    {
        echo '<!DOCTYPE RCC>'
        echo '<RCC version="1.0">'
        echo '    <qresource prefix="/image">'
        local f name
        while IFS= read -r f; do
            name=${f##*/}
            echo "        <file alias=\"$name\">image/$name</file>"
        done < <(find "$IMG" -maxdepth 1 -type f \( -name '*.png' -o -name '*.jpg' \) | LC_ALL=C sort)
        echo '    </qresource>'
        echo '</RCC>'
    } >"$QRC"
    wrote "$QRC"
}

echo "make-artwork: writing into $ROOT"
make_body_background
make_title_strip
make_title_buttons
make_side_buttons
make_welcome
usb_status "$FMT/USB_ON.jpg" on
usb_status "$FMT/USB_OFF.jpg" off
make_button_faces
make_markers
make_dialog_close
make_device_picture
make_app_icon
make_qrc
echo "make-artwork: done"
