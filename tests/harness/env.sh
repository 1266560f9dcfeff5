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

# 32-bit programs go through qemu; without a reserved area every start takes
# about a minute.  A crash must end the process, never start the debugger.
export QEMU_RESERVED_VA=0x81000000
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
unset WINEARCH

die() { echo "$(basename "$0"): $*" >&2; exit 2; }

need_wine() {
    [ -n "$WINE64" ] && [ -x "$WINE64" ] || die "wine64 not found (run tools/deps.sh)"
    [ -n "$WINESERVER" ] && [ -x "$WINESERVER" ] || die "wineserver not found (run tools/deps.sh)"
}
