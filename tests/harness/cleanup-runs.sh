#!/usr/bin/env bash
# Stops the Wine servers of scenario prefixes left behind by an interrupted run,
# unmounts them and removes them.  Touches only build/wine/run.
set -uo pipefail
. "$(dirname "$0")/env.sh"
. "$(dirname "$0")/prefix.sh"
[ -d "$RUNS" ] || exit 0
for dir in "$RUNS"/*/; do
    [ -d "$dir" ] || continue
    prefix_destroy "${dir%/}"
done
exit 0
