#!/usr/bin/env bash
# The release as its users meet it, one check a line: scripts/release.sh builds dist/; the Debian
# package passes Debian's checkers, installs, opens its window and leaves no trace; the .msi
# upgrades an older version in place under wine, opens the window from its Start-menu shortcut
# and uninstalls without a trace; every file carries the one version. Needs root or sudo (dpkg).
set -euo pipefail
cd "$(dirname "$0")/../.."

scripts/release.sh deb windows
version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt | head -n 1)
package=feuchte-abs-rel id=de.feuchtewerkstatt.FeuchteAbsRel title='Feuchte abs -> rel'
deb=dist/${package}_${version}_amd64.deb msi=dist/${package}_${version}_x64.msi
sudo=()
((EUID == 0)) || sudo=(sudo)
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    [[ -d $WINEPREFIX ]] && { wineserver -k || true; } >/dev/null 2>&1
    x_session_stop
    "${sudo[@]}" dpkg --purge "$package" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
source tests/support/x_session.sh

passed=0 failed=0
result() {  # WHAT PASSED DETAILS
    if $2; then
        passed=$((passed + 1)) && echo "packaging: ok   $1"
    else
        failed=$((failed + 1)) && echo "packaging: FAIL $1"$'\n'"$3" >&2
    fi
}
# check WHAT COMMAND...: the command succeeds. same WHAT EXPECTED COMMAND...: and prints EXPECTED.
# Output goes through a file: a wineserver started by a command would hold a pipe open.
check() {
    local ok=true
    "${@:2}" >"$work/output" 2>&1 || ok=false
    result "$1" $ok "$(<"$work/output")"
}
same() {
    "${@:3}" >"$work/output" 2>&1 || true
    local output
    output=$(<"$work/output")
    result "$1" "$([[ $output == "$2" ]] && echo true || echo false)" \
        "  got: ${output:-(nothing)}"$'\n'"  expected: ${2:-(nothing)}"
}

# Helpers for the table below.
tree=$work/tree
dpkg-deb -x "$deb" "$tree"
deb_files() { dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }' | sort; }
depends() { dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$1"; }
msi_property() { msiinfo export "$msi" Property | sed -n "s/^$1\t//p" | tr -d '\r'; }
exe_version() {
    /usr/bin/python3 -c 'import pefile, sys; f = pefile.PE(sys.argv[1]).VS_FIXEDFILEINFO[0]
print(*(v >> s & 0xFFFF for v in (f.FileVersionMS, f.FileVersionLS) for s in (16, 0)), sep=".")' \
        dist/$package.exe
}
release_version() { sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$tree"/usr/share/metainfo/*; }
dbgsym=dist/${package}-dbgsym_${version}_amd64.deb
dpkg-deb -x "$dbgsym" "$work/dbgsym"
debug_files() { dpkg-deb -c "$dbgsym" | grep -c '\.debug$'; }
unprotected_units() {  # compile units built without stack-clash or control-flow protection
    readelf --debug-dump=info "$work"/dbgsym/usr/lib/debug/.build-id/*/*.debug 2>/dev/null | awk '
        /DW_AT_producer/ { n++; if (!/-fstack-clash-protection/ || !/-fcf-protection/) bad++ }
        END { print n ? bad + 0 : "no compile units" }'
}
# Starts COMMAND..., waits for the window, checks it is the program's (WM_CLASS where given), and
# closes it with Escape in the focused first field.
opens_window() {
    local wm_class=$1 window
    "${@:2}" >"$work/program.log" 2>&1 &
    window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) &&
        { [[ -z $wm_class ]] || xprop -id "$window" WM_CLASS | grep "\"$wm_class\""; } &&
        xdotool windowactivate --sync "$window" key Escape &&
        wait_for "the window to close" 10 bash -c "! xdotool search --onlyvisible --name '^$title\$'"
}
installed() {
    ls -d /usr/bin/$package /usr/share/doc/$package /usr/share/man/{,de/}man1/$package* \
        /usr/share/{applications,metainfo,icons/hicolor/*/apps}/$id* 2>/dev/null || true
}
wine() { env LC_ALL=C.UTF-8 wine "$@"; }  # a UTF-8 locale, for the arrow in the file name
arp_entries() {  # name|maker|version of every product registered for uninstall under our name
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' |
        awk '/^HKEY/ { if (n == "'"$title"'") print n "|" p "|" v; n = p = v = "" }
             $1 == "DisplayName" { n = substr($0, index($0, "REG_SZ") + 10) }
             $1 == "Publisher" { p = $3 } $1 == "DisplayVersion" { v = $3 }
             END { if (n == "'"$title"'") print n "|" p "|" v }'
}
product_icon() {
    winepath -u "$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s | tr -d '\r' |
        sed -n 's/.*ProductIcon *REG_SZ *//p')"
}
msi_files() {  # ours by name, and the installer's copy of the icon under the product code
    (cd "$WINEPREFIX/drive_c" && find . -ipath '*feuchte*' -o -ipath "*$product_code*" | sort)
}
older=$work/older.msi  # the same package as version 0.9, a product of its own
cp "$msi" "$older"
set_property() { echo "UPDATE \`Property\` SET \`Value\` = '$2' WHERE \`Property\` = '$1'"; }
msibuild "$older" -q "$(set_property ProductVersion 0.9.0.0)" \
    -q "$(set_property ProductCode '{0D1DE0A5-0000-4000-8000-000000000090}')"
lnk='./users/root/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Feuchte abs → rel.lnk'
[[ $EUID == 0 ]] || lnk=${lnk/root/$USER}
exe="./Program Files/Feuchte-Werkstatt/$package.exe"
product_code=$(msi_property ProductCode)
icon="./windows/Installer/$product_code/app.ico"
icons=(/usr/share/icons/hicolor/scalable/apps/$id.svg)  # and every size the artwork is drawn in
for png in resources/icons/*x*.png; do
    icons+=("/usr/share/icons/hicolor/$(basename "$png" .png)/apps/$id.png")
done

same "version in debian/changelog"      "$version" dpkg-parsechangelog -S Version
same "version of the .deb"              "$version" dpkg-deb -f "$deb" Version
same "version in the AppStream release" "$version" release_version
same "version of the .msi"              "$version" msi_property ProductVersion
same "version record of the .exe"       "$version" exe_version
same "desktop-file-validate"            "" desktop-file-validate "$tree/usr/share/applications/$id.desktop"
check "appstreamcli validate-tree"      appstreamcli validate-tree --no-net "$tree"
same "lintian tags"                     "" lintian --allow-root -I --pedantic build-release/*.changes
# Debian 12's start files carry no control-flow marker, so no program linked there can: that line
# is left out, and the compiler's record in the debug symbols shows both flags instead (with no
# frame over a page, hardening-check cannot tell stack-clash protection from the code).
check "hardening-check"                 hardening-check --nocfprotection "$tree/usr/bin/$package"
same "units without stack-clash or CET" 0 unprotected_units
same "debug files in the -dbgsym"       1 debug_files
for dependency in libqt6widgets6 libqt6gui6 libc6 qt6-qpa-plugins fonts-liberation2; do
    check "Depends: $dependency"        depends "$dependency"
done
same "Recommends"                       qt6-translations-l10n dpkg-deb -f "$deb" Recommends
same "files in the .deb"                "$(printf '%s\n' /usr/bin/$package \
    /usr/share/applications/$id.desktop /usr/share/doc/$package/{changelog.gz,copyright} \
    "${icons[@]}" \
    /usr/share/man/{de/,}man1/$package.1.gz /usr/share/metainfo/$id.metainfo.xml | sort)" deb_files
check "the .exe starts on Windows 7, with System32's DLLs only" \
    /usr/bin/python3 tests/win32/check_imports.py dist/$package.exe
check "dpkg -i"                         "${sudo[@]}" dpkg -i "$deb"
check "Exec of the desktop entry is on PATH" command -v "$(sed -n 's/^Exec=//p' "$tree"/usr/share/applications/*)"
check "X session (Xvfb, openbox)"      x_session_start
check "the installed program opens its window" opens_window $package env -i PATH=/usr/bin:/bin \
    HOME="$work" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" LANG=C.UTF-8 $package
check "dpkg --purge"                    "${sudo[@]}" dpkg --purge $package
same "files left after dpkg --purge"    "" installed

check "wine prefix"                     wine wineboot --init
check "msiexec /i (version 0.9)"        wine msiexec /i "$older" /qn
same "registered for uninstall"         "$title|Feuchte-Werkstatt|0.9.0.0" arp_entries
check "msiexec /i (upgrade in place)"   wine msiexec /i "$msi" /qn
same "registered for uninstall"         "$title|Feuchte-Werkstatt|$version" arp_entries
check "icon in Apps & features"         cmp resources/app.ico "$(product_icon)"
same "installed files"                  "$(printf '%s\n' "${exe%/*}" "$exe" "$lnk" "${icon%/*}" "$icon" |
    sort)" msi_files
check "the Start-menu shortcut opens the window" \
    opens_window "" wine start /unix "$WINEPREFIX/drive_c/$lnk"
check "msiexec /x"                      wine msiexec /x "$msi" /qn
same "files left after msiexec /x"      "" msi_files
same "registered after msiexec /x"      "" arp_entries

echo "packaging: $passed passed, $failed failed"
((failed == 0))
