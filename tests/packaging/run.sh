#!/usr/bin/env bash
# The release as its users meet it, one check a line: the Debian package passes Debian's checkers,
# installs, passes its own tests (debian/tests, by autopkgtest), opens its window and leaves no
# trace; the .msi upgrades an older version in place under
# wine, opens the window from its Start-menu shortcut and uninstalls without a trace.
set -euo pipefail
cd "$(dirname "$0")/../.."

scripts/release.sh deb windows
version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt | head -n 1)
package=feuchte-abs-rel id=de.feuchtewerkstatt.FeuchteAbsRel title='Feuchte abs -> rel'
deb=dist/${package}_${version}_amd64.deb msi=dist/${package}_${version}_x64.msi
dbgsym=dist/${package}-dbgsym_${version}_amd64.deb
sudo=()
((EUID == 0)) || sudo=(sudo)
work=$(mktemp -d) tree=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    [[ -d $WINEPREFIX ]] && { wineserver -k || true; } >/dev/null 2>&1
    x_session_stop
    "${sudo[@]}" dpkg --purge "$package" >/dev/null 2>&1 || true
    rm -rf "$work" "$tree"
}
trap cleanup EXIT
source tests/support/x_session.sh

# check WHAT COMMAND...: the command succeeds. same WHAT EXPECTED COMMAND...: and prints EXPECTED.
# Output goes through a file: a wineserver started by a command would hold a pipe open.
passed=0 failed=0
check() {
    if "${@:2}" >"$work/output" 2>&1; then
        passed=$((passed + 1)) && echo "packaging: ok   $1"
    else
        failed=$((failed + 1)) && echo "packaging: FAIL $1"$'\n'"$(<"$work/output")" >&2
    fi
}
same() { check "$1" prints "$2" "${@:3}"; }
prints() {
    "${@:2}" >"$work/got" 2>&1 || true
    [[ $(<"$work/got") == "$1" ]] || { echo "  got: $(<"$work/got")"$'\n'"  expected: $1" && false; }
}

dpkg-deb -x "$deb" "$tree" && dpkg-deb -x "$dbgsym" "$tree"
deb_files() { dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort; }
depends() {  # those of the packages $@ that the .deb depends on
    dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -xF "${@/#/-e}" | sort | xargs
}
msi_property() { msiinfo export "$msi" Property | sed -n "s/^$1\t//p" | tr -d '\r'; }
release() { sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' "$tree"/usr/share/metainfo/*; }
unprotected_units() {  # compile units built without stack-clash or control-flow protection
    readelf --debug-dump=info "$tree"/usr/lib/debug/.build-id/*/*.debug 2>/dev/null | awk '
        /DW_AT_producer/ { n++; if (!/-fstack-clash-protection/ || !/-fcf-protection/) bad++ }
        END { print n ? bad + 0 : "no compile units" }'
}
# Starts COMMAND..., waits for the window (of WM_CLASS, if given), closes it with Escape.
opens_window() {
    local window
    "${@:2}" >"$work/program.log" 2>&1 &
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) &&
        { [[ -z $1 ]] || xprop -id "$window" WM_CLASS | grep "\"$1\""; } &&
        xdotool windowactivate --sync "$window" key Escape &&
        wait_for "the window to close" 10 bash -c "! xdotool search --onlyvisible --name '^$title\$'"
}
installed() {
    ls -d /usr/bin/$package /usr/share/doc/$package /usr/share/man/{,de/}man1/$package* \
        /usr/share/{applications,metainfo,icons/hicolor/*/apps}/$id* 2>/dev/null || true
}
icons=(/usr/share/icons/hicolor/scalable/apps/$id.svg)  # and every size the artwork is drawn in
for png in resources/icons/*x*.png; do
    icons+=("/usr/share/icons/hicolor/$(basename "$png" .png)/apps/$id.png")
done

wine() { env LC_ALL=C.UTF-8 wine "$@"; }  # a UTF-8 locale, for the arrow in the file name
arp() {  # name|maker|version registered for uninstalling the product code $1
    wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" |
        tr -d '\r' | awk '$2 ~ /^REG_/ { v[$1] = substr($0, index($0, $2) + length($2) + 4) }
                          END { print v["DisplayName"] "|" v["Publisher"] "|" v["DisplayVersion"] }'
}
product_icon() {
    winepath -u "$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s | tr -d '\r' |
        sed -n 's/.*ProductIcon *REG_SZ *//p')"
}
msi_files() {  # ours by name, and the installer's copy of the icon under the product code
    (cd "$WINEPREFIX/drive_c" && find . -ipath '*feuchte*' -o -ipath "*$product_code*" | sort)
}
product_code=$(msi_property ProductCode) older_code='{0D1DE0A5-0000-4000-8000-000000000090}'
older=$work/older.msi  # the same package as version 0.9, a product of its own
set_property() { echo "UPDATE \`Property\` SET \`Value\` = '$2' WHERE \`Property\` = '$1'"; }
cp "$msi" "$older"
msibuild "$older" -q "$(set_property ProductVersion 0.9.0.0)" \
    -q "$(set_property ProductCode "$older_code")"
exe="./Program Files/Feuchte-Werkstatt/$package.exe"
lnk="./users/${USER:-$(id -un)}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Feuchte abs → rel.lnk"
icon="./windows/Installer/$product_code/app.ico"

same "version in debian/changelog"      "$version" dpkg-parsechangelog -S Version
same "AppStream release"                "$version $(date -u -d "$(dpkg-parsechangelog -S Date)" +%F)" release
same "version of the .msi"              "$version" msi_property ProductVersion
same "desktop-file-validate"            "" desktop-file-validate "$tree"/usr/share/applications/*
check "appstreamcli validate-tree"      appstreamcli validate-tree --no-net "$tree"
same "lintian tags"                     "" lintian --allow-root -I --pedantic build-release/*.changes
# Debian 12's start files carry no control-flow marker, so no program linked there can: that line
# is left out, and the compiler's record in the debug symbols shows both flags instead (with no
# frame over a page, hardening-check cannot tell stack-clash protection from the code).
check "hardening-check"                 hardening-check --nocfprotection "$tree/usr/bin/$package"
same "units without stack-clash or CET" 0 unprotected_units
# From the libraries the program links, and by hand what it loads: Qt's platform plugins, the face.
deps=(fonts-liberation2 libc6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins)  # sorted
same "Depends"                          "${deps[*]}" depends "${deps[@]}"
same "Recommends"                       qt6-translations-l10n dpkg-deb -f "$deb" Recommends
same "files in the .deb"                "$(printf '%s\n' /usr/bin/$package "${icons[@]}" \
    /usr/share/applications/$id.desktop /usr/share/doc/$package/{changelog.gz,copyright} \
    /usr/share/man/{de/,}man1/$package.1.gz /usr/share/metainfo/$id.metainfo.xml | sort)" deb_files
check "dpkg -i"                         "${sudo[@]}" dpkg -i "$deb"
check "Exec of the desktop entry is on PATH" command -v "$(sed -n 's/^Exec=//p' "$tree"/usr/share/applications/*)"
check "X session (Xvfb, openbox)"       x_session_start
check "the installed program opens its window" opens_window $package env -i PATH=/usr/bin:/bin \
    HOME="$work" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" LANG=C.UTF-8 $package
# Without a virtual machine: the tests need root only to install the package and what they use.
check "autopkgtest (debian/tests)"      "${sudo[@]}" autopkgtest --summary-file="$work/autopkgtest" \
    "$deb" build-release/$package -- null
[[ -f $work/autopkgtest ]] && sed 's/^/packaging:      /' "$work/autopkgtest"
check "dpkg --purge"                    "${sudo[@]}" dpkg --purge $package
same "files left after dpkg --purge"    "" installed

check "wine prefix"                     wine wineboot --init
check "msiexec /i (version 0.9)"        wine msiexec /i "$older" /qn
same "registered for uninstall"         "$title|Feuchte-Werkstatt|0.9.0.0" arp "$older_code"
check "msiexec /i (upgrade in place)"   wine msiexec /i "$msi" /qn
same "registered for uninstall"         "$title|Feuchte-Werkstatt|$version" arp "$product_code"
same "version 0.9 unregistered"         "||" arp "$older_code"
check "icon in Apps & features"         cmp resources/app.ico "$(product_icon)"
same "installed files"                  "$(printf '%s\n' "${exe%/*}" "$exe" "$lnk" "${icon%/*}" \
    "$icon" | sort)" msi_files
check "the Start-menu shortcut opens the window" \
    opens_window "" wine start /unix "$WINEPREFIX/drive_c/$lnk"
check "msiexec /x"                      wine msiexec /x "$msi" /qn
same "files left after msiexec /x"      "" msi_files
same "unregistered after msiexec /x"    "||" arp "$product_code"

echo "packaging: $passed passed, $failed failed"
((failed == 0))
