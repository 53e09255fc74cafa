#!/usr/bin/env bash
# End-to-end suite: the shipped program in a fresh Wine prefix on a private display with
# a window manager, driven by real X input.  usage: tests/e2e/run.sh [SCENARIO_NAME_PART]
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
exe="$root/dist/x64/qzTetherly.exe"
probe="$root/build/windows/tests/e2e/e2e_probe.exe"
art="$root/build/windows/e2e-artifacts"
if [ ! -f "$exe" ] || [ ! -f "$probe" ]; then
    echo "e2e: run first: cmake --preset windows && cmake --build --preset windows" >&2
    exit 1
fi
rm -rf "$art" "$root/build/windows/e2e-prefix"
mkdir -p "$art"
export LANG=en_US.UTF-8
# shellcheck source=scripts/winenv.sh
source "$root/scripts/winenv.sh"
trap winenv_stop EXIT
trap 'exit 130' INT TERM
winenv_start "$root/build/windows/e2e-prefix" wm "$here/openbox-rc.xml" || exit 1

# The browser Wine starts records the addresses it is handed; Chinese fonts for the menus.
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$art/browser.log" >"$art/browser.sh"
chmod +x "$art/browser.sh"
{
    printf 'Windows Registry Editor Version 5.00\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n'
    for font in SimSun NSimSun SimHei "Microsoft YaHei" "Microsoft YaHei UI"; do
        printf '"%s"="WenQuanYi Micro Hei"\n' "$font"
    done
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]\n"Browsers"="%s"\n' "$art/browser.sh"
} >"$art/setup.reg"
wine reg import "$(winepath -w "$art/setup.reg")" </dev/null >"$art/reg-import.log" 2>&1

cd "$here" && python3 scenarios.py "$root" "$exe" "$probe" "$art" "${1:-}"
