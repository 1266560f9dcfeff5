# Shared settings of the Wine harness; sourced by the other scripts.
# Sets ROOT (the repository), BUILD, WINE64, WINESERVER, TEMPLATE and the
# environment every Wine process of the tests runs with.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=${QM_BUILD:-$ROOT/build}
TEMPLATE=${QM_TEMPLATE:-$BUILD/wine/template}
RUNS=${QM_RUNS:-$BUILD/wine/run}

WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || true)
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)

# Where 32-bit programs go through qemu, without a reserved area every start takes
# about a minute.  A crash must end the process, never start the debugger.
export QEMU_RESERVED_VA=0x81000000
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
unset WINEARCH

die() { echo "$(basename "$0"): $*" >&2; exit 2; }

# winpath PATH: a Linux path as the prefix's programs see it (Z:\...).
winpath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

need_wine() {
    [ -n "$WINE64" ] && [ -x "$WINE64" ] || die "wine64 not found (run tools/deps.sh)"
    [ -n "$WINESERVER" ] && [ -x "$WINESERVER" ] || die "wineserver not found (run tools/deps.sh)"
}

# start_xvfb DIR: a 1024x768 Xvfb on a free display; sets xvfb_pid and exports
# DISPLAY.  DIR takes its display number and log.
start_xvfb() {
    local dir=$1 display=
    command -v Xvfb >/dev/null || die "Xvfb not found (run tools/deps.sh)"
    # Xvfb picks a free display number and writes it to the descriptor given.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 1 200); do  # up to 10 s
        display=$(cat "$dir/display" 2>/dev/null)
        [ -n "$display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$display" ] || die "Xvfb did not start: $(cat "$dir/xvfb.log")"
    export DISPLAY=:$display
}

# use_display PREFIX: let the prefix draw on $DISPLAY instead of the template's
# "null" graphics driver.  Before any Wine process of the prefix starts.
use_display() {
    sed -i '/^"Graphics"="null"$/d' "$1/user.reg"
    ! grep -q '"Graphics"="null"' "$1/user.reg" || die "cannot switch $1 to the X11 driver"
}

# take_screenshots SIGNAL SHOTS PID: takes the screenshots of $DISPLAY that the
# driver (process PID, started with --signal=SIGNAL) asks for, until it ends:
# for each NAME.want in SIGNAL it saves SHOTS/NAME.png and answers with
# NAME.taken (tests/e2e/driver.h, Screenshot).
take_screenshots() {
    local signal=$1 shots=$2 pid=$3 want name
    mkdir -p "$shots"
    while kill -0 "$pid" 2>/dev/null; do
        for want in "$signal"/*.want; do
            [ -e "$want" ] || continue
            name=$(basename "$want" .want)
            rm -f "$want" "$shots/$name.png"
            sleep 0.5  # the last paint of what just came up
            import -display "$DISPLAY" -window root "$shots/$name.png"
            : > "$signal/$name.taken"
        done
        sleep 0.05
    done
}
