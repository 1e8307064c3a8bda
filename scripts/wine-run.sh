#!/usr/bin/env bash
# Runs a Windows program under Wine for the tests: in a Wine prefix of its
# own in the temporary folder (never the user's home), with Wine's own
# diagnostics silenced, passing the program's output and exit status on.
set -euo pipefail
export WINEPREFIX="${ZENTORA_WINEPREFIX:-${TMPDIR:-/tmp}/zentora-wine-$(id -u)}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko install prompts
export DISPLAY=  # console programs only: no window system needed
wine=$(command -v wine64 || command -v wine || ls /usr/lib/wine/wine64 2>/dev/null) || {
  echo "wine-run: Wine is not installed" >&2; exit 127; }
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Several tests may start at once: one of them creates the prefix.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot --init >/dev/null 2>&1 || true
  flock -u 9
fi
exec "$wine" "$@"
