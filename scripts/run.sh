#!/usr/bin/env bash
# Starts brdwall.exe in a Wine virtual desktop (with its taskbar and tray) on
# the user's display, or on a private Xvfb display when there is none.
#
#   scripts/run.sh          start (an earlier run's program is ended first)
#   scripts/run.sh --stop   end the program and its desktop
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The run has a Wine prefix of its own, apart from the tests'.
export BRD_WINE_STATE="$root/build/wine-run"
app="$root/build/run"             # the program's folder; its settings stay between runs
bin="$root/build/windows/bin"

if [ "${1:-}" = "--stop" ]; then
    "$root/scripts/wine-run.sh" --stop
    echo "brdwall stopped."
    exit 0
fi

[ -f "$bin/brdwall.exe" ] || { echo "error: $bin/brdwall.exe is not built; run 'make run'" >&2; exit 1; }

headless=0
[ -n "${DISPLAY:-}" ] || headless=1

# End an earlier run first, so that the newly built program is the one that runs.
WINEPREFIX="$BRD_WINE_STATE/prefix" wineserver -k >/dev/null 2>&1 || true

mkdir -p "$app"
cp -f "$bin/brdwall.exe" "$bin/brdsave.dll" "$app/"
eval "$("$root/scripts/wine-run.sh" --env)"

# One 55-byte record of the settings file: marker (17 bytes), top and left (32-bit, little-endian),
# data (30 bytes), the texts padded with blanks.
record() {
    local marker=$1 data=$2
    printf '%-17s' "$marker"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00'
    printf '%-30s' "$data"
}

# A first run (no settings and no list yet) is given three sample pictures, drawn here, in the
# Windows folder and a saved list of them with rotation on: "Save above settings", "Every",
# "priority", every hour. The first picture is applied at start.
if [ "${BRD_SAMPLES:-1}" != 0 ] && [ ! -e "$app/wallpape.ini" ] && [ ! -e "$app/Wpaper.dat" ]; then
    windows="$WINEPREFIX/drive_c/windows"
    convert -size 1280x800 gradient:'#16325c'-'#f2a541' -quality 90 "$windows/brdsample_dawn.jpg"
    convert -seed 7 -size 1280x800 plasma:'#0b6e4f'-'#a8e6cf' -blur 0x3 BMP3:"$windows/brdsample_leaves.bmp"
    convert -size 1280x800 radial-gradient:'#fff3b0'-'#6a1b4d' -colors 64 "$windows/brdsample_sun.gif"
    printf '"brdsample_dawn.jpg"\r\n"brdsample_leaves.bmp"\r\n"brdsample_sun.gif"\r\n' >"$app/Wpaper.dat"
    {
        head -c $((4 * 55)) /dev/zero
        record "[WallpaperLoc]" "CheckCheckEmptyPrior 4"
    } >"$app/wallpape.ini"
    echo "First run: three sample pictures (brdsample_*.jpg, .bmp, .gif) were put into the Windows folder"
    echo "and a saved list of them, rotated every hour, into $app."
fi

wine_bin=$(command -v wine64 || echo /usr/lib/wine/wine64)
cd "$app"
setsid "$wine_bin" explorer /desktop=brdwall,1280x800 "$app/brdwall.exe" \
    </dev/null >"$BRD_WINE_STATE/run.log" 2>&1 &

# Wait for the program's hidden main window and its tray icon, and for a first change.
for _ in $(seq 1 60); do
    sleep 0.5
    if pgrep -f 'brdwall\.exe' >/dev/null; then break; fi
done
sleep 4
# Wine's virtual desktop does not draw its taskbar again after a wallpaper has been painted over
# it; showing the desktop's window afresh has everything drawn again.
if command -v xdotool >/dev/null; then
    desktop=$(xdotool search --onlyvisible --name '^brdwall' 2>/dev/null | head -1 || true)
    if [ -n "$desktop" ]; then
        xdotool windowunmap "$desktop" && sleep 0.3 && xdotool windowmap "$desktop" && sleep 1 || true
    fi
fi

echo
echo "brdwall.exe is running in a Wine virtual desktop named 'brdwall' (1280x800)."
echo "  Program folder (settings and list files): $app"
if [ "$headless" = 1 ]; then
    shot="$app/screenshot.png"
    import -window root -display "$DISPLAY" "$shot" 2>/dev/null || true
    echo "  No display was set, so it runs on the virtual display $DISPLAY (Xvfb)."
    echo "  A screenshot of the desktop was written to: $shot"
    echo "  Take another with:  import -window root -display $DISPLAY shot.png"
else
    echo "  Its desktop window is on your display $DISPLAY; the tray icon is at the right of its taskbar."
fi
echo "  Right-click the tray icon for the menu. End it with ' Remove  ' or 'make stop'."
