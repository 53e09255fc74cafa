#!/usr/bin/env bash
# End-to-end suite: the shipped program in a fresh Wine prefix on a private display with
# a window manager, driven by real X input.
# usage: tests/e2e/run.sh [x64|x86] [SCENARIO_NAME_PART]   (x64 when not given)
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
arch=x64 preset=windows
case "${1:-}" in
x64) shift ;;
x86) arch=x86 preset=windows-x86; shift ;;
esac
build="$root/build/$preset"
exe="$root/dist/$arch/qzTetherly.exe"
probe="$build/tests/e2e/e2e_probe.exe"
art="$build/e2e-artifacts"
[ -f "$exe" ] && [ -f "$probe" ] || { echo "e2e: build first: cmake --build --preset $preset" >&2; exit 1; }
# shellcheck source=scripts/winenv.sh
source "$root/scripts/winenv.sh"
[ "$arch" = x64 ] || winenv_runs_i386 ||
    { echo "e2e: this kernel cannot run 32-bit programs, so neither can Wine" >&2; exit 1; }
# Without the XInput2 library of the program's architecture, Wine refuses every clip while
# ClipCursor reports success: the lock would seem to fail for a reason outside the program.
dpkg -s "libxi6:$([ "$arch" = x86 ] && echo i386 || echo amd64)" >/dev/null 2>&1 ||
    { echo "e2e: Wine cannot clip the cursor without libxi6 ($arch); setup.sh installs it" >&2; exit 1; }
rm -rf "$art" "$build/e2e-prefix" && mkdir -p "$art"
export LANG=en_US.UTF-8
trap winenv_stop EXIT
trap 'exit 130' INT TERM
winenv_start "$build/e2e-prefix" wm "$here/openbox-rc.xml" || exit 1

# Chinese fonts; a browser that records the addresses it is handed.
wine reg import "$(winepath -w "$here/fonts.reg")" </dev/null >"$art/reg.log" 2>&1
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$art/browser.log" >"$art/browser.sh"
chmod +x "$art/browser.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$art/browser.sh" /f </dev/null >>"$art/reg.log" 2>&1

cd "$here" && python3 scenarios.py "$exe" "$probe" "$art" "${1:-}"
