#!/usr/bin/env bash
# Builds both programs and writes build/release/qzTetherly-<version>-x64.zip and -x86.zip
# (the program and README.txt) and SHA256SUMS. The version is the project's, from CMake.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
for preset in windows windows-x86; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target qzTetherly
done
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)"

out=build/release
rm -rf "$out" && mkdir -p "$out"
# Fixed modes, times (the commit's), zone and order: one commit gives the same archives.
stamp="$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)"
for arch in x64 x86; do
    stage="$out/stage-$arch"
    mkdir "$stage"
    install -m 644 "dist/$arch/qzTetherly.exe" "$stage/qzTetherly.exe"
    install -m 644 docs/readme.txt "$stage/README.txt"
    touch -d "@$stamp" "$stage/qzTetherly.exe" "$stage/README.txt"
    (cd "$stage" && TZ=UTC zip -X -q "../qzTetherly-$version-$arch.zip" qzTetherly.exe README.txt)
    rm -r "$stage"
done
(cd "$out" && sha256sum "qzTetherly-$version-x64.zip" "qzTetherly-$version-x86.zip" >SHA256SUMS)
echo "release: $out"
ls -l "$out"
