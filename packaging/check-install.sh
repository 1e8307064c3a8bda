#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the installed tree,
# then builds the Debian package and lists it.
#   check-install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null
app=com.kestrane.ZentoraTiming
for f in bin/ZentoraTiming bin/zentora-survey \
         share/applications/$app.desktop share/icons/hicolor/scalable/apps/$app.svg \
         share/metainfo/$app.metainfo.xml share/doc/zentora-timing/README.md share/doc/zentora-timing/LICENSE share/doc/zentora-timing/copyright; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
"$prefix/bin/zentora-survey" --version
desktop-file-validate "$prefix/share/applications/$app.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml"
# The desktop entry starts the installed program by name.
grep -qx "Exec=ZentoraTiming" "$prefix/share/applications/$app.desktop"

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/zentora-timing_*.deb)
echo "== $(basename "$deb")"
dpkg-deb -f "$deb" Package Version Architecture Depends
dpkg -c "$deb" | tee "$work/contents"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqcustomplot2.1-qt6 libqt6core6 qt6-qpa-plugins; do
  case "$depends" in *"$lib"*) ;; *) echo "the package does not depend on $lib" >&2; exit 1;; esac
done
grep -q "./usr/bin/ZentoraTiming$" "$work/contents" || { echo "no /usr/bin/ZentoraTiming in the package" >&2; exit 1; }
