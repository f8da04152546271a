#!/usr/bin/env bash
# Draws the two 147 x 180 pictures of the main window and writes them as
# JPEG files into app/pictures/: a support contact card and a payment card
# whose QR code points at the vendor's (invented) payment page.
# Needs ImageMagick, qrencode and the WenQuanYi Micro Hei font.
set -euo pipefail
cd "$(dirname "$0")/../.."

font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
out=app/pictures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

host=$(sed -n 's/.*kVendorHost = "\(.*\)";/\1/p' info/vendor_contacts.h)
first=$(sed -n 's/.*kFirstSupportAccount = "\(.*\)";/\1/p' info/vendor_contacts.h)
second=$(sed -n 's/.*kSecondSupportAccount = "\(.*\)";/\1/p' info/vendor_contacts.h)
phone=$(sed -n 's/.*kServicePhone = "\(.*\)";/\1/p' info/vendor_contacts.h)
account=$(sed -n 's/.*kPaymentAccount = "\(.*\)";/\1/p' info/vendor_contacts.h)

# Support contact card: headline band, headset-like emblem, the two accounts and the phone.
convert -size 147x180 gradient:'#fdf6e3-#f3d9a4' \
  -fill '#b22222' -draw 'rectangle 0,0 147,34' \
  -font "$font" -fill white -pointsize 16 -gravity north -annotate +0+7 '客服中心' \
  -fill none -stroke '#b22222' -strokewidth 4 -draw 'arc 48,44 99,95 180,360' \
  -stroke none -fill '#b22222' -draw 'roundrectangle 42,68 56,92 4,4' -draw 'roundrectangle 91,68 105,92 4,4' \
  -fill '#333333' -pointsize 12 -gravity north \
  -annotate +0+104 "QQ：$first" -annotate +0+122 "QQ：$second" \
  -fill '#b22222' -pointsize 13 -annotate +0+142 "电话 $phone" \
  -fill '#555555' -pointsize 11 -annotate +0+161 '升级问题 随时咨询' \
  -strip -quality 90 "$out/contact.jpg"

# Payment card: a QR code of the payment page and the payment account.
qrencode -l M -s 3 -m 1 -o "$work/qr.png" "https://$host/pay"
convert -size 147x180 xc:'#eaf3fb' \
  -fill '#1677ff' -draw 'rectangle 0,0 147,30' \
  -font "$font" -fill white -pointsize 15 -gravity north -annotate +0+6 '扫码付款' \
  \( "$work/qr.png" -resize 104x104 \) -gravity north -geometry +0+36 -composite \
  -fill '#333333' -pointsize 11 -gravity north -annotate +0+144 "$account" \
  -fill '#1677ff' -pointsize 12 -annotate +0+161 '付款后请联系客服' \
  -strip -quality 90 "$out/payment.jpg"

identify "$out/contact.jpg" "$out/payment.jpg"

# Naming-service dialog: a small red seal with the character 名 (41 x 41).
info=info/pictures
convert -size 41x41 xc:white \
  -fill '#c8102e' -draw 'roundrectangle 2,2 38,38 6,6' \
  -fill none -stroke '#f6d7a7' -strokewidth 1 -draw 'roundrectangle 5,5 35,35 4,4' -stroke none \
  -font "$font" -fill white -pointsize 24 -gravity center -annotate +0+0 '名' \
  -strip -quality 92 "$info/naming.jpg"

# The payment button's picture in two states: normal and under the mouse.
for state in normal hot; do
  if [ "$state" = normal ]; then colour='#1677ff'; else colour='#ff7a00'; fi
  convert -size 20x20 xc:none \
    -fill "$colour" -draw 'roundrectangle 1,3 18,16 3,3' \
    -fill white -draw 'rectangle 1,6 18,8' -draw 'rectangle 4,11 9,13' \
    -strip "PNG32:$info/pay-$state.png"
done
identify "$info/naming.jpg" "$info/pay-normal.png" "$info/pay-hot.png"

# Application icon: the red seal of the patch with 升 (upgrade), 256 px with
# smaller sizes for the desktop.
for size in 256 48; do
  convert -size ${size}x${size} xc:none \
    -fill '#b22222' -draw "roundrectangle $((size/16)),$((size/16)) $((size - size/16)),$((size - size/16)) $((size/6)),$((size/6))" \
    -fill none -stroke '#f3d9a4' -strokewidth $((size/32 > 0 ? size/32 : 1)) \
    -draw "roundrectangle $((size/8)),$((size/8)) $((size - size/8)),$((size - size/8)) $((size/8)),$((size/8))" -stroke none \
    -font "$font" -fill '#fdf6e3' -pointsize $((size * 5 / 8)) -gravity center -annotate +0+0 '升' \
    -strip "PNG32:app/icons/fortune-data-patch-$size.png"
done
identify app/icons/*.png
