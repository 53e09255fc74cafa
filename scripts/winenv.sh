# Sourced helpers: a private X display and a Wine prefix inside the build tree.
# winenv_start PREFIX [wm [RC]]   starts Xvfb (and openbox when "wm", with config file RC
#                                 when given), prepares PREFIX, warms wineserver
# winenv_stop                stops wineserver, the window manager and Xvfb
# winenv_runs_i386           whether this kernel runs 32-bit programs (32-bit Wine needs it)
# winenv_start also writes PREFIX/winenv.env: sourcing it in another shell
# restores the environment (and the process ids winenv_stop needs).

winenv_free_display() {
    local n=90
    while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do
        n=$((n + 1))
    done
    echo "$n"
}

winenv_start() {
    local prefix="$1" wm="${2:-}" wmrc="${3:-}"
    mkdir -p "$prefix"
    export WINEPREFIX
    WINEPREFIX="$(cd "$prefix" && pwd)"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64

    local n
    n="$(winenv_free_display)"
    Xvfb ":$n" -noreset -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    WINENV_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! xdpyinfo >/dev/null 2>&1; then
        echo "winenv: Xvfb did not start on $DISPLAY" >&2
        return 1
    fi
    setxkbmap -option srvrkeys:none
    WINENV_WM_PID=""
    if [ "$wm" = "wm" ]; then
        openbox ${wmrc:+--config-file "$wmrc"} >/dev/null 2>&1 &
        WINENV_WM_PID=$!
    fi

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i </dev/null >/dev/null 2>&1 || true
        wineserver -w
    fi
    # A warm server makes each test process start in about 0.1 s.
    wineserver -p
    wine wineboot </dev/null >/dev/null 2>&1 || true

    cat >"$WINEPREFIX/winenv.env" <<EOF
export WINEPREFIX='$WINEPREFIX' WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export WINEARCH='$WINEARCH' DISPLAY='$DISPLAY'
WINENV_XVFB_PID='$WINENV_XVFB_PID'
WINENV_WM_PID='$WINENV_WM_PID'
EOF
}

winenv_stop() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ -n "${WINENV_WM_PID:-}" ]; then kill "$WINENV_WM_PID" 2>/dev/null || true; fi
    if [ -n "${WINENV_XVFB_PID:-}" ]; then kill "$WINENV_XVFB_PID" 2>/dev/null || true; fi
    wait 2>/dev/null || true
}

# Some kernels are built without 32-bit support; their exec refuses the 32-bit loader.
winenv_runs_i386() {
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
