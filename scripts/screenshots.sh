#!/usr/bin/env bash
# Copies the screenshots of the last x64 end-to-end run into docs/screenshots, where the
# README shows them. Test runs write them under build/ only.
set -euo pipefail
cd "$(dirname "$0")/.."
art=build/windows/e2e-artifacts
for name in options-en options-zh; do
    [ -f "$art/$name.png" ] || { echo "no $art/$name.png: run bash tests/e2e/run.sh first" >&2; exit 1; }
    cp "$art/$name.png" "docs/screenshots/$name.png"
done
echo "docs/screenshots updated from $art"
