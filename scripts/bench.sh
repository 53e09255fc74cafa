#!/usr/bin/env bash
# Benchmark (not a test): the shipped x86_64 program against small baseline programs built
# in the same run (bench/), under the end-to-end suite's Wine + Xvfb + openbox set-up.
# Prints a table of medians over BENCH_RUNS runs (default 15) of:
#   start-up     process start until the options dialog answers a message, against a
#                minimal dialog program with the same start-up calls (ratio); the CPU time
#                by then; resident memory a second later
#   hot key      XTEST key press until the clip rectangle changes, against a program that
#                only registers a hot key and clips (difference)
#   idle CPU     the hidden program (lock off) against a bare 500 ms timer program
# Idle CPU is read from both processes side by side in BENCH_RUNS consecutive windows of
# BENCH_IDLE_SECONDS (default 60) after one start, not from a fresh start per window: a
# timer program's idle cost does not depend on how long ago it started, and restarting
# would add minutes of nothing. With the defaults the whole run takes about 20 minutes,
# most of it those windows; the samples are kept in build/windows/bench/samples.json.
# Other load on the machine shows in the figures: the table prints the load average.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

bash scripts/setup.sh >/dev/null
cmake --preset windows >/dev/null
if ! log="$(cmake --build --preset windows --target qzTetherly bench_min_dialog \
    bench_bare_hotkey bench_bare_timer bench_watch 2>&1)"; then
    echo "$log" >&2
    exit 1
fi

prefix="$root/build/windows/bench-prefix"
rm -rf "$prefix"
export LANG=en_US.UTF-8
# shellcheck source=scripts/winenv.sh
source scripts/winenv.sh
trap winenv_stop EXIT
trap 'exit 130' INT TERM
winenv_start "$prefix" wm "$root/tests/e2e/openbox-rc.xml"
python3 bench/bench.py "$root" "$root/dist/x64/qzTetherly.exe" "$root/build/windows/bench"
