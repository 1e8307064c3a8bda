#!/usr/bin/env bash
# Builds the Windows SDK the full Windows program needs, once per machine:
# Qt 6 (Core, Gui, Widgets, PrintSupport, Test, the windows and offscreen
# platform plugins, the styles) and QCustomPlot, cross-compiled for
# x86_64-w64-mingw32 from Debian's own source packages of the versions this
# machine's Qt host tools have (a Qt cross build needs host tools of the same
# version).
#
#   scripts/windows-sdk.sh            build it, or reuse a complete one at once
#   scripts/windows-sdk.sh --path     print where it is (or would be) and exit
#   scripts/windows-sdk.sh --check    exit 0 when it is complete, 1 when not
#
# Where: $ZENTORA_WINDOWS_SDK, else ~/.cache/zentora-windows-sdk (outside
# the checkout, so every clone and CI run on this machine shares it). It
# takes about 40 minutes on two cores the first time; the log of each step is
# in the cache's log/ folder.
#
# Sources come from Debian's archive only, through a private apt
# configuration (deb-src entries for this machine's own Debian mirror): the
# system's apt configuration is not changed.
set -euo pipefail
cd "$(dirname "$0")/.."
sdk=${ZENTORA_WINDOWS_SDK:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/zentora-windows-sdk}
stamp=$sdk/.complete

case "${1:-}" in
  --path) echo "$sdk"; exit 0 ;;
  --check) [ -f "$stamp" ]; exit ;;
  "") ;;
  *) echo "usage: scripts/windows-sdk.sh [--path|--check]" >&2; exit 2 ;;
esac

if [ -f "$stamp" ]; then
  echo "windows-sdk: complete at $sdk ($(cat "$stamp"))"
  exit 0
fi

scripts/install-deps.sh windows-sdk

triple=x86_64-w64-mingw32
jobs=$(nproc)
mkdir -p "$sdk/log" "$sdk/src"
step() { echo "windows-sdk: $(date +%H:%M:%S) $*"; }

# --- Sources, through a private apt configuration --------------------------
mirror() {  # the Debian archive this machine already uses
  local m
  m=$(grep -hE '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{print $2}' | grep -v security | head -1)
  [ -n "$m" ] || m=$(grep -hE '^deb ' /etc/apt/sources.list 2>/dev/null | awk '{print $2}' | grep -v security | head -1)
  echo "${m:-http://deb.debian.org/debian}"
}
apt_dir=$sdk/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
m=$(mirror)
cat >"$apt_dir/sources.list" <<EOF
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $m bookworm main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $m bookworm-updates main
EOF
apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/none"
          -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
          -o APT::Sandbox::User=root -q)
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
qcp_version=$(dpkg-query -W -f='${Version}' libqcustomplot-dev 2>/dev/null || true)

fetch() {  # fetch PACKAGE VERSION: unpacks the source into $sdk/src/PACKAGE
  local pkg=$1 ver=$2 dir=$sdk/src/$1
  [ -f "$dir/.unpacked" ] && return 0
  rm -rf "$dir" && mkdir -p "$dir"
  step "fetching the $pkg ${ver:-(newest)} source from Debian"
  (cd "$dir" && apt-get "${apt_opts[@]}" source --download-only "$pkg${ver:+=$ver}" >"$sdk/log/fetch-$pkg.log" 2>&1 \
     && dpkg-source --no-check -x ./*.dsc tree >>"$sdk/log/fetch-$pkg.log" 2>&1) \
    || { echo "windows-sdk: could not fetch $pkg, see $sdk/log/fetch-$pkg.log" >&2; exit 1; }
  touch "$dir/.unpacked"
}
step "reading the source index of $m"
apt-get "${apt_opts[@]}" update >"$sdk/log/apt-update.log" 2>&1 \
  || { echo "windows-sdk: apt-get update failed, see $sdk/log/apt-update.log" >&2; exit 1; }
fetch qt6-base "$qt_version"
fetch qcustomplot "$qcp_version"

# --- The toolchain file Qt's own toolchain file chain-loads ----------------
# It has to stay where it is: Qt records its absolute path.
cat >"$sdk/mingw-toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $triple-gcc-posix)
set(CMAKE_CXX_COMPILER $triple-g++-posix)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$triple "$sdk/qt")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
EOF

# --- qtbase ------------------------------------------------------------------
progress() {  # ninja's [done/total] lines, one every few hundred
  awk '/^\[[0-9]+\/[0-9]+\]/ { s = $1; gsub(/[][]/, "", s); split(s, a, "/"); if (a[1] % 250 == 0 || a[1] == a[2]) { printf "windows-sdk:   %s of %s\n", a[1], a[2]; fflush() } }'
}
if [ ! -f "$sdk/qt/.installed" ]; then
  build=$sdk/build/qtbase
  rm -rf "$build" "$sdk/qt" && mkdir -p "$build"
  step "configuring Qt $qt_version for $triple"
  # Only what the program and its tests use. This version builds its
  # DirectWrite font engine only together with Direct2D, yet PrintSupport
  # and the platform plugin still call it when DirectWrite is on: both go,
  # and fonts come through GDI. Debian's source lacks wintab, so tablet
  # events go too.
  (cd "$build" && "$sdk/src/qt6-base/tree/configure" -prefix "$sdk/qt" -platform win32-g++ -qt-host-path /usr \
      -release -shared -strip -nomake examples -nomake tests -no-opengl -no-dbus -no-icu \
      -no-feature-vulkan -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent \
      -no-feature-direct2d -no-feature-directwrite -no-feature-directwrite3 -no-feature-tabletevent \
      -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-harfbuzz -qt-doubleconversion -qt-freetype \
      -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$sdk/mingw-toolchain.cmake" \
         -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >"$sdk/log/qtbase-configure.log" 2>&1 \
    || { echo "windows-sdk: Qt configure failed, see $sdk/log/qtbase-configure.log" >&2; exit 1; }
  step "building Qt ($jobs jobs; about 35 minutes on two cores)"
  (cd "$build" && nice cmake --build . --parallel "$jobs" 2>&1 | tee "$sdk/log/qtbase-build.log" | progress; exit "${PIPESTATUS[0]}") \
    || { echo "windows-sdk: Qt build failed, see $sdk/log/qtbase-build.log" >&2; exit 1; }
  (cd "$build" && cmake --install . >"$sdk/log/qtbase-install.log" 2>&1) \
    || { echo "windows-sdk: Qt install failed, see $sdk/log/qtbase-install.log" >&2; exit 1; }
  touch "$sdk/qt/.installed"
fi

# --- QCustomPlot -------------------------------------------------------------
# Built as the DLL Debian builds for Linux, with a CMake package of the same
# name and target, so the project finds it the same way on both systems.
if [ ! -f "$sdk/qcustomplot/.installed" ]; then
  step "building QCustomPlot $qcp_version"
  build=$sdk/build/qcustomplot
  rm -rf "$build" "$sdk/qcustomplot" && mkdir -p "$build"
  cmake -S cmake/windows-sdk/qcustomplot -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$sdk/qt/lib/cmake/Qt6/qt.toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DQCP_SOURCE_DIR="$sdk/src/qcustomplot/tree" -DCMAKE_INSTALL_PREFIX="$sdk/qcustomplot" \
        >"$sdk/log/qcustomplot.log" 2>&1 \
    && nice cmake --build "$build" --parallel "$jobs" >>"$sdk/log/qcustomplot.log" 2>&1 \
    && cmake --install "$build" --strip >>"$sdk/log/qcustomplot.log" 2>&1 \
    || { echo "windows-sdk: QCustomPlot build failed, see $sdk/log/qcustomplot.log" >&2; exit 1; }
  touch "$sdk/qcustomplot/.installed"
fi

rm -rf "$sdk/build"
echo "Qt $qt_version, QCustomPlot $qcp_version, built $(date -u +%Y-%m-%dT%H:%MZ)" >"$stamp"
step "complete at $sdk ($(du -sh "$sdk/qt" "$sdk/qcustomplot" | awk '{print $1}' | paste -sd+) in Qt + QCustomPlot)"
