#!/bin/bash
# Size and speed of szddc against mscompress, per file and in total.
#   bench.sh SZDDC WORKDIR [PAYLOAD_DIR]
# Inputs: the payload files (when PAYLOAD_DIR exists) and a mixed corpus of a
# few MB taken from this machine in a fixed order: text from /usr/share/doc,
# PE files from Wine, an ELF, and generated fixed-width records.
set -euo pipefail
export LC_ALL=C

szddc=$(realpath "$1")
work=$2
payload=${3:-}
command -v mscompress >/dev/null || { echo "bench-szdd: mscompress not installed" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/corpus" "$work/ours" "$work/ms"

# Copies files from the list on stdin, in order, into corpus/ with the given
# prefix until about `budget` bytes are taken, each distinct content once.
declare -A seen
take() {
  local prefix=$1 budget=$2 taken=0 f size sum rel name
  while IFS= read -r f; do
    [ -f "$f" ] && [ -r "$f" ] || continue
    sum=$(md5sum < "$f")
    [ -z "${seen[$sum]:-}" ] || continue  # the same text under several names
    seen[$sum]=1
    size=$(stat -c %s "$f")
    [ "$size" -ge 16 ] || continue  # mscompress mangles tiny inputs
    [ $((taken + size)) -le "$budget" ] || continue
    # Named after the package folder under /usr/share/doc, or the file alone.
    case $f in
      /usr/share/doc/*/*) rel=${f#/usr/share/doc/}; name=${rel%%/*}_$(basename "$f") ;;
      *) name=$(basename "$f") ;;
    esac
    cp "$f" "$work/corpus/$prefix$name"
    taken=$((taken + size))
  done
}

find /usr/share/doc -type f ! -name '*.gz' -size +24k | sort | take text- 1000000
wine_dir=/usr/lib/i386-linux-gnu/wine/i386-windows
for n in comctl32.dll user32.dll notepad.exe regedit.exe winhlp32.exe lz32.dll \
         comdlg32.dll gdi32.dll; do echo "$wine_dir/$n"; done | take pe- 1600000
echo /bin/bash | take elf- 1300000
# Fixed-width records: numbered rows padded with spaces, then zero-filled
# binary blocks, the way scripts and indexes are stored.
awk 'BEGIN {
  for (i = 0; i < 6000; i++)
    printf "%06d %-20s %-30s %8.2f%13s\r\n", i, "SCENE-" (i * 7919 % 1000),
           (i % 3 ? "INT. KITCHEN - NIGHT" : "EXT. STREET - DAY"), i * 1.25, ""
}' > "$work/corpus/records-rows.txt"
awk 'BEGIN { for (i = 0; i < 3000; i++) { printf "%c%c%c%c", i % 256, int(i / 256), 65 + i % 26, 0;
             for (k = 0; k < 60; k++) printf "%c", 0 } }' > "$work/corpus/records-blocks.bin"

inputs=()
if [ -n "$payload" ] && [ -d "$payload" ]; then
  echo "payload: $payload"
  # A snapshot, so that a generator rewriting the folder meanwhile is harmless.
  mkdir -p "$work/payload"
  for f in "$payload"/*; do
    case $f in *.part | *.tmp) continue ;; esac
    [ -f "$f" ] && cp "$f" "$work/payload/" 2>/dev/null && inputs+=("$work/payload/$(basename "$f")")
  done
else
  echo "payload: none (no ${payload:-payload folder} yet); corpus only"
fi
for f in "$work"/corpus/*; do inputs+=("$f"); done

# Wall-clock microseconds, read without forking.
ms() { awk -v n="$1" 'BEGIN { printf "%.1f", n / 1e3 }'; }

printf '%-44s %10s %10s %10s %7s %9s %9s\n' file bytes ours mscompress ratio ours_ms ms_ms
sum() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", a + b }'; }
report_total() {
  local label=$1 n=$2 o=$3 m=$4 to=$5 tm=$6
  printf '%-44s %10s %10s %10s %7s %9s %9s\n' "$label" "$n" "$o" "$m" \
    "$(awk -v o="$o" -v m="$m" 'BEGIN { printf "%.4f", m ? o / m : 0 }')" "$(ms "$to")" "$(ms "$tm")"
  awk -v o="$o" -v m="$m" -v to="$to" -v tm="$tm" -v l="$label" 'BEGIN {
    printf "%s: size ratio %.4f (target <= 0.965: %s), speed %.1fx mscompress (target >= 10: %s)\n",
      l, o / m, (o / m <= 0.965) ? "met" : "NOT met", tm / to, (tm / to >= 10) ? "met" : "NOT met" }'
}

declare -A tn to tm tto ttm
for g in payload corpus all; do tn[$g]=0; to[$g]=0; tm[$g]=0; tto[$g]=0; ttm[$g]=0; done
for f in "${inputs[@]}"; do
  name=$(basename "$f")
  case $f in "$work"/corpus/*) group=corpus ;; *) group=payload ;; esac
  size=$(stat -c %s "$f")

  cp "$f" "$work/ms/$name"
  # Best of three runs each, so that a busy machine disturbs the figures less.
  best_o= best_m=
  for run in 1 2 3; do
    t0=${EPOCHREALTIME/[.,]/}
    "$szddc" "$f" "$work/ours/$name.sz"
    t1=${EPOCHREALTIME/[.,]/}
    rm -f "$work/ms/${name}_"  # mscompress will not replace its output
    t2=${EPOCHREALTIME/[.,]/}
    mscompress "$work/ms/$name"
    t3=${EPOCHREALTIME/[.,]/}
    d=$((10#$t1 - 10#$t0)); [ -n "$best_o" ] && [ "$best_o" -le "$d" ] || best_o=$d
    d=$((10#$t3 - 10#$t2)); [ -n "$best_m" ] && [ "$best_m" -le "$d" ] || best_m=$d
  done
  o=$(stat -c %s "$work/ours/$name.sz")
  m=$(stat -c %s "$work/ms/${name}_")
  printf '%-44s %10d %10d %10d %7s %9s %9s\n' "${group:0:1}:${name:0:42}" "$size" "$o" "$m" \
    "$(awk -v o="$o" -v m="$m" 'BEGIN { printf "%.4f", o / m }')" "$(ms "$best_o")" "$(ms "$best_m")"
  for g in "$group" all; do
    tn[$g]=$(sum "${tn[$g]}" "$size"); to[$g]=$(sum "${to[$g]}" "$o"); tm[$g]=$(sum "${tm[$g]}" "$m")
    tto[$g]=$(sum "${tto[$g]}" "$best_o"); ttm[$g]=$(sum "${ttm[$g]}" "$best_m")
  done
done
echo
for g in payload corpus all; do
  [ "${tn[$g]}" != 0 ] || continue
  report_total "total $g" "${tn[$g]}" "${to[$g]}" "${tm[$g]}" "${tto[$g]}" "${ttm[$g]}"
done
echo "(sizes are whole images with their 14-byte headers; times are wall-clock per process, best of 3)"
