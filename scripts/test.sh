#!/usr/bin/env bash
# Builds everything and runs the three test layers: host, then win32 (Wine) and
# end-to-end for each architecture.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

bash scripts/setup.sh
# shellcheck source=scripts/winenv.sh
source scripts/winenv.sh

echo "== host layer"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

echo "== Windows builds"
for preset in windows windows-x86; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done

echo "== executables: size, imports, identical rebuild"
for arch in x64 x86; do
    exe="dist/$arch/qzTetherly.exe"
    size="$(stat -c %s "$exe")"
    [ "$size" -le 65536 ] || { echo "$exe: $size bytes, more than 65536" >&2; exit 1; }
    foreign="$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ {print tolower($3)}' |
        grep -vxE '(kernel32|user32|gdi32|imm32|shell32|advapi32|comctl32|ole32|msvcrt)\.dll' || true)"
    [ -z "$foreign" ] || { echo "$exe imports a non-system DLL: $foreign" >&2; exit 1; }
done
# Built again from a copy of the tree in another folder, both programs are the same bytes.
copy="$root/build/repro/tree"
rm -rf "$copy" && mkdir -p "$copy"
git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -cf - | tar -xf - -C "$copy"
for preset in windows windows-x86; do
    (cd "$copy" && cmake --preset "$preset" -DTETHERLY_BUILD_TESTS=OFF >/dev/null &&
        cmake --build --preset "$preset" --target qzTetherly >/dev/null)
done
for arch in x64 x86; do
    cmp "dist/$arch/qzTetherly.exe" "$copy/dist/$arch/qzTetherly.exe" ||
        { echo "dist/$arch/qzTetherly.exe: a rebuild elsewhere differs" >&2; exit 1; }
done

not_run=""
for arch in x64 x86; do
    preset=windows
    [ "$arch" = x86 ] && preset=windows-x86
    if [ "$arch" = x86 ] && ! winenv_runs_i386; then
        not_run=" (x86 win32 and end-to-end layers NOT RUN: this kernel cannot run 32-bit programs)"
        echo "== $arch layers NOT RUN: this kernel cannot run 32-bit programs, so 32-bit Wine cannot"
        continue
    fi
    echo "== win32 layer ($arch, Wine)"
    trap winenv_stop EXIT
    # openbox: without a window manager, hiding or closing a window costs about 2 s.
    winenv_start "$root/build/$preset/wineprefix" wm
    ctest --preset "$preset"
    winenv_stop
    trap - EXIT

    echo "== end-to-end layer ($arch)"
    bash tests/e2e/run.sh "$arch"
done
echo "all test layers passed$not_run"
