#!/usr/bin/env bash
# `make run`: build/setup.exe under Wine in a scratch copy of the template
# prefix (made first if there is none).
#   With DISPLAY set, setup.exe starts on that display for you to click through.
#   Without, a tour: on a new Xvfb display the end-to-end driver makes one
#   install (its "tour", tests/e2e/scenarios.cpp), a screenshot of each screen
#   goes to build/screenshots (1-location.png ... 6-program.png, and all six
#   on contact-sheet.png), then the files and records installed are listed.
#   QM_SETUP=FILE   another setup.exe
# The prefix stays in build/wine/run/run afterwards for a look at what was
# installed (drive C: is its drive_c); the next run, or
# tests/harness/cleanup-runs.sh, removes it.
set -uo pipefail
here=$(dirname "$0")
. "$here/env.sh"
. "$here/prefix.sh"
need_wine

setup=${QM_SETUP:-$BUILD/setup.exe}
driver=$BUILD/tests/driver.exe
[ -f "$setup" ] || die "no $setup (make build/setup.exe)"
[ -n "${DISPLAY:-}" ] || [ -f "$driver" ] || die "no $driver (make build/tests/driver.exe)"
"$here/make-template.sh" --if-missing || exit 2

dir=$RUNS/run
prefix=$(prefix_create "$dir") || exit 2
export WINEPREFIX=$prefix
use_display "$prefix"

xvfb_pid=
stop() {
    WINEPREFIX=$prefix "$WINESERVER" -k >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
}
trap stop EXIT
trap 'exit 130' INT TERM

echo "prefix: $prefix"
if [ -n "${DISPLAY:-}" ]; then
    echo "starting $setup on $DISPLAY"
    "$WINE64" "$(winpath "$setup")"
    status=$?
    echo "setup.exe ended with exit code $status"
    exit $status
fi

# ---- no display: the tour ---------------------------------------------------
shots=$BUILD/screenshots
sheet=$shots/contact-sheet.png
rm -f "$shots"/[0-9]-*.png "$sheet"
mkdir -p "$dir/signal"
start_xvfb "$dir"
echo "No DISPLAY set: a tour of one install on Xvfb ($DISPLAY), screenshots in $shots"

tour() {
    "$WINE64" "$driver" --setup="$(winpath "$setup")" --signal="$(winpath "$dir/signal")" tour | tr -d '\r'
    return "${PIPESTATUS[0]}"
}
tour &
tour_pid=$!
take_screenshots "$dir/signal" "$shots" "$tour_pid"
wait "$tour_pid"
status=$?

taken=("$shots"/[0-9]-*.png)
if [ -e "${taken[0]}" ]; then
    echo "screenshots:"
    printf '  %s\n' "${taken[@]}"
    font=$(fc-match -f '%{file}' sans 2>/dev/null)
    montage ${font:+-font "$font"} -pointsize 16 -label '%t' "${taken[@]}" -tile 3x -geometry 480x360+8+8 "$sheet" &&
        echo "  $sheet (all of them)"
fi
echo "drive C: of the prefix: $prefix/drive_c"
[ "$status" -eq 0 ] || echo "the tour stopped early (exit code $status)"
exit $status
