#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: in the
# ordinary build, under AddressSanitizer + UBSan, and as Windows programs
# (MinGW-w64 cross build) under Wine; and compiles the Linux OS layer and
# the timing code for 64-bit Arm (nothing runs there).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
if ! scripts/windows-sdk.sh --check; then
  echo "== Windows SDK not built ($(scripts/windows-sdk.sh --path)): the Qt windows are not built for Windows; scripts/windows-sdk.sh builds it (about 40 minutes, once)"
fi
for preset in mingw arm64 asan default; do
  echo "== $preset build and tests"
  cmake --workflow --preset "$preset"
done
