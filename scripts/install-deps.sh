#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, run and test,
# skipping those already installed. Runs apt-get as root (through sudo when
# not root). Usage: scripts/install-deps.sh [run|test|windows-sdk]
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqcustomplot-dev qt6-qpa-plugins libgl-dev
  fonts-dejavu-core
)
if [ "${1:-run}" = windows-sdk ]; then
  # Qt's cross build needs the host's Qt tools of the same version.
  packages=(cmake ninja-build dpkg-dev qt6-base-dev qt6-base-dev-tools qmake6
            libqcustomplot-dev g++-mingw-w64-x86-64-posix)
fi
if [ "${1:-run}" = test ]; then
  packages+=(libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb xauth
             g++-mingw-w64-x86-64-posix wine64 g++-aarch64-linux-gnu
             desktop-file-utils appstream dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q >/dev/null
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
