# Sourced by the scripts that need a screen: x_session_start starts a private X server on a
# display it picks itself (so parallel runs never collide) and openbox on it, and exports
# DISPLAY; both end, with every process given to x_session_track, when the script exits. A
# script with a cleanup of its own sets its EXIT trap first and calls x_session_stop from it.

x_session_pids=()
x_session_dir=$(mktemp -d)

x_session_stop() {
    local pid
    for pid in "${x_session_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${x_session_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    x_session_pids=()
    rm -rf "$x_session_dir"
}
[[ -n $(trap -p EXIT) ]] || trap x_session_stop EXIT
trap 'exit 130' INT TERM

x_session_track() { x_session_pids=("$1" "${x_session_pids[@]}"); }

# wait_for WHAT SECONDS COMMAND...: polls COMMAND until it succeeds, or fails after SECONDS.
wait_for() {
    local what=$1 deadline=$((SECONDS + $2))
    shift 2
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || { echo "timed out waiting for $what" >&2; return 1; }
        sleep 0.05
    done
}

x_session_start() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$x_session_dir/display" \
        >"$x_session_dir/xvfb.log" 2>&1 &
    x_session_track $!
    wait_for "the X server" 20 grep -qx '[0-9]\+' "$x_session_dir/display" ||
        { cat "$x_session_dir/xvfb.log" >&2; return 1; }
    export DISPLAY=":$(cat "$x_session_dir/display")" XDG_RUNTIME_DIR="$x_session_dir/runtime"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    mkdir -m 700 "$XDG_RUNTIME_DIR"  # Qt complains on every start without one
    openbox --sm-disable >"$x_session_dir/openbox.log" 2>&1 &
    x_session_track $!
    wait_for "the window manager" 20 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        { echo "on $DISPLAY:" >&2 && cat "$x_session_dir"/{openbox,xvfb}.log >&2 && xprop -root >/dev/null
          return 1; }
}
