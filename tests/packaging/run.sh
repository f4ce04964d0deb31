#!/usr/bin/env bash
# The release as its users meet it, one check a line: the Debian package passes Debian's checkers,
# installs, passes its own tests (debian/tests, by autopkgtest), opens its window and leaves no
# trace. Under wine the .msi, signed with a throw-away certificate, installs for one user when
# double-clicked and for all users with ALLUSERS=1; in each a later commit's build upgrades it in
# place and msiexec /x removes it without a trace. "run.sh release" builds the release only,
# "run.sh check" checks the one built so.
set -euo pipefail
cd "$(dirname "$0")/../.."

signing=$PWD/build-signing  # the throw-away certificate
if [[ ${1:-} != check ]]; then
    rm -rf "$signing" && mkdir -p "$signing" && openssl req -x509 -newkey rsa:2048 -nodes -days 2 \
        -subj "/CN=Feuchte-Werkstatt (test)" -addext extendedKeyUsage=codeSigning \
        -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
    FEUCHTE_SIGNING_CERTIFICATE=$signing/cert.pem FEUCHTE_SIGNING_KEY=$signing/key.pem \
        scripts/release.sh deb windows
    [[ ${1:-} != release ]] || exit 0
fi
work=$(mktemp -d) tree=$(mktemp -d)
# The version's first three parts as CMakeLists.txt has them, the fourth the commits up to this one.
base=$(sed -n 's/^ *VERSION \([0-9]*\.[0-9]*\.[0-9]*\)\.${FEUCHTE_COMMITS}$/\1/p' CMakeLists.txt)
commits=$(git rev-list --count HEAD)
version=$base.$commits
package=feuchte-abs-rel id=de.feuchtewerkstatt.FeuchteAbsRel title='Feuchte abs -> rel'
deb=dist/${package}_${version}_amd64.deb msi=dist/${package}_${version}_x64.msi
dbgsym=dist/${package}-dbgsym_${version}_amd64.deb
sudo=()
((EUID == 0)) || sudo=(sudo)
cleanup() {
    [[ -d ${WINEPREFIX:-} ]] && { wineserver -k || true; } >/dev/null 2>&1
    x_session_stop
    "${sudo[@]}" dpkg --purge "$package" >/dev/null 2>&1 || true
    rm -rf "$work" "$tree"
}
trap cleanup EXIT
source scripts/lib/x_session.sh
source scripts/lib/wine_prefix.sh

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
msi_property() { msiinfo export "${2:-$msi}" Property | sed -n "s/^$1\t//p" | tr -d '\r'; }
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
registry() {  # NAME|VALUE lines of the key $1 under HKCU or, failing that, HKLM (where wine has it)
    { wine reg query "HKCU\\$1" /s || wine reg query "HKLM\\$1" /s; } 2>/dev/null | tr -d '\r' |
        awk '$2 ~ /^REG_/ { print $1 "|" substr($0, index($0, $2) + length($2) + 4) }'
}
arp() {  # name|maker|version registered for uninstalling the product code $1
    registry "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" | awk -F'|' '
        { v[$1] = $2 } END { print v["DisplayName"] "|" v["Publisher"] "|" v["DisplayVersion"] }'
}
products() {  # the product codes registered for uninstalling under our name, however many
    wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
        tr -d '\r' | awk -v title="$title" '/^HKEY/ { key = $0; sub(/.*\\/, "", key) }
            $1 == "DisplayName" && substr($0, index($0, "REG_SZ") + 10) == title { print key }' |
        xargs
}
product_icon() {  # where Apps & features takes the icon from: the user's products, or all users'
    winepath -u "$({ registry 'Software\Microsoft\Installer\Products'
                     registry 'Software\Classes\Installer\Products'; } |
                   sed -n 's/^ProductIcon|//p' | head -n 1)"
}
msi_files() {  # ours by name, and the installer's copy of the icon under a product code
    (cd "$WINEPREFIX/drive_c" && find . -ipath '*feuchte*' -o -ipath '*/Installer/{*' | sort)
}
# Double-clicked, as a standard user does, the installer works in its dialogs and ends with one
# saying what became of it (prints its texts); Enter, as a user would, closes it.
double_click() {
    local status=0 dialog="$title Setup"
    wine start /wait /unix "$1" >/dev/null 2>&1 &
    local pid=$!
    x_session_track $pid
    local texts="" deadline=$((SECONDS + 60)) attempt
    while [[ $texts != *Fertig* ]] && ((SECONDS < deadline)); do  # the progress has that title too
        texts=$(wine "$probe" "$dialog" names | cut -f 2 | grep -v '^$' | paste -sd '|') || true
        [[ $texts == *Fertig* ]] || sleep 0.2  # a probe a moment, not one after the other
    done
    echo "$texts"
    for attempt in {1..20}; do  # Enter until the installer has ended: the dialog may be slow to take it
        xdotool search --onlyvisible --name "^$dialog\$" windowactivate --sync key Return \
            >/dev/null 2>&1 || true
        sleep 0.5
        kill -0 $pid 2>/dev/null || break
    done
    wait $pid && return $status
}
installed_as() {  # the installed files, for one user ($1 = user) or all ($1 = machine)
    local programs="./users/$user/AppData/Local/Programs" menu="./users/$user/AppData/Roaming"
    local icons="./users/$user/AppData/Roaming/Microsoft/Installer/${2:-}"
    # wine keeps the shortcut in the Start menu of the user who installs for all users.
    [[ $1 == user ]] || programs="./Program Files" icons="./windows/Installer/${2:-}"
    printf '%s\n' "$programs/Feuchte-Werkstatt" "$programs/Feuchte-Werkstatt/$package.exe" \
        "$menu/Microsoft/Windows/Start Menu/Programs/Feuchte abs → rel.lnk" "$icons" "$icons/app.ico" |
        sort
}
user=${USER:-$(id -un)}
product_code=$(msi_property ProductCode)

same "version in debian/changelog"      "$base.0" dpkg-parsechangelog -S Version
same "version of the .deb"              "$version" dpkg-deb -f "$deb" Version
same "AppStream release"                "$version $(date -u -d "$(dpkg-parsechangelog -S Date)" +%F)" release
same "version of the .msi"              "$version" msi_property ProductVersion
check "signature of the .exe"           osslsigncode verify -CAfile "$signing/cert.pem" -in "dist/$package.exe"
check "signature of the .msi"           osslsigncode verify -CAfile "$signing/cert.pem" -in "$msi"
same "desktop-file-validate"            "" desktop-file-validate "$tree"/usr/share/applications/*
check "appstreamcli validate-tree"      appstreamcli validate-tree --no-net "$tree"
same "lintian tags"                     "" lintian --allow-root -I --pedantic build-release/*.changes
# Debian 12's start files carry no control-flow marker, so no program linked there can: that line
# is left out, and the compiler's record in the debug symbols shows both flags instead (with no
# frame over a page, hardening-check cannot tell stack-clash protection from the code).
check "hardening-check"                 hardening-check --nocfprotection "$tree/usr/bin/$package"
same "units without stack-clash or CET" 0 unprotected_units
# From the libraries the program links, and by hand what it loads: Qt's platform plugins (X and
# Wayland), the face.
deps=(fonts-liberation2 libc6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins qt6-wayland)  # sorted
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
# On this machine (no virtual one), with the package as installed above: root installs only what
# the tests use.
check "autopkgtest (debian/tests)"      "${sudo[@]}" autopkgtest --no-built-binaries \
    --summary-file="$work/autopkgtest" build-release/$package -- null
[[ -f $work/autopkgtest ]] && sed 's/^/packaging:      /' "$work/autopkgtest"
check "dpkg --purge"                    "${sudo[@]}" dpkg --purge $package
same "files left after dpkg --purge"    "" installed

check "wine prefix"                     wine_prefix_make "$work/prefix"
# The installer of a later commit, to upgrade with: the release's build again as the next commit
# builds it, whose count, the version's fourth part, is one higher (the product code follows it).
later_build() (
    cd build-release/feuchte-abs-rel && FEUCHTE_COMMITS=$((commits + 1)) cmake --preset windows \
        --compile-no-warning-as-error && cmake --build --preset windows --target msi window_probe
)
check "a later commit's installer"      later_build
later=$(ls build-release/feuchte-abs-rel/build-windows/*_$base.$((commits + 1))_x64.msi)
probe=$(ls build-release/feuchte-abs-rel/build-windows/tests/win32/window_probe.exe)
later_code=$(msi_property ProductCode "$later") later_version=$(msi_property ProductVersion "$later")
installed_exe() { echo "$WINEPREFIX/drive_c/$(installed_as "$1" | grep '\.exe$')"; }
# In the order Tab takes: the button, the note, and the note kept hidden for a removal.
done_texts="Fertig|$title ist installiert. Es steht im Startmenü.|$title ist entfernt."
for scope in user machine; do
    if [[ $scope == user ]]; then  # as a standard user does it, by double-clicking
        same "for one user: double-clicked, its last dialog" "$done_texts" double_click "$msi"
    else
        check "for all users: msiexec /i ALLUSERS=1" wine msiexec /i "$msi" ALLUSERS=1 /qn
    fi
    same "registered for uninstall"     "$title|Feuchte-Werkstatt|$version" arp "$product_code"
    same "installed files"              "$(installed_as $scope "$product_code")" msi_files
    check "installed: the release's .exe" cmp "dist/$package.exe" "$(installed_exe $scope)"
    check "icon in Apps & features"     cmp resources/app.ico "$(product_icon)"
    check "the Start-menu shortcut opens the window" opens_window "" wine start /unix \
        "$WINEPREFIX/drive_c/$(installed_as $scope | grep '\.lnk$')"
    if [[ $scope == user ]]; then
        same "the later commit's installer double-clicked" "$done_texts" double_click "$later"
    else
        check "the later commit's: msiexec /i ALLUSERS=1" wine msiexec /i "$later" ALLUSERS=1 /qn
    fi
    same "one product registered, the later one" "$later_code" products
    same "registered for uninstall"     "$title|Feuchte-Werkstatt|$later_version" arp "$later_code"
    same "installed files"              "$(installed_as $scope "$later_code")" msi_files
    check "installed: the later .exe"   cmp build-release/feuchte-abs-rel/build-windows/msi/$package.exe \
        "$(installed_exe $scope)"
    check "msiexec /x"                  wine msiexec /x "$later" /qn
    same "files left after msiexec /x"  "" msi_files
    same "products left registered"     "" products
done

echo "packaging: $passed passed, $failed failed"
((failed == 0))
