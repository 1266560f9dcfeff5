#!/usr/bin/env bash
# Runs the Windows-side tests in a fresh copy of the template prefix; with
# --stops, the ones that stop an install at every moment instead.
set -euo pipefail
source "$(dirname "$0")/../harness/env.sh"
source "$(dirname "$0")/../harness/prefix.sh"
need_wine
dir=$RUNS/win-tests${1:+-stops}
prefix=$(prefix_create "$dir")
trap 'prefix_destroy "$dir"' EXIT
# A read-only folder, as Wine shows one: no write permission.  Q: is a small
# drive that fills up.
mkdir -p "$prefix/drive_c/readonly" && chmod a-w "$prefix/drive_c/readonly"
small_drive "$dir" 1m
status=0
WINEPREFIX=$prefix wine "$BUILD/tests/setup_win_test.exe" \
    "$(winpath "$BUILD/payload/files")" "$(winpath "$BUILD/fixtures")" "$@" | tr -d '\r' || status=$?
exit $status
