#!/usr/bin/env bash
# Installs every package the build and the three test layers need.
# Idempotent: packages already present are skipped; runs without questions.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64
  xvfb xdotool x11-utils x11-xkb-utils
  openbox imagemagick fonts-wqy-microhei
  python3 libxtst6 zip
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and not root, and sudo is not installed" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! "${SUDO[@]}" apt-get update -q; then
  echo "setup: apt-get update failed" >&2
  exit 1
fi
if ! "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  echo "setup: could not install: ${missing[*]}" >&2
  exit 1
fi
echo "setup: done"
