#!/usr/bin/env bash
# `make bench-integrity`: runs build/bench/integrity.exe, which carries the
# same files as setup.exe, in a scratch copy of the template prefix.
set -uo pipefail
here=$(dirname "$0")/../../tests/harness
. "$here/env.sh"
. "$here/prefix.sh"
need_wine
exe=$BUILD/bench/integrity.exe
[ -f "$exe" ] || die "no $exe (make $exe)"
"$here/make-template.sh" --if-missing || exit 2
dir=$RUNS/bench-integrity
prefix=$(prefix_create "$dir") || exit 2
trap 'prefix_destroy "$dir"' EXIT
WINEPREFIX=$prefix wine "$exe" | tr -d '\r'
exit "${PIPESTATUS[0]}"
