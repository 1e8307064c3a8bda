#!/usr/bin/env bash
# Runs a test program as an unprivileged user, for tests about file
# permissions, which root ignores. Run by root, it switches to "nobody";
# run by anyone else, it runs the program as it is. Exit 77 (skipped) when
# root cannot hand the program to nobody (setpriv missing, or nobody may not
# reach the program's folder).
#   run_unprivileged.sh PROGRAM [ARGS...]
set -u
if [ "$(id -u)" -ne 0 ]; then exec "$@"; fi
command -v setpriv >/dev/null || { echo "setpriv not found: skipped"; exit 77; }
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
"${as_nobody[@]}" test -x "$1" || { echo "nobody cannot run $1: skipped"; exit 77; }
exec "${as_nobody[@]}" env HOME=/tmp TMPDIR=/tmp "$@"
