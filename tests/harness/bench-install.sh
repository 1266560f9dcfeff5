#!/usr/bin/env bash
# `make bench-install`: how long a complete install takes under Wine.
#   bench-install.sh        QM_BENCH_RUNS=N runs (default 3), each in a fresh
#                           copy of the template prefix (made first if missing)
#   QM_SETUP=FILE           another setup.exe
# Each run is the install-twice scenario with the driver in timing mode: a
# fresh install, then a reinstall over it.  For both it prints the time from
# pressing "Accept" to the end of setup.exe and to the installed program's
# window, then the median and range of each figure over the runs.  The driver
# polls every 25 ms; 32-bit programs run through qemu here.
set -uo pipefail
here=$(dirname "$0")
. "$here/env.sh"
. "$here/prefix.sh"
need_wine

runs=${QM_BENCH_RUNS:-3}
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "QM_BENCH_RUNS must be a positive number"
driver=$BUILD/tests/driver.exe
setup=${QM_SETUP:-$BUILD/setup.exe}
[ -f "$driver" ] || die "no $driver (make build/tests/driver.exe)"
[ -f "$setup" ] || die "no $setup (make build/setup.exe)"
"$here/make-template.sh" --if-missing || exit 2

dir=$RUNS/bench-install
figures=$(mktemp)
trap 'prefix_destroy "$dir"; rm -f "$figures"' EXIT

echo "bench-install: $runs run(s) of $setup"
for run in $(seq 1 "$runs"); do
    prefix=$(prefix_create "$dir") || exit 2
    log=$(WINEPREFIX=$prefix "$WINE64" "$driver" --setup="$(winpath "$setup")" --root="$(winpath "$ROOT")" \
              --build="$(winpath "$(dirname "$setup")")" --timing install-twice | tr -d '\r')
    status=${PIPESTATUS[0]}
    prefix_destroy "$dir"
    timing=$(grep '^# timing ' <<<"$log")
    if [ "$status" -ne 0 ] || [ "$(wc -l <<<"$timing")" -ne 2 ]; then
        grep -E '^(FAIL|# timing)' <<<"$log"
        die "run $run failed (exit status $status); no figures"
    fi
    # "# timing first install: Accept to the end of setup.exe N ms; Accept to the program's window M ms"
    sed -E 's/^# timing ([a-z ]+): .* ([0-9]+) ms; .* ([0-9]+) ms$/\1|\2|\3/' <<<"$timing" |
        while IFS='|' read -r what ended window; do
            printf '  run %d, %-15s Accept -> setup.exe ended %6d ms   Accept -> Quillmark window %6d ms\n' \
                "$run" "$what:" "$ended" "$window"
            echo "$what|$ended|$window" >> "$figures"
        done
done

echo
echo "Over $runs run(s), from pressing \"Accept\" (median, min-max, ms):"
for what in "first install" "second install"; do
    for column in 2 3; do
        label=$([ "$column" = 2 ] && echo "to the end of setup.exe" || echo "to the program's window")
        grep "^$what|" "$figures" | cut -d'|' -f"$column" | sort -n |
            awk -v what="$what" -v label="$label" '
                { v[NR] = $1 }
                END {
                    median = NR % 2 ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)
                    printf "  %-15s %-26s %6d ms   (%d-%d)\n", what ":", label, median, v[1], v[NR]
                }'
    done
done
