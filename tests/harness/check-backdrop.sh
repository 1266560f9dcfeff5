#!/usr/bin/env bash
# Checks a 1024x768 screenshot of the backdrop with dialog 101 centred on it.
#   check-backdrop.sh SHOT.png      prints one line per check; exit 0 when all pass
#
# Wine draws text with grey-level smoothing, so the tiled name shows as blends
# of RGB(0,0,96) into the field RGB(0,0,128) and the white texts have soft
# edges; the checks allow for that.  The dialog (about 400x150 in the centre)
# is kept out of every region looked at.
#
# The maximized backdrop stands at (-3,-3), its dialog frame off the screen
# and its client area at (0,0): so Windows and Wine 8 draw it.  Wine 10
# draws it as if it stood at (0,0): the frame's top and left edges on the
# screen, the client area 3 pixels right and down, its right and bottom
# edges off it.  The client area is found from the screenshot's own edge,
# and everything is judged where it is drawn; under Wine 10 the 3 pixels
# must be the frame's, under Wine 8 there must be none.
set -uo pipefail
shot=${1:?usage: check-backdrop.sh SHOT.png}
[ -f "$shot" ] || { echo "FAIL - no screenshot $shot"; exit 1; }
. "$(dirname "$0")/env.sh"
need_wine

size=$(convert "$shot" -format '%wx%h' info:)
if [ "$size" != 1024x768 ]; then
    echo "FAIL - the screenshot is 1024x768: $size"
    exit 1
fi

# The frame's rings along the top and the left edge, from the outside in: the
# light and the white of its raised edge, then its face, in Wine's default
# colours (the wait box's frame shows the same).  The offset is the number of
# them drawn whole.
wine_version=$("$WINE64" --version)
[[ $wine_version =~ ^wine-([0-9]+) ]] || die "no Wine version in \"$wine_version\""
frame=$((BASH_REMATCH[1] >= 10 ? 3 : 0))
offset=$({ convert "$shot" -crop 1024x3+0+0 -depth 8 rgb:-; convert "$shot" -crop 3x768+0+0 -depth 8 rgb:-; } |
    od -An -v -tu1 -w3 | awk '
    BEGIN { ring[0] = "227 227 227"; ring[1] = "255 255 255"; ring[2] = "245 245 245" }
    {
        if (NR <= 3 * 1024) { x = (NR - 1) % 1024; y = int((NR - 1) / 1024) }
        else { x = (NR - 3 * 1024 - 1) % 3; y = int((NR - 3 * 1024 - 1) / 3) }
        i = x < y ? x : y
        if ($1 " " $2 " " $3 != ring[i]) broken[i] = 1
    }
    END { for (i = 0; i < 3 && !broken[i]; i++) ; print i }')

# One line per pixel, "r g b", row by row.  x and y are of the client area,
# sx and sy of the screen.
convert "$shot" -depth 8 rgb:- | od -An -v -tu1 -w3 | awk -v offset="$offset" -v frame="$frame" -v wine="$wine_version" '
function check(ok, what, detail) {
    printf "%s - %s%s\n", ok ? "ok" : "FAIL", what, ok || detail == "" ? "" : ": " detail
    if (!ok) failed = 1
}
{
    sx = (NR - 1) % 1024; sy = int((NR - 1) / 1024); r = $1; g = $2; b = $3
    if (sx < offset || sy < offset) next
    x = sx - offset; y = sy - offset
    white = r == 255 && g == 255 && b == 255
    tile = r == 0 && g == 0 && b >= 96 && b < 128
    dialog = sx >= 280 && sx < 744 && sy >= 280 && sy < 490
    # The outline, with the tiled name drawn over it here and there.
    if (x == 0 || y == 0 || x == 1023 || y == 767) {
        edges++
        if (r == 0 && g == 0 && b == 0) black++
        else if (!(r == 0 && g == 0 && b <= 96)) notblack++
    }
    # The lower right, far from the dialog and the texts: field and tiles only.
    if (x >= 800 && x < 1000 && y >= 600 && y < 750) {
        corner++
        if (r == 0 && g == 0 && b == 128) field++
        else if (tile) { if (b < darkest) darkest = b }
        else if (others < 3) { others++; stray = stray sprintf(" (%d,%d)=%d,%d,%d", x, y, r, g, b) }
        else others++
    }
    # The tiled name: every band of 19 rows below the texts, beside the dialog.
    if (y >= 110 && y < 756 && !dialog && tile) band[int((y - 110) / 19)]++
    # The texts: "Quillmark" with its bottom on y=60, "Screenwriting Software"
    # with its top on y=60, both from x=12.
    if (white && !dialog) {
        if (x < 12) leftof++
        else if (y < 10) above++
        else if (y < 59) title++
        else if (y <= 61) across++
        else if (y < 110) subtitle++
        else below++
    }
}
BEGIN { darkest = 999 }
END {
    check(offset == frame, "the client area at (" frame "," frame ") of the screen under " wine,
          "at (" offset "," offset ")" (offset ? ", inside a dialog frame of width " offset : ""))
    check(notblack == 0 && black * 10 >= edges * 7, "a black outline round the field",
          black + 0 " of " edges + 0 " edge pixels black, " notblack + 0 " neither black nor tile over black")
    check(field * 100 >= corner * 60, "the field is RGB(0,0,128)", field + 0 " of " corner + 0 " pixels")
    check(others == 0, "the field holds nothing but the tiled name", others + 0 " other pixels:" stray)
    check(darkest <= 112, "the tiled name is drawn in RGB(0,0,96)", "darkest blue " darkest)
    bands = 0
    for (i = 0; i < 34; i++) if (band[i] > 50) bands++
    check(bands == 34, "the tiled name on every band of 19 rows", bands " of 34 bands")
    check(title > 500, "white title above y=60", title + 0 " pixels")
    check(subtitle > 500, "white subtitle below y=60", subtitle + 0 " pixels")
    check(across == 0, "nothing white crosses y=60", across + 0 " pixels on rows 59 to 61")
    check(leftof == 0 && above == 0 && below == 0, "no white elsewhere (left of x=12, above y=10, below y=110)",
          leftof + 0 " + " above + 0 " + " below + 0 " pixels")
    exit failed
}'
