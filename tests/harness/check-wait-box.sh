#!/usr/bin/env bash
# Checks a 1024x768 screenshot of the wait box (dialog 103) centred on the
# backdrop, taken while setup.exe was held still writing files: it paints the
# box once and reads no messages then, so the box must show as painted, not
# blank and not what was behind it.
#   check-wait-box.sh SHOT.png      prints one line per check; exit 0 when all pass
#
# The box is found from the centre of the screen outwards, up to the
# backdrop's blue on row 384 and column 512.  Its text is drawn without
# smoothing (a bitmap font): dark pixels on the grey face.
set -uo pipefail
shot=${1:?usage: check-wait-box.sh SHOT.png}
[ -f "$shot" ] || { echo "FAIL - no screenshot $shot"; exit 1; }

size=$(convert "$shot" -format '%wx%h' info:)
if [ "$size" != 1024x768 ]; then
    echo "FAIL - the screenshot is 1024x768: $size"
    exit 1
fi

# One line per pixel, "r g b", row by row, of the middle of the screen:
# 512x384 from (256,192).
convert "$shot" -crop 512x384+256+192 -depth 8 rgb:- | od -An -v -tu1 -w3 | awk '
function check(ok, what, detail) {
    printf "%s - %s%s\n", ok ? "ok" : "FAIL", what, ok || detail == "" ? "" : ": " detail
    if (!ok) failed = 1
}
function blue(x, y) { return r[x, y] == 0 && g[x, y] == 0 && b[x, y] >= 96 }
function grey(x, y) { return r[x, y] == g[x, y] && g[x, y] == b[x, y] }
function abs(v) { return v < 0 ? -v : v }
{
    x = 256 + (NR - 1) % 512; y = 192 + int((NR - 1) / 512)
    r[x, y] = $1; g[x, y] = $2; b[x, y] = $3
}
END {
    for (left = 512; left > 256 && !blue(left - 1, 384); left--) ;
    for (right = 512; right < 767 && !blue(right + 1, 384); right++) ;
    for (top = 384; top > 192 && !blue(512, top - 1); top--) ;
    for (bottom = 384; bottom < 575 && !blue(512, bottom + 1); bottom++) ;
    w = right - left + 1; h = bottom - top + 1
    check(w >= 100 && w <= 400 && h >= 40 && h <= 150 && abs(left + right - 1023) <= 2 && abs(top + bottom - 767) <= 2,
          "a box of 100x40 to 400x150 pixels centred on the screen", sprintf("%dx%d at (%d,%d)", w, h, left, top))
    if (failed) exit 1

    # The frame: its outer ring light at the top and left, dark at the bottom
    # and right (the two corners where they meet are left out).
    light = 255; dark = 0; ring = 0
    for (x = left; x < right; x++) {
        ring += !grey(x, top) + !grey(x + 1, bottom)
        if (r[x, top] < light) light = r[x, top]
        if (r[x + 1, bottom] > dark) dark = r[x + 1, bottom]
    }
    for (y = top; y < bottom; y++) {
        ring += !grey(left, y) + !grey(right, y + 1)
        if (r[left, y] < light) light = r[left, y]
        if (r[right, y + 1] > dark) dark = r[right, y + 1]
    }
    check(ring == 0 && light >= dark + 64, "a raised frame: grey, lighter at the top and left than at the bottom and right",
          sprintf("%d pixels not grey; top and left from %d, bottom and right up to %d", ring, light, dark))

    # Inside the frame: the face, the group box and the text, all grey.
    coloured = 0; inside = 0; text = 0
    for (y = top + 2; y <= bottom - 2; y++)
        for (x = left + 2; x <= right - 2; x++) {
            inside++
            if (!grey(x, y)) { coloured++; continue }
            shade[r[x, y]]++
            if (r[x, y] < 96) {
                if (!text++) { tl = tr = x; tt = tb = y }
                if (x < tl) tl = x; if (x > tr) tr = x; if (y < tt) tt = y; if (y > tb) tb = y
            }
        }
    check(coloured == 0, "nothing of the backdrop shows inside the box", coloured " pixels not grey")
    face = -1
    for (s in shade) if (face < 0 || shade[s] > shade[face]) face = s + 0
    check(face >= 192 && face < 255 && shade[face] * 10 >= inside * 6, "a light grey face, not white, over most of the box",
          sprintf("grey %d on %d of %d pixels", face, shade[face], inside))

    # The group box: long lines of a mid grey, two across and two down.
    across = 0; down = 0
    for (y = top + 2; y <= bottom - 2; y++) {
        n = 0
        for (x = left + 2; x <= right - 2; x++) if (grey(x, y) && r[x, y] >= 96 && r[x, y] + 48 <= face) n++
        if (n * 10 >= w * 6) across++
    }
    for (x = left + 2; x <= right - 2; x++) {
        n = 0
        for (y = top + 2; y <= bottom - 2; y++) if (grey(x, y) && r[x, y] >= 96 && r[x, y] + 48 <= face) n++
        if (n * 10 >= h * 4) down++
    }
    check(across >= 2 && down >= 2, "the group box: two lines across and two down",
          across " lines across, " down " down")

    # The text: one line of dark pixels in the middle of the box.
    check(text >= 50 && abs(tl + tr - left - right) <= 4 && abs(tt + tb - top - bottom) <= 8 && tb - tt < 16,
          "one line of dark text in the middle of the box",
          text ? sprintf("%d dark pixels in (%d,%d)-(%d,%d)", text, tl, tt, tr, tb) : "no dark pixels")
    exit failed
}'
