#!/usr/bin/env bash
# End-to-end suite: the shipped program on a private X display with a window
# manager, in a fresh Wine prefix, driven by real X input.
# usage: tests/e2e/run.sh [SCENARIO_NAME_PART]
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="$root/build/windows"
exe="$root/dist/x64/qzTetherly.exe"
probe="$build/tests/e2e/e2e_probe.exe"
artifacts="$build/e2e-artifacts"
prefix="$build/e2e-prefix"

for f in "$exe" "$probe"; do
    if [ ! -f "$f" ]; then
        echo "e2e: $f is missing; run: cmake --preset windows && cmake --build --preset windows" >&2
        exit 1
    fi
done

xvfb_pid=""
wm_pid=""
cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi
    if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM

rm -rf "$artifacts" "$prefix"
mkdir -p "$artifacts" "$prefix"

# A display number nobody uses.
n=90
while [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -noreset -screen 0 1280x800x24 -nolisten tcp >"$artifacts/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdpyinfo >/dev/null 2>&1; then
    echo "e2e: Xvfb did not start on $DISPLAY" >&2
    exit 1
fi
# Without this the server eats Ctrl+Alt+F-keys and similar combinations.
setxkbmap -option srvrkeys:none
openbox --config-file "$here/openbox-rc.xml" >"$artifacts/openbox.log" 2>&1 &
wm_pid=$!

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LANG=en_US.UTF-8
started=$(date +%s)
wineboot -i </dev/null >"$artifacts/wineboot.log" 2>&1 || true
wineserver -w

# The browser Wine would start is a recorder of the addresses it is handed.
recorder="$artifacts/browser.sh"
recorder_log="$artifacts/browser.log"
cat >"$recorder" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >>"$recorder_log"
EOF
chmod +x "$recorder"

regfile="$artifacts/setup.reg"
{
    echo 'Windows Registry Editor Version 5.00'
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    for font in SimSun NSimSun SimHei "Microsoft YaHei" "Microsoft YaHei UI"; do
        echo "\"$font\"=\"WenQuanYi Micro Hei\""
    done
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\WineBrowser]'
    echo "\"Browsers\"=\"$recorder\""
} >"$regfile"

wineserver -p
wine reg import "$(winepath -w "$regfile")" </dev/null >>"$artifacts/wineboot.log" 2>&1
wine wineboot </dev/null >/dev/null 2>&1 || true
echo "e2e: display $DISPLAY, prefix ready in $(($(date +%s) - started)) s"

cd "$here"
python3 "$here/scenarios.py" "$root" "$exe" "$probe" "$artifacts" "$recorder_log" "${1:-}"
status=$?
echo "e2e: artefacts in $artifacts"
exit $status
