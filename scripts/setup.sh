#!/usr/bin/env bash
# Installs every package the build and the three test layers need, 32-bit Wine included
# where the kernel can run 32-bit programs.
# Idempotent: packages already present are skipped; runs without questions.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/winenv.sh
source scripts/winenv.sh

packages=(
  cmake ninja-build g++ libgtest-dev googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64
  xvfb xdotool x11-utils x11-xkb-utils
  openbox imagemagick fonts-wqy-microhei
  python3 libxtst6 zip
)
# Wine's 32-bit side and the X libraries its driver loads at run time: without
# libxi6:i386 every cursor clip of a 32-bit program is refused, silently.
i386_packages=(
  wine32:i386 libxi6:i386 libxcursor1:i386 libxrandr2:i386 libxfixes3:i386
  libxinerama1:i386 libxrender1:i386 libxcomposite1:i386 libxxf86vm1:i386
)

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

sudo_cmd() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "setup: need root for: $* (and sudo is not installed)" >&2
    exit 1
  fi
}

apt_install() {
  echo "setup: installing $*"
  if ! sudo_cmd apt-get install -y -q --no-install-recommends "$@"; then
    echo "setup: could not install: $*" >&2
    exit 1
  fi
}

export DEBIAN_FRONTEND=noninteractive
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
updated=""
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd apt-get update -q || { echo "setup: apt-get update failed" >&2; exit 1; }
  updated=1
  apt_install "${missing[@]}"
fi

# Some kernels are built without 32-bit support: there the 32-bit loader cannot start,
# and with wine32 installed the wine command picks it and every Wine program fails.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_cmd dpkg --add-architecture i386
  updated=""
fi
if ! installed libc6:i386; then
  [ -n "$updated" ] || sudo_cmd apt-get update -q
  updated=1
  apt_install libc6:i386
fi
if ! winenv_runs_i386; then
  if installed wine32:i386; then
    echo "setup: this kernel cannot run 32-bit programs, and with wine32 installed no Wine" \
      "program starts: remove it (apt-get remove wine32:i386)" >&2
    exit 1
  fi
  echo "setup: this kernel cannot run 32-bit programs: 32-bit Wine not installed"
  exit 0
fi
missing=()
for p in "${i386_packages[@]}"; do
  installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  [ -n "$updated" ] || sudo_cmd apt-get update -q
  apt_install "${missing[@]}"
fi
echo "setup: packages ready"
