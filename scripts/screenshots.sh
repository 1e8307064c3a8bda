#!/usr/bin/env bash
# Takes the README's screenshots of both windows after a real survey and a
# real capture, under a private X server, so the pictures stay true when
# the windows change:  scripts/screenshots.sh [OUT_DIR]   (default docs/screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshots}
scripts/install-deps.sh run
need=()
for t in Xvfb:xvfb xdotool:xdotool import:imagemagick; do command -v "${t%%:*}" >/dev/null || need+=("${t##*:}"); done
if [ ${#need[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}" >/dev/null
fi
cmake --preset default >/dev/null
cmake --build --preset default --target ZentoraTiming >/dev/null
mkdir -p "$out"

work=$(mktemp -d)
# "Start with plot" stored as checked: the plot window opens and captures
# by itself. The real settings are not touched.
mkdir -p "$work/config/Kestrane"
printf '[General]\nStartWithPlot=1\n' > "$work/config/Kestrane/ZentoraTiming.conf"
for d in $(seq 70 89); do [ -e /tmp/.X11-unix/X$d ] || break; done
Xvfb ":$d" -screen 0 1280x1024x24 >/dev/null 2>&1 & xvfb=$!
trap 'kill $app $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=":$d"
sleep 1
XDG_CONFIG_HOME="$work/config" build/ZentoraTiming >/dev/null 2>&1 & app=$!

window() {  # window id by title, waiting up to 10 s
  for _ in $(seq 1 40); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.25
  done
  echo "no window '$1'" >&2; exit 1
}
survey=$(window "Zentora Frequencies")
plot=$(window "Intervals from")
sleep 3   # the plot's own capture: about 1.6 s
# "Refresh" on the survey window: the focus starts on "&Close"; two tabs on.
xdotool windowfocus --sync "$survey"
xdotool key --window "$survey" Tab Tab space
sleep 12  # 0.5 s wait, then about eight seconds of survey
# The plot window is centred on the survey window: take it first, then
# take it off the screen so the survey window shows whole.
xdotool windowraise "$plot"; sleep 0.5
import -window "$plot" "$out/plot.png"
xdotool windowunmap "$plot"; xdotool windowraise "$survey"; sleep 0.5
import -window "$survey" "$out/survey.png"
echo "$out/survey.png $out/plot.png"
