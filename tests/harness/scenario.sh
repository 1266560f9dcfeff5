#!/usr/bin/env bash
# Runs one end-to-end scenario in a fresh copy of the template prefix.
#   scenario.sh NAME            (tests/e2e/scenarios.cpp lists them; driver.exe --list)
# Environment:
#   QM_SETUP=FILE   the setup.exe to test (default build/setup.exe)
#   QM_KEEP=1       leave the prefix in build/wine/run/NAME for a look afterwards
#                   (remove it with tests/harness/cleanup-runs.sh)
# Exit status: 0 when every check passed.
set -uo pipefail
here=$(dirname "$0")
. "$here/env.sh"
. "$here/prefix.sh"
need_wine

name=${1:?usage: scenario.sh NAME}
driver=$BUILD/tests/driver.exe
setup=${QM_SETUP:-$BUILD/setup.exe}
[ -f "$driver" ] || die "no $driver (make build/tests/driver.exe)"
[ -f "$setup" ] || die "no $setup (make build/setup.exe)"

winpath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

dir=$RUNS/$name
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    if [ -n "${QM_KEEP:-}" ]; then
        WINEPREFIX=$dir/prefix "$WINESERVER" -k >/dev/null 2>&1
        echo "# prefix kept: $dir/prefix"
    else
        prefix_destroy "$dir"
    fi
}
trap cleanup EXIT
prefix=$(prefix_create "$dir") || exit 2
export WINEPREFIX=$prefix

args=(--setup="$(winpath "$setup")" --root="$(winpath "$ROOT")" --build="$(winpath "$BUILD")")

# Runs the driver; its lines go to stdout without Windows line ends.
drive() {
    "$WINE64" "$driver" "${args[@]}" "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# What the driver cannot make from inside Wine.  A read-only folder: Wine keeps
# no read-only attribute for folders but reports one without write permission.
case $name in
    rejected-folders) mkdir -p "$prefix/drive_c/ReadOnly" && chmod a-w "$prefix/drive_c/ReadOnly" ;;
esac

if [ "$name" != backdrop ]; then
    unset DISPLAY
    drive "$name"
    exit $?
fi

# ---- backdrop: a real display and a screenshot --------------------------------
command -v Xvfb >/dev/null || die "Xvfb not found (run tools/deps.sh)"
shots=$BUILD/screenshots
shot=$shots/backdrop.png
mkdir -p "$shots" "$dir/signal"
rm -f "$shot"
# Xvfb picks a free display number and writes it to the descriptor given.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb_pid=$!
display=
for _ in $(seq 1 200); do  # up to 10 s
    display=$(cat "$dir/display" 2>/dev/null)
    [ -n "$display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
done
[ -n "$display" ] || die "Xvfb did not start: $(cat "$dir/xvfb.log")"
export DISPLAY=:$display
echo "# Xvfb on $DISPLAY"
# This prefix draws on the display: drop the template's "null" graphics driver.
sed -i '/^"Graphics"="null"$/d' "$prefix/user.reg"
grep -q '"Graphics"="null"' "$prefix/user.reg" && die "cannot switch $prefix to the X11 driver"

drive backdrop --signal="$(winpath "$dir/signal")" &
driver_pid=$!

status=0
for _ in $(seq 1 1200); do  # up to 60 s
    [ -e "$dir/signal/ready" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.05
done
if [ -e "$dir/signal/ready" ]; then
    sleep 0.5   # the last paint of the dialog
    import -display "$DISPLAY" -window root "$shot" || status=1
    : > "$dir/signal/done"
else
    echo "FAIL - dialog 101 never came up"
    status=1
fi
wait "$driver_pid" || status=1
[ -f "$shot" ] || exit 1
echo "# screenshot: $shot"

# Pixel checks.  The dialog is centred; the checks stay away from it.
check() {
    if [ "$1" = ok ]; then echo "ok - $2"; else echo "FAIL - $2${3:+: $3}"; status=1; fi
}
pixel() { convert "$shot" -format "%[pixel:p{$1,$2}]" info:; }
# Colour counts over a region: "count r,g,b" lines.
colours() {
    convert "$shot" -crop "$1" +repage -depth 8 -format %c histogram:info: |
        sed -n 's/^ *\([0-9]*\): *(\([0-9]*\), *\([0-9]*\), *\([0-9]*\)).*/\1 \2,\3,\4/p'
}
count_of() { awk -v c="$2" '$2 == c { n += $1 } END { print n + 0 }' <<<"$1"; }

size=$(convert "$shot" -format '%wx%h' info:)
[ "$size" = 1024x768 ] && check ok "screenshot is 1024x768" || check fail "screenshot is 1024x768" "$size"

# The field: the lower right quarter, far from the dialog and the titles, is
# dark blue with the tiled name, and nothing else.
region=$(colours 200x150+800+600)
field=$(count_of "$region" 0,0,128)
tile=$(count_of "$region" 0,0,96)
total=$((200 * 150))
[ $((field * 100)) -ge $((total * 60)) ] && check ok "the field is RGB(0,0,128)" ||
    check fail "the field is RGB(0,0,128)" "$field of $total pixels"
[ $((field + tile)) -eq $total ] && check ok "only the field and the tiled name there" ||
    check fail "only the field and the tiled name there" "$(head -c 300 <<<"$region")"
case $(pixel 1010 700) in
    "srgb(0,0,128)"|"srgb(0,0,96)") check ok "pixel (1010,700) is field or tile" ;;
    *) check fail "pixel (1010,700) is field or tile" "$(pixel 1010 700)" ;;
esac

# The tiled name: RGB(0,0,96) on many rows, 19 pixels apart, across the screen.
rows=0
for y in $(seq 100 19 740); do
    n=$(count_of "$(colours 1024x19+0+$y)" 0,0,96)
    [ "$n" -gt 50 ] && rows=$((rows + 1))
done
[ "$rows" -ge 30 ] && check ok "tiled name on every band of 19 rows" ||
    check fail "tiled name on every band of 19 rows" "$rows of 34 bands"

# The title "Quillmark" (48 px, bottom on y=60) and "Screenwriting Software"
# (36 px, top on y=60): white pixels above and below the line y=60, near x=12.
above=$(count_of "$(colours 300x50+0+10)" 255,255,255)
below=$(count_of "$(colours 500x40+0+60)" 255,255,255)
[ "$above" -gt 300 ] && check ok "white title above y=60" || check fail "white title above y=60" "$above white pixels"
[ "$below" -gt 300 ] && check ok "white subtitle below y=60" || check fail "white subtitle below y=60" "$below white pixels"
left=$(count_of "$(colours 12x100+0+10)" 255,255,255)
[ "$left" -eq 0 ] && check ok "the texts start at x=12" || check fail "the texts start at x=12" "$left white pixels left of it"
high=$(count_of "$(colours 1024x8+0+0)" 255,255,255)
[ "$high" -eq 0 ] && check ok "nothing white in the top rows" || check fail "nothing white in the top rows" "$high"
exit $status
