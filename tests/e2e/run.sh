#!/usr/bin/env bash
# Runs the end-to-end driver against one program on a private X server with a window manager.
# usage: run.sh qt PATH/TO/feuchte-abs-rel | run.sh wine PATH/TO/feuchte-abs-rel.exe
set -euo pipefail
here=$(dirname "$0")
source "$here/../../scripts/lib/x_session.sh"
echo "e2e: $1 program $2 on a private X server"
x_session_start
# What a US keyboard lacks on keys of their own (the context menu's ü, the true minus sign, the
# en dash and the spaces of the typing table): xdotool would otherwise map each to a spare key for
# a moment, and a busy program may look the key up after the mapping is gone.
# (Wine knows keys only by the layouts it knows: launchers.py pastes them there.)
keys='key <I252> { [ udiaeresis, nobreakspace ] }; key <I253> { [ U2212, endash ] };'
keys+=' key <I254> { [ U202F, U2009 ] };'
[[ $1 != qt ]] || xkbcomp -xkb "$DISPLAY" - 2>/dev/null |
    sed "/^xkb_symbols/,/^};/ s/^};/    $keys\n};/" |
    xkbcomp -w 0 - "$DISPLAY" 2>/dev/null
/usr/bin/python3 "$here/driver.py" "$@"
