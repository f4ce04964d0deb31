#!/usr/bin/env bash
# Runs the end-to-end driver against one program on a private X server with a window manager.
# usage: run.sh qt PATH/TO/feuchte-abs-rel | run.sh wine PATH/TO/feuchte-abs-rel.exe
set -euo pipefail
here=$(dirname "$0")
source "$here/../support/x_session.sh"
echo "e2e: $1 program $2 on a private X server"
x_session_start
/usr/bin/python3 "$here/driver.py" "$@"
