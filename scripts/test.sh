#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: in the
# ordinary build, under AddressSanitizer + UBSan, and as Windows programs
# (MinGW-w64 cross build) under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
for preset in mingw asan default; do
  echo "== $preset build and tests"
  cmake --workflow --preset "$preset"
done
