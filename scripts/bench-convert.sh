#!/usr/bin/env bash
# Times converting a large JPEG photo to a 24-bit bitmap file, in the same run:
# the reference decoder (`djpeg -bmp`) and the program's own conversion
# (build/windows/bin/convert_bench.exe under Wine), on the same picture.
# Prints both timings (best and median), the memory figures and the ratio
# program / reference. Builds nothing: build the windows preset first
# (`make bench` does).
#
#   scripts/bench-convert.sh [runs] [--phases]
#
# runs      repetitions on each side (default 5)
# --phases  also let the program time its conversion step by step
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
work="$root/build/bench"
exe="$root/build/windows/bin/convert_bench.exe"
goal=1.5

runs=5
phases=()
for arg in "$@"; do
    case "$arg" in
    --phases) phases=(--phases) ;;
    *[!0-9]* | '' | 0)
        echo "usage: $0 [runs] [--phases]" >&2
        exit 2
        ;;
    *) runs=$arg ;;
    esac
done

if [ ! -f "$exe" ]; then
    echo "$exe is missing: build the windows preset first" >&2
    echo "  (cmake --preset windows && cmake --build --preset windows, or make bench)" >&2
    exit 1
fi
for tool in djpeg convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: run scripts/setup.sh" >&2
        exit 1
    fi
done

# The test picture, made once: a 6000 x 4000 fractal "photo", JPEG quality 90 with
# 4:2:0 chroma subsampling as most cameras write.
mkdir -p "$work"
picture="$work/photo-6000x4000.jpg"
if [ ! -f "$picture" ]; then
    echo "Making the test picture $picture (once, about 15 s)..."
    convert -seed 1 -size 6000x4000 plasma:fractal -sampling-factor 2x2 -quality 90 "$work/making.jpg"
    mv "$work/making.jpg" "$picture"
fi

# Best and median of a list of numbers, one a line.
best_median() {
    sort -n | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%.1f %.1f\n", v[1], m }'
}

# The reference: one process per conversion, timed from outside.
reference_bmp="$work/reference.bmp"
times="$work/reference-times.txt"
rss="$work/reference-rss.txt"
: >"$times"
: >"$rss"
for _ in $(seq 1 "$runs"); do
    start=$(date +%s%N)
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f %M -a -o "$rss" djpeg -bmp -outfile "$reference_bmp" "$picture"
    else
        djpeg -bmp -outfile "$reference_bmp" "$picture"
    fi
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e6 }' >>"$times"
done
read -r ref_best ref_median < <(best_median <"$times")
ref_rss=""
[ -s "$rss" ] && ref_rss=$(sort -n "$rss" | tail -1 | awk '{ printf "%.1f MiB", $1 / 1024 }')

# The program: every conversion in one process, timed inside it.
program_bmp="$work/program.bmp"
to_windows() { printf 'Z:%s' "${1//\//\\}"; }
output=$("$root/scripts/wine-run.sh" "$exe" "$(to_windows "$picture")" "$(to_windows "$program_bmp")" "$runs" \
    "${phases[@]}" | tr -d '\r')
read -r prog_best prog_median < <(sed -n 's/^conversion ([0-9]* runs): best \([0-9.]*\) ms, median \([0-9.]*\) ms$/\1 \2/p' \
    <<<"$output") || true
if [ -z "${prog_best:-}" ]; then
    echo "convert_bench gave no timing:" >&2
    echo "$output" >&2
    exit 1
fi

size_of() { stat -c %s "$1"; }
echo
echo "Converting $picture ($(size_of "$picture") bytes) to a 24-bit bitmap, $runs runs each"
echo
echo "Reference, djpeg -bmp (one process per run):"
printf '  best %8.1f ms   median %8.1f ms\n' "$ref_best" "$ref_median"
[ -n "$ref_rss" ] && echo "  peak resident memory $ref_rss"
echo "  bitmap: $(size_of "$reference_bmp") bytes"
echo
echo "Program, PictureRows + SavePictureRowsAsBitmap under Wine (convert_bench.exe):"
echo "  ${output//$'\n'/$'\n'  }"
echo "  bitmap: $(size_of "$program_bmp") bytes"
echo
awk -v pb="$prog_best" -v pm="$prog_median" -v rb="$ref_best" -v rm="$ref_median" -v goal="$goal" 'BEGIN {
    printf "Ratio program / reference: best %.2f, median %.2f (goal: at most %.1f) -> %s\n",
        pb / rb, pm / rm, goal, pb / rb <= goal ? "within the goal" : "above the goal" }'

# The preview click once more, on a noisy photo that compresses badly (about 13 MB): more bytes to
# read and keep, and more work for the decoder.
noisy="$work/noisy-6000x4000.jpg"
if [ ! -f "$noisy" ]; then
    echo "Making the noisy test picture $noisy (once)..."
    convert -seed 2 -size 6000x4000 plasma:fractal -seed 3 -attenuate 1.5 +noise Gaussian \
        -sampling-factor 2x2 -quality 90 "$work/making.jpg"
    mv "$work/making.jpg" "$noisy"
fi
echo
echo "Preview click on $noisy ($(size_of "$noisy") bytes), $runs runs:"
"$root/scripts/wine-run.sh" "$exe" "$(to_windows "$noisy")" "$(to_windows "$program_bmp")" "$runs" --preview-only |
    tr -d '\r' | sed 's/^/  /'
