#!/usr/bin/env bash
# `make bench-install`: an install under Wine against its floor and a peer.
#   bench.sh                QM_BENCH_RUNS=N rounds (default 5), each in fresh
#                           copies of the template prefix (made first if missing)
# Each round, interleaved, each in a prefix of its own:
#   - the floor (floor.exe): the 29 files of the install folder written from
#     memory into a new folder, then the program started;
#   - setup.exe built with its moments noted (bench/install/marks.cpp), driven
#     through the install-twice scenario: a fresh install, then one over it.
#     The marks give its phases: the file phase (from the wait box to the
#     files in place), the records with the uninstaller, the shortcuts and the
#     launch; the driver gives "Accept" to the end of setup.exe (it polls
#     every 25 ms);
#   - the peer installer (quillmark.nsi, zlib), run silently between two runs
#     of a program that does nothing, whose mean is taken off; and again in a
#     prefix of its own, built without the start of the program.
# Then the medians, and the ratios: the file phase to the floor's writing,
# and the install work to the peer's, with the start of the program (Accept
# to the launch) and without it (Accept to the shortcuts).  Where 32-bit
# programs run through qemu, a program takes seconds to start, and the
# shell's start of the program waits until it is ready for input: that
# start, the same for both, is most of the first ratio there.  It times, and
# asserts nothing.
set -uo pipefail
here=$(dirname "$0")
. "$here/../../tests/harness/env.sh"
. "$ROOT/tests/harness/prefix.sh"
need_wine

runs=${QM_BENCH_RUNS:-5}
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "QM_BENCH_RUNS must be a positive number"
bench=$BUILD/bench
driver=$BUILD/tests/driver.exe
for program in "$driver" "$bench"/{setup,floor,empty,timed_run,nsis-zlib,nsis-zlib-no-launch}.exe; do
    [ -f "$program" ] || die "no $program (make bench-install builds it)"
done
"$ROOT/tests/harness/make-template.sh" --if-missing || exit 2

dir=$RUNS/bench-install
figures=$(mktemp)
said=$(mktemp)  # to a file, not a pipe: the program started keeps its end open
trap 'prefix_destroy "$dir"; rm -f "$figures" "$said"' EXIT
folder='C:\Program Files\Quillmark'
names=$(cd "$BUILD/payload/files" && ls | grep -vx qmkuins1.exe)

# figure NAME MS: one figure of this round.
figure() { echo "$1|$2" >> "$figures"; }

echo "bench-install: $runs round(s)"
for run in $(seq 1 "$runs"); do
    prefix=$(prefix_create "$dir") || exit 2
    WINEPREFIX=$prefix wine "$bench/floor.exe" "$(winpath "$BUILD/payload/files")" "$folder" \
        Quillmark.exe $names > "$said"
    prefix_destroy "$dir"
    out=$(tr -d '\r' < "$said")
    read -r _ _ writing _ starting <<<"$out"
    [[ ${writing:-} =~ ^[0-9]+$ ]] || die "round $run: the floor failed: $out"
    figure "floor: writing" "$writing"
    figure "floor: starting" "$starting"

    prefix=$(prefix_create "$dir") || exit 2
    rm -f "$bench/setup.exe.marks"
    log=$(WINEPREFIX=$prefix "$WINE64" "$driver" --setup="$(winpath "$bench/setup.exe")" \
              --root="$(winpath "$ROOT")" --build="$(winpath "$BUILD")" --timing install-twice | tr -d '\r')
    status=${PIPESTATUS[0]}
    prefix_destroy "$dir"
    timing=$(grep '^# timing ' <<<"$log")
    if [ "$status" -ne 0 ] || [ "$(wc -l <<<"$timing")" -ne 2 ] || [ "$(wc -l < "$bench/setup.exe.marks")" -ne 2 ]; then
        grep -E '^(FAIL|# timing)' <<<"$log"
        die "round $run: setup.exe failed (exit status $status); no figures"
    fi
    # "# timing first install: Accept to the end of setup.exe N ms; ..."
    sed -E 's/^# timing ([a-z]+) install: .* ([0-9]+) ms; .* [0-9]+ ms$/\1|\2/' <<<"$timing" |
        while IFS='|' read -r which ended; do figure "$which install: Accept to the end (driver)" "$((ended * 1000))"; done
    # A line of marks: the frequency, then Accepted, WaitBoxUp, FilesWritten,
    # Registered, ShortcutsMade, Launched (setup/bench_marks.h).
    which=first
    while read -r f accepted wait files records shortcuts launched; do
        us() { echo $(( (0x$2 - 0x$1) * 1000000 / 0x$f )); }
        figure "$which install: file phase" "$(us "$wait" "$files")"
        figure "$which install: records" "$(us "$files" "$records")"
        figure "$which install: shortcuts" "$(us "$records" "$shortcuts")"
        figure "$which install: launch" "$(us "$shortcuts" "$launched")"
        figure "$which install: Accept to the launch" "$(us "$accepted" "$launched")"
        figure "$which install: Accept to the shortcuts" "$(us "$accepted" "$shortcuts")"
        which=second
    done < "$bench/setup.exe.marks"

    for peer in nsis-zlib nsis-zlib-no-launch; do
        prefix=$(prefix_create "$dir") || exit 2
        WINEPREFIX=$prefix "$WINE64" "$bench/timed_run.exe" "$(winpath "$bench/empty.exe")" -- \
            "$(winpath "$bench/$peer.exe")" -- "$(winpath "$bench/empty.exe")" > "$said"
        prefix_destroy "$dir"
        out=$(tr -d '\r' < "$said")
        mapfile -t took < <(sed -n 's/^run \([0-9]*\) microseconds$/\1/p' <<<"$out")
        [ "${#took[@]}" -eq 3 ] || die "round $run: the peer failed: $out"
        work="peer (zlib): install work"
        [ "$peer" = nsis-zlib ] || work="$work without the launch"
        figure "$work" "$(( took[1] - (took[0] + took[2]) / 2 ))"
        figure "peer (zlib): empty program" "$(( (took[0] + took[2]) / 2 ))"
    done
    echo "  round $run done"
done

median() { grep -F "$1|" "$figures" | cut -d'|' -f2 | sort -n | awk '{ v[NR] = $1 }
    END { print NR % 2 ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
echo
echo "Medians over $runs round(s), ms:"
cut -d'|' -f1 "$figures" | awk '!seen[$0]++' | while read -r name; do
    printf '  %-48s %8.1f\n' "$name" "$(median "$name" | awk '{ print $1 / 1000 }')"
done
ratio() { awk -v a="$(median "$1")" -v b="$(median "$2")" 'BEGIN { printf "%.2f", a / b }'; }
echo
echo "Ratios of the medians:"
echo "  file phase of the first install / the floor's writing:  $(ratio 'first install: file phase' 'floor: writing')x"
echo "  install work (Accept to the launch) / the peer's:        $(ratio 'first install: Accept to the launch' 'peer (zlib): install work')x"
echo "  install work without the launch / the peer's:            $(ratio 'first install: Accept to the shortcuts' 'peer (zlib): install work without the launch')x"
