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

# The files a setup.exe was made from are in the build folder it was made in.
args=(--setup="$(winpath "$setup")" --root="$(winpath "$ROOT")" --build="$(winpath "$(dirname "$setup")")")

# Runs the driver; its lines go to stdout without Windows line ends.
drive() {
    "$WINE64" "$driver" "${args[@]}" "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# What the driver cannot make from inside Wine.  A read-only folder: Wine keeps
# no read-only attribute for folders but reports one without write permission.
case $name in
    rejected-folders) mkdir -p "$prefix/drive_c/ReadOnly" && chmod a-w "$prefix/drive_c/ReadOnly" ;;
    disk-full) small_drive "$dir" 4m ;;
    # Wine takes the libraries it loads in order from its processes' Unix
    # environment: told here to prefer the planted ones, as Windows would.
    planted-dlls)
        planted=$(cd "$BUILD/tests/planted" && ls *.dll | sed 's/\.dll$//' | paste -sd, -)
        [ -n "$planted" ] || die "no planted libraries in $BUILD/tests/planted"
        export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$planted=n,b" ;;
    # Wine takes its ANSI code page from the locale: Japanese is 932.
    code-page-932) export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 ;;
esac

if [ "$name" != backdrop ]; then
    unset DISPLAY
    drive "$name"
    exit $?
fi

# ---- backdrop: a real display and screenshots ---------------------------------
shots=$BUILD/screenshots
shot=$shots/backdrop.png wait_shot=$shots/backdrop-wait-box.png
mkdir -p "$dir/signal"
rm -f "$shot" "$wait_shot"
start_xvfb "$dir"
echo "# Xvfb on $DISPLAY"
use_display "$prefix"

drive backdrop --signal="$(winpath "$dir/signal")" &
driver_pid=$!
take_screenshots "$dir/signal" "$shots" "$driver_pid"
status=0
wait "$driver_pid" || status=1
"$here/check-backdrop.sh" "$shot" || status=1
"$here/check-wait-box.sh" "$wait_shot" || status=1
exit $status
