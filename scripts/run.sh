#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
#   scripts/run.sh                      the survey window
#   scripts/run.sh --survey [OPTIONS]   the terminal report instead (no display needed);
#                                       OPTIONS as in zentora-survey --help
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake --preset default >/dev/null
if [ "${1:-}" = --survey ]; then
  shift
  cmake --build --preset default --target zentora-survey
  exec build/zentora-survey "$@"
fi
cmake --build --preset default --target ZentoraTiming
exec build/ZentoraTiming "$@"
