#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing for a purpose: "run" (build and open the
# window), "web" (build and serve the page), "release" (scripts/release.sh) or "test" (build and
# run every test). The one list of the project's dependencies.
set -euo pipefail

purpose=${1:-test}

run_packages=(
    cmake g++ make ninja-build pkgconf
    qt6-base-dev libgl-dev qt6-translations-l10n qt6-qpa-plugins qt6-wayland
    fonts-dejavu-core fonts-liberation2 fonts-liberation
)
web_packages=(cmake ninja-build emscripten python3)
# scripts/release.sh: the Debian package the Debian way (with its unit and window tests), the
# Windows program and its installer, the page.
release_packages=(
    "${run_packages[@]}" "${web_packages[@]}"
    build-essential debhelper dpkg-dev git libgtest-dev
    g++-mingw-w64-x86-64 wixl python3-gi gir1.2-libmsi-1.0 osslsigncode zip strip-nondeterminism
)
test_packages=(
    "${release_packages[@]}" chromium chromium-driver python3-selenium
    googletest libbenchmark-dev nodejs clang libclang-rt-14-dev
    xvfb xauth openbox xdotool xclip x11-utils imagemagick librsvg2-bin time
    wine wine64 fonts-wine python3-pefile icoutils x11-xkb-utils
    desktop-file-utils appstream file lintian devscripts msitools openssl
    at-spi2-core dbus-daemon qt6ct sway wtype wl-clipboard autopkgtest orca
)

# npm for the page's audits (tests/web/package.json); some Node.js packages bring their own.
command -v npm >/dev/null || test_packages+=(npm)

case "$purpose" in
    run) wanted=("${run_packages[@]}") ;;
    web) wanted=("${web_packages[@]}") ;;
    release) wanted=("${release_packages[@]}") ;;
    test) wanted=("${test_packages[@]}") ;;
    *) echo "usage: $0 run|web|release|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
    echo "install-deps: all ${#wanted[@]} packages for '$purpose' are installed"
else
    sudo=()
    ((EUID == 0)) || sudo=(sudo)
    echo "install-deps: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# The page test's accessibility audit: axe-core from npm, at the version the lock file names.
web_tests=$(dirname "$0")/../tests/web
if [[ $purpose == test && ! -f $web_tests/node_modules/axe-core/axe.min.js ]]; then
    echo "install-deps: npm ci --omit=dev in tests/web (axe-core)"
    npm ci --prefix "$web_tests" --omit=dev --prefer-offline --no-audit --no-fund --silent
fi
