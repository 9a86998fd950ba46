#!/usr/bin/env bash
# Runs one Windows program under Wine, with the project's own Wine prefix
# inside the build tree, a persistent wineserver and, when no display is set,
# a private Xvfb display. Used by CTest as the cross-compiling emulator.
#
#   scripts/wine-run.sh prog.exe [args...]   run a program
#   scripts/wine-run.sh --env                print the environment to use
#   scripts/wine-run.sh --stop               stop the wineserver and our Xvfb
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
state="${BRD_WINE_STATE:-$root/build/wine}"
mkdir -p "$state"

export WINEPREFIX="${BRD_WINEPREFIX:-$state/prefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install dialogs in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

wine_bin=$(command -v wine64 || true)
[ -n "$wine_bin" ] || wine_bin=/usr/lib/wine/wine64
wineserver_bin=$(command -v wineserver || true)
[ -n "$wineserver_bin" ] || wineserver_bin=/usr/lib/wine/wineserver

stop_all() {
    WINEPREFIX="$WINEPREFIX" "$wineserver_bin" -k >/dev/null 2>&1 || true
    rm -f "$state/desktop.pid"
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" >/dev/null 2>&1 || true
        rm -f "$state/xvfb.pid" "$state/xvfb.display"
    fi
}

ensure_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    if [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
        DISPLAY=$(cat "$state/xvfb.display"); export DISPLAY
        return 0
    fi
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    setsid Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    echo ":$n" >"$state/xvfb.display"
    for _ in $(seq 1 100); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.05
    done
    export DISPLAY=":$n"
}

ensure_prefix() {
    if [ ! -f "$WINEPREFIX/.brd-ready" ]; then
        "$wine_bin" wineboot --init </dev/null >>"$state/wineboot.log" 2>&1 || true
        "$wineserver_bin" -w
        touch "$WINEPREFIX/.brd-ready"
    fi
    if [ ! -f "$WINEPREFIX/.brd-settings" ]; then
        local reg=("$wine_bin" reg add)
        # Every program of this prefix runs inside the one virtual desktop named brdwall, which
        # has a taskbar with a notification area.
        "${reg[@]}" 'HKCU\Software\Wine\Explorer' /v Desktop /d brdwall /f </dev/null >>"$state/wineboot.log" 2>&1
        "${reg[@]}" 'HKCU\Software\Wine\Explorer\Desktops' /v brdwall /d 1280x800 /f \
            </dev/null >>"$state/wineboot.log" 2>&1
        # A crashing test program ends at once instead of starting the debugger, which would wait
        # for ever and keep the test run from finishing.
        "${reg[@]}" 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
            </dev/null >>"$state/wineboot.log" 2>&1
        "${reg[@]}" 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 0 /f \
            </dev/null >>"$state/wineboot.log" 2>&1
        touch "$WINEPREFIX/.brd-settings"
    fi
    # Drive R: stands for a drive that comes and goes (a USB stick, a share mapped late): it is
    # there while C:\brdtest_removable is. On Windows the tests make it with DefineDosDevice, which
    # Wine's file system does not follow.
    [ -L "$WINEPREFIX/dosdevices/r:" ] || ln -s ../drive_c/brdtest_removable "$WINEPREFIX/dosdevices/r:"
    # A persistent server makes each later Wine process start in a fraction of a second.
    "$wineserver_bin" -p </dev/null >/dev/null 2>&1 || true
    # Start Wine's own services and the virtual desktop detached from our output:
    # started later by a program, they would inherit its output pipe and keep
    # whoever reads it (CTest) waiting for them.
    "$wine_bin" reg query 'HKCU\Software\Wine\Explorer' </dev/null >/dev/null 2>&1 || true
    if ! { [ -f "$state/desktop.pid" ] && kill -0 "$(cat "$state/desktop.pid")" 2>/dev/null; }; then
        setsid "$wine_bin" explorer /desktop=brdwall,1280x800 </dev/null >/dev/null 2>&1 &
        echo $! >"$state/desktop.pid"
        sleep 1
    fi
}

case "${1:-}" in
--stop)
    stop_all
    exit 0
    ;;
esac

# One set-up at a time when CTest runs programs in parallel.
exec 9>"$state/setup.lock"
flock 9
ensure_display
ensure_prefix
flock -u 9
exec 9>&-

if [ "${1:-}" = "--env" ]; then
    echo "export WINEPREFIX='$WINEPREFIX' WINEARCH=win64 WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DISPLAY='$DISPLAY'"
    exit 0
fi

exec "$wine_bin" "$@"
