#!/usr/bin/env bash
# Footprint of brdwall.exe while it waits in the tray, next to a minimal tray
# program (tray_baseline.exe) and the same program with common controls 6
# (tray_baseline_cc.exe) started in the same run, the mean CPU time of one start
# of each, then the time and memory of one wallpaper change to a 6000 x 4000 JPEG
# (build/windows/bin/footprint_bench.exe under Wine). Prints the figures and the
# ratios brdwall / baseline. Builds nothing: build the windows preset first.
#
#   scripts/bench-footprint.sh          FOOTPRINT_SECONDS=N sets the idle wait (default 60)
#
# Runs in a Wine prefix of its own (build/wine-footprint, made on first use, about
# 20 s), so that tests running at the same time in the shared prefix neither meet
# a second brdwall.exe nor see their wallpaper setting change; that prefix's
# wineserver and display are stopped at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
work="$root/build/bench"
exe="$root/build/windows/bin/footprint_bench.exe"
seconds="${FOOTPRINT_SECONDS:-60}"

case "$seconds" in
*[!0-9]* | '')
    echo "FOOTPRINT_SECONDS must be a whole number of seconds" >&2
    exit 2
    ;;
esac
if [ ! -f "$exe" ]; then
    echo "$exe is missing: build the windows preset first" >&2
    echo "  (cmake --preset windows && cmake --build --preset windows)" >&2
    exit 1
fi
if ! command -v convert >/dev/null; then
    echo "convert (ImageMagick) is missing: run scripts/setup.sh" >&2
    exit 1
fi

# The test picture, made once: a 6000 x 4000 fractal "photo", JPEG quality 90 with
# 4:2:0 chroma subsampling as most cameras write.
mkdir -p "$work"
picture="$work/footprint-6000x4000.jpg"
if [ ! -f "$picture" ]; then
    echo "Making the test picture $picture (once, about 25 s)..."
    convert -seed 1 -size 6000x4000 plasma:fractal -sampling-factor 2x2 -quality 90 "$work/footprint-making.jpg"
    mv "$work/footprint-making.jpg" "$picture"
fi

export BRD_WINE_STATE="${FOOTPRINT_WINE_STATE:-$root/build/wine-footprint}"
unset BRD_WINEPREFIX
stop_wine() { "$root/scripts/wine-run.sh" --stop; }
trap stop_wine EXIT

# A crash prints its backtrace and ends the process, instead of waiting on a dialog
# that nobody sees (and holding our output open).
"$root/scripts/wine-run.sh" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1

to_windows() { printf 'Z:%s' "${1//\//\\}"; }
timeout $((seconds + 900)) "$root/scripts/wine-run.sh" "$exe" --seconds "$seconds" --jpeg "$(to_windows "$picture")" \
    </dev/null | tr -d '\r'
