#!/usr/bin/env bash
# Builds the release of the last commit into dist/: the Debian package and its debug symbols, the
# Windows program and its installer, the page as a zip, and SHA256SUMS.
# The same commit gives the same bytes, wherever and whenever it is built: every time stamp is the
# commit's (SOURCE_DATE_EPOCH) and no file records the folder it was built in.
# usage: scripts/release.sh [PART...]   parts: deb windows web (all three by default)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
parts=("$@")
((${#parts[@]})) || parts=(deb windows web)
say() { echo "release: $*"; }
wanted() { [[ " ${parts[*]} " == *" $1 "* ]]; }

scripts/install-deps.sh release
if ! git diff --quiet HEAD --; then
    say "warning: uncommitted changes are not released; this builds the last commit only"
fi
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C.UTF-8
umask 022

# The sources exactly as committed, every file dated like the commit.
work=$root/build-release
source=$work/feuchte-abs-rel
say "exporting $(git rev-parse --short HEAD) (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH) to $source"
rm -rf "$work" dist
mkdir -p "$work" dist
git archive --prefix=feuchte-abs-rel/ HEAD | tar -x -C "$work"
cd "$source"

if wanted deb; then
    say "dpkg-buildpackage -b (log: $work/deb.log)"
    dpkg-buildpackage -b -us -uc >"$work/deb.log" 2>&1 || {
        tail -n 30 "$work/deb.log"
        exit 1
    }
    cp "$work"/*.deb "$root/dist/"
fi
if wanted windows; then
    say "the Windows program and its installer (wixl)"
    cmake --preset windows >/dev/null
    cmake --build --preset windows --target feuchte_win32 msi >"$work/windows.log" || {
        tail -n 30 "$work/windows.log"
        exit 1
    }
    cp build-windows/window/win32/*.exe build-windows/*.msi "$root/dist/"
fi
if wanted web; then
    say "the page (emscripten)"
    cmake --preset web >/dev/null
    cmake --build --preset web >"$work/web.log" || {
        tail -n 30 "$work/web.log"
        exit 1
    }
    version=$(dpkg-parsechangelog -S Version)
    zip=$root/dist/feuchte-abs-rel_${version}_web.zip
    # One folder of its own, to be put on a site as it is (not unpacked over the site's root).
    # Members in a fixed order, without owners; strip-nondeterminism dates them like the commit.
    mkdir "$work/web"
    cp -r build-web/window/web/page "$work/web/feuchte-abs-rel"
    (cd "$work/web" && find feuchte-abs-rel -type f | LC_ALL=C sort | zip -X -q -@ "$zip")
    strip-nondeterminism --type zip --timestamp "$SOURCE_DATE_EPOCH" "$zip"
fi

cd "$root/dist"
sha256sum -- * >SHA256SUMS
say "wrote $root/dist:"
ls -l --time-style=+ . | tail -n +2
cat SHA256SUMS
