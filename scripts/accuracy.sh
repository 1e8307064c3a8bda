#!/usr/bin/env bash
# Installs what is missing, builds the accuracy benchmark and runs it:
# every survey figure beside an independent reference, medians of five
# repetitions (about a minute). Arguments go to zentora-accuracy
# (--repetitions N, --json).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake --preset default >/dev/null
cmake --build --preset default --target zentora-accuracy
exec build/zentora-accuracy "$@"
