#!/usr/bin/env bash
# `make run`: starts build/setup.exe under Wine in a scratch copy of the
# template prefix (made first if there is none), on $DISPLAY when it is set,
# otherwise on a new Xvfb display.
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
[ -f "$setup" ] || die "no $setup (make build/setup.exe)"
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

if [ -z "${DISPLAY:-}" ]; then
    start_xvfb "$dir"
    echo "No DISPLAY set: started Xvfb on $DISPLAY (1024x768)."
    echo "  screenshot: import -display $DISPLAY -window root shot.png"
    echo "  Ctrl-C ends setup.exe and Xvfb."
fi

echo "prefix: $prefix"
echo "starting $setup on $DISPLAY"
p=$(realpath "$setup")
"$WINE64" "Z:${p//\//\\}"
status=$?
echo "setup.exe ended with exit code $status"
exit $status
