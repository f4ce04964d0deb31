#!/usr/bin/env bash
# The wine prefix every Windows test and screenshot runs in. Sourced, wine_prefix_make DIR makes a
# fresh prefix in DIR and exports what every later wine command needs. Run as a command
# (wine_prefix.sh DIR), it makes the prefix and prints those variables as NAME=VALUE lines, for
# the tests written in Python. The prefix takes the locale that wineboot runs in, for good.
wine_prefix_make() {
    # No debug chatter; Gecko and Mono are never needed, so never offered.
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # Output to a pipe would wait for the wine server to end, seconds after the boot.
    wineboot --init </dev/null >/dev/null 2>&1 || return
    # Debian's wine finds only its bitmap fonts by itself; Tahoma (the button's default GUI font)
    # and Marlett (the caption buttons) must be where Windows keeps its fonts.
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -euo pipefail
    wine_prefix_make "$1"
    for name in WINEPREFIX WINEDEBUG WINEDLLOVERRIDES; do echo "$name=${!name}"; done
fi
