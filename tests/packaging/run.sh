#!/usr/bin/env bash
# The Linux desktop integration as a desktop meets it: the desktop entry and the AppStream
# metadata pass their validators, the Debian package installs the program, entry, metadata and
# icons where a desktop looks for them, the installed program opens its window under a window
# manager and closes on Escape, and removing the package leaves nothing behind.
# Run from anywhere as root; builds its own tree in build-package.
set -euo pipefail
cd "$(dirname "$0")/../.."

app_id=de.feuchtewerkstatt.FeuchteAbsRel
package=feuchte-abs-rel
version=1.0.0.0
title='Feuchte abs -> rel'
build=build-package

say() { echo "packaging: $*"; }
fail() {
    echo "packaging: FAILED: $*" >&2
    exit 1
}

work=$(mktemp -d)
# Installing and removing packages needs root; a developer with sudo runs this too.
sudo=()
((EUID == 0)) || sudo=(sudo)
installed_by_us=false
installed_before=false
app_pid=''
cleanup() {
    if [[ -n $app_pid ]]; then
        kill "$app_pid" 2>/dev/null || true
        wait "$app_pid" 2>/dev/null || true
    fi
    x_session_stop
    if $installed_by_us; then
        say "removing the package this run installed"
        "${sudo[@]}" dpkg -r "$package" >/dev/null 2>&1 || true
    fi
    if $installed_before && [[ -f ${deb:-} ]]; then
        say "installing $package again, as it was before this run"
        "${sudo[@]}" dpkg -i "$deb" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
source tests/support/x_session.sh

# Every file the package owns, as a desktop expects to find it.
expected_files=(
    /usr/bin/$package
    /usr/share/applications/$app_id.desktop
    /usr/share/doc/$package/copyright
    /usr/share/icons/hicolor/32x32/apps/$app_id.png
    /usr/share/icons/hicolor/48x48/apps/$app_id.png
    /usr/share/icons/hicolor/scalable/apps/$app_id.svg
    /usr/share/metainfo/$app_id.metainfo.xml
)

say "building in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" >/dev/null

desktop_entry=$build/packaging/$app_id.desktop
metainfo=$build/packaging/$app_id.metainfo.xml

say "desktop-file-validate $desktop_entry"
output=$(desktop-file-validate "$desktop_entry" 2>&1) || {
    echo "$output"
    fail "desktop-file-validate rejects the desktop entry"
}
[[ -z $output ]] || echo "$output"
# Hints may stay (Utility and Science are both main categories, which is meant); warnings may not.
if grep -E ': (error|warning):' <<<"$output" >/dev/null; then
    fail "desktop-file-validate warns about the desktop entry"
fi

say "appstreamcli validate --no-net $metainfo"
output=$(appstreamcli validate --no-net "$metainfo" 2>&1) || {
    echo "$output"
    fail "appstreamcli rejects the metadata"
}
echo "$output"
grep -E '^ *[EW]: ' <<<"$output" >/dev/null && fail "appstreamcli warns about the metadata"

# The installed tree as a whole: the metadata's launchable and icon must be there beside it.
say "cmake --install into a staging folder, then appstreamcli validate-tree"
DESTDIR=$work/stage cmake --install "$build" --prefix /usr >/dev/null
output=$(appstreamcli validate-tree --no-net "$work/stage" 2>&1) || {
    echo "$output"
    fail "appstreamcli rejects the installed tree"
}
grep -E '^ *[EW]: ' <<<"$output" >/dev/null && {
    echo "$output"
    fail "appstreamcli warns about the installed tree"
}
staged=$(cd "$work/stage" && find . -type f | sed 's/^\.//' | sort)
[[ $staged == "$(printf '%s\n' "${expected_files[@]}" | sort)" ]] ||
    fail "cmake --install put other files in place:"$'\n'"$staged"

say "cpack -G DEB"
rm -rf "$build/package"
(cd "$build" && cpack -G DEB) >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    fail "cpack failed"
}
deb=$build/package/${package}_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "cpack made no $deb"
control() { dpkg-deb -f "$deb" "$1"; }
say "$(basename "$deb"): $(stat -c %s "$deb") bytes"
say "Depends: $(control Depends)"
say "Recommends: $(control Recommends)"
[[ $(control Package) == "$package" ]] || fail "package name is $(control Package)"
[[ $(control Version) == "$version" ]] || fail "package version is $(control Version)"
[[ $(control Maintainer) == *feuchtewerkstatt.example* ]] || fail "maintainer is $(control Maintainer)"
# dpkg-shlibdeps found the Qt libraries; what the program loads at run time is named by hand.
for dependency in libqt6widgets6 libqt6gui6 libc6 qt6-qpa-plugins fonts-liberation2; do
    [[ $(control Depends) =~ (^|, )$dependency( |,|$) ]] || fail "Depends lacks $dependency"
done
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort)
[[ $packed == "$(printf '%s\n' "${expected_files[@]}" | sort)" ]] ||
    fail "the package holds other files:"$'\n'"$packed"

if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q ' installed'; then
    say "removing an earlier install of $package for the run"
    installed_before=true
    "${sudo[@]}" dpkg -r "$package" >/dev/null
fi
say "dpkg -i $deb"
installed_by_us=true
if ! "${sudo[@]}" dpkg -i "$deb"; then
    say "apt-get -f install for missing dependencies"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -f install -y -qq
fi
[[ $(dpkg-query -W -f='${Status}' "$package") == "install ok installed" ]] ||
    fail "$package is not installed"

say "checking the installed files"
for file in "${expected_files[@]}"; do
    [[ -f $file ]] || fail "$file is missing"
done
[[ -x /usr/bin/$package ]] || fail "/usr/bin/$package is not executable"
installed_entry=/usr/share/applications/$app_id.desktop
entry_value() { sed -n "s/^$1=//p" "$installed_entry"; }
# What a menu does with the entry: run Exec through PATH and show the named icon from hicolor.
exec_line=$(entry_value Exec)
program=$(command -v "${exec_line%% *}") || fail "Exec=$exec_line is not on PATH"
[[ $program == /usr/bin/$package ]] || fail "Exec=$exec_line runs $program"
[[ $(entry_value Icon) == "$app_id" ]] || fail "Icon=$(entry_value Icon)"
[[ $(entry_value Name) == "$title" ]] || fail "Name=$(entry_value Name)"
for size in 32 48; do
    icon=/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png
    file -b "$icon" | grep -q "PNG image data, $size x $size," || fail "$icon: $(file -b "$icon")"
done
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "/usr/share/metainfo/$app_id.metainfo.xml" || fail "the metadata launches no $app_id.desktop"

say "starting Xvfb and openbox"
x_session_start || fail "Xvfb or openbox did not start"

say "starting $program on $DISPLAY as a desktop would: its name through PATH, a plain environment"
mkdir -m 700 "$work/home"
env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
    DISPLAY="$DISPLAY" LANG=C.UTF-8 "${exec_line%% *}" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
    fail "no window titled '$title' was mapped within 20 s: $(cat "$work/app.log")"
say "window $window is mapped"
[[ $(xdotool getwindowpid "$window") == "$app_pid" ]] || fail "the window belongs to another process"
# Taskbars match the window to the desktop entry by StartupWMClass.
wm_class=$(xprop -id "$window" WM_CLASS)
[[ $wm_class == *"\"$(entry_value StartupWMClass)\""* ]] ||
    fail "StartupWMClass=$(entry_value StartupWMClass) matches no part of $wm_class"

say "Escape in the focused first field closes the window"
xdotool windowactivate --sync "$window"
xdotool key Escape
ended=false
for ((i = 0; i < 100; i++)); do
    # An ended child stays a zombie until it is waited for.
    state=$(sed 's/.*) //' "/proc/$app_pid/stat" 2>/dev/null | cut -d ' ' -f 1 || true)
    if [[ -z $state || $state == Z ]]; then
        ended=true
        break
    fi
    sleep 0.1
done
$ended || fail "the program still runs 10 s after Escape"
status=0
wait "$app_pid" || status=$?
app_pid=''
((status == 0)) || fail "the program ended with status $status: $(cat "$work/app.log")"

say "dpkg -r $package"
"${sudo[@]}" dpkg -r "$package" >/dev/null
installed_by_us=false
for file in "${expected_files[@]}" /usr/share/doc/$package; do
    [[ ! -e $file ]] || fail "$file is left after dpkg -r"
done
status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
[[ -z $status || $status == *not-installed ]] || fail "dpkg still lists $package: $status"

say "all checks passed"
