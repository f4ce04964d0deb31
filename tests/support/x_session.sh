# Sourced by the scripts that need a screen: starts a private X server on a free display and a
# window manager on it, and ends both, with everything else registered, when the script exits.
# A script with a cleanup of its own sets its EXIT trap before sourcing this and calls
# x_session_stop from it; this file then leaves that trap in place.

x_session_pids=()
x_session_dir=$(mktemp -d)

x_session_stop() {
    local pid i
    for ((i = ${#x_session_pids[@]} - 1; i >= 0; i--)); do
        pid=${x_session_pids[i]}
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${x_session_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    x_session_pids=()
    rm -rf "$x_session_dir"
}
[[ -n $(trap -p EXIT) ]] || trap x_session_stop EXIT
trap 'exit 130' INT TERM

# Ends the process with the script.
x_session_track() {
    x_session_pids+=("$1")
}

# wait_for WHAT SECONDS COMMAND...: polls COMMAND until it succeeds, or fails after SECONDS.
wait_for() {
    local what=$1 seconds=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        if ((SECONDS >= deadline)); then
            echo "timed out after ${seconds} s waiting for ${what}" >&2
            return 1
        fi
        sleep 0.05
    done
}

x_session_has_display() {
    grep -qx '[0-9]\+' "$x_session_dir/display"
}

x_session_has_window_manager() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'
}

# Starts Xvfb on a display number it picks itself, so that parallel runs never collide, and
# openbox on it; exports DISPLAY.
x_session_start() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$x_session_dir/display" \
        >"$x_session_dir/xvfb.log" 2>&1 &
    x_session_track $!
    wait_for "the X server" 20 x_session_has_display || {
        cat "$x_session_dir/xvfb.log" >&2
        return 1
    }
    export DISPLAY=":$(cat "$x_session_dir/display")"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    # Qt complains on every start without one.
    export XDG_RUNTIME_DIR="$x_session_dir/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    openbox --sm-disable >"$x_session_dir/openbox.log" 2>&1 &
    x_session_track $!
    wait_for "the window manager" 20 x_session_has_window_manager || {
        cat "$x_session_dir/openbox.log" >&2
        return 1
    }
}
