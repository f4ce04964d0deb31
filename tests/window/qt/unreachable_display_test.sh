#!/usr/bin/env bash
# Starts the program without a display, and where none can be reached, as after a stopped X server or an expired
# ssh -X session, or with a Wayland socket that is gone: it has to say so in one German line and
# end with status 1, never abort with a core dump.
# Usage: unreachable_display_test.sh PATH/TO/feuchte-abs-rel
set -euo pipefail

program=${1:?usage: $0 PATH/TO/feuchte-abs-rel}
number=$((500 + $$ % 400))  # far from the displays people and other test runs use
while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]]; do number=$((number + 1)); done

failures=0
for displays in "" "DISPLAY=:$number" "WAYLAND_DISPLAY=gone-$$" "DISPLAY=:$number WAYLAND_DISPLAY=gone-$$"; do
    status=0
    # shellcheck disable=SC2086
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM $displays "$program" 2>&1) ||
        status=$?
    if ((status == 1)) && [[ $output != *$'\n'* && $output == *"keine Anzeige ("*"xvfb-run -a "* ]]; then
        echo "ok: $displays: $output"
    else
        echo "FAIL: $displays: status $status: $output" >&2
        failures=$((failures + 1))
    fi
done
((failures == 0))
