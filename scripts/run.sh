#!/usr/bin/env bash
# Builds qzTetherly.exe (x86_64 and i686) and starts the x86_64 one under Wine:
# on your X display when there is one, otherwise on a private virtual display,
# from which a screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target qzTetherly
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86 --target qzTetherly
exe="$root/dist/x64/qzTetherly.exe"
echo "built: $exe and $root/dist/x86/qzTetherly.exe"

export WINEPREFIX="$root/build/windows/run-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "starting on $DISPLAY (quit from the tray icon's menu)"
    exec wine "$exe"
fi

# No display: a private Xvfb with a window manager.
# shellcheck source=scripts/winenv.sh
source scripts/winenv.sh
trap winenv_stop EXIT
winenv_start "$WINEPREFIX" wm
wine "$exe" &
for _ in $(seq 1 100); do
    xdotool search --onlyvisible --name "Tetherly 1.2" >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 1
shot="$root/build/windows/run-screenshot.png"
import -window root "$shot"
echo "no X display found: started on the private display $DISPLAY; screenshot saved to $shot"
if [ -t 0 ]; then
    read -r -p "press Enter to stop the program " _
fi
