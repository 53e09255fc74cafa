#!/usr/bin/env bash
# Builds everything and runs the three test layers: host, win32 (Wine), end-to-end.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

bash scripts/setup.sh

echo "== host layer"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

echo "== Windows builds"
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset windows-x86 >/dev/null
cmake --build --preset windows-x86

echo "== win32 layer (Wine)"
# shellcheck source=scripts/winenv.sh
source scripts/winenv.sh
trap winenv_stop EXIT
# openbox: without a window manager, hiding or closing a window costs about 2 s.
winenv_start "$root/build/windows/wineprefix" wm
ctest --preset windows
winenv_stop
trap - EXIT

echo "== end-to-end layer"
bash tests/e2e/run.sh
echo "all test layers passed"
