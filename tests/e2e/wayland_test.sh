#!/usr/bin/env bash
# The program in a Wayland session with no X server at all (headless sway without Xwayland): it
# opens its window natively, takes keys and shows the result; and where Qt has no plugin for the
# session it says so in one German line and ends with status 1, never a core dump.
# Usage: wayland_test.sh PATH/TO/feuchte-abs-rel
set -euo pipefail
program=$(realpath "${1:?usage: $0 PATH/TO/feuchte-abs-rel}")
source "$(dirname "$0")/../../scripts/lib/x_session.sh"  # only its clean-up and wait_for: no X here
unset DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$x_session_dir/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

# sway refuses to run as root; then it runs as nobody, in a folder of its own.
sway_dir=$x_session_dir/sway as_user=()
mkdir -m 700 "$sway_dir"
if ((EUID == 0)); then
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 711 "$x_session_dir" && chown 65534:65534 "$sway_dir"
fi
printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768\n' >"$x_session_dir/sway.conf"
env XDG_RUNTIME_DIR="$sway_dir" HOME="$sway_dir" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 "${as_user[@]}" sway -c "$x_session_dir/sway.conf" \
    >"$x_session_dir/sway.log" 2>&1 &
x_session_track $!
wait_for "sway" 20 eval 'compgen -G "$sway_dir/sway-ipc.*.sock"' ||
    { cat "$x_session_dir/sway.log" >&2; exit 1; }
export WAYLAND_DISPLAY=$sway_dir/wayland-1 SWAYSOCK=$(compgen -G "$sway_dir/sway-ipc.*.sock")

failures=0
check() {  # WHAT GOT EXPECTED
    if [[ $2 == "$3" ]]; then echo "ok: $1: $2"; else
        echo "FAIL: $1: ${2:-nothing}, expected $3" >&2 && failures=$((failures + 1))
    fi
}

LC_ALL=de_DE.UTF-8 "$program" >"$x_session_dir/program.log" 2>&1 &
x_session_track $!
# swaymsg fails while no window matches; focus is where a person's click would put it.
wait_for "the window" 20 swaymsg '[app_id="de.feuchtewerkstatt.FeuchteAbsRel"] focus' ||
    { cat "$x_session_dir/program.log" >&2; exit 1; }
# From I1, the field with the focus at start: Tab to I2 (8,6), 5 at its end, Tab to Text1, which
# is copied. A key before sway has set wtype's keyboard up would be lost: hence the pause.
wtype -s 300 -k Tab -k End 5 -k Tab -M ctrl a c -m ctrl
wait_for "the clipboard" 5 bash -c '[[ $(wl-paste -n) == *rel ]]' || true
check "8,6 -> 8,65 in I2, Text1 copied" "$(wl-paste -n 2>/dev/null)" "42,1 % rel"

# The same session, but Qt without its platform plugins, as where qt6-wayland is missing.
plugins=$(compgen -G "/usr/lib/*/qt6/plugins/platforms" | head -n 1)
unshare=(unshare --mount)
((EUID == 0)) || unshare=(unshare --map-root-user --mount)
status=0
output=$(timeout 20 "${unshare[@]}" sh -c 'mount -t tmpfs none "$1" && exec "$2"' - "$plugins" \
    "$program" 2>&1) || status=$?
check "without Qt's Wayland plugin: status, lines, hint" "$status $(wc -l <<<"$output") $output" \
    "1 1 feuchte-abs-rel: keine Anzeige (WAYLAND_DISPLAY=$WAYLAND_DISPLAY ist nicht nutzbar); ohne Bildschirm so starten: xvfb-run -a $program"
echo "wayland: $((2 - failures)) passed, $failures failed"
((failures == 0))
