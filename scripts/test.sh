#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in
# the ordinary build and once under AddressSanitizer + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
for preset in default asan; do
  echo "== $preset build and tests"
  cmake --workflow --preset "$preset"
done
