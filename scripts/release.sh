#!/usr/bin/env bash
# Builds the release of the last commit into dist/: the Debian package and its debug symbols, the
# Windows program and its installer, the page as a zip, and SHA256SUMS.
# The same commit gives the same bytes, wherever and whenever it is built: every time stamp is the
# commit's (SOURCE_DATE_EPOCH) and no file records the folder it was built in.
# With FEUCHTE_SIGNING_CERTIFICATE and FEUCHTE_SIGNING_KEY set (packaging/windows/sign.sh), the
# .exe and the .msi are signed.
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
# The export has no history to count the commits in (cmake/commit_count.cmake).
FEUCHTE_COMMITS=$(git rev-list --count HEAD)
[[ $(git rev-parse --is-shallow-repository) == false ]] ||
    say "warning: a shallow clone: its commit count, $FEUCHTE_COMMITS, is not the release's"
export SOURCE_DATE_EPOCH FEUCHTE_COMMITS TZ=UTC LC_ALL=C.UTF-8
umask 022

# The sources exactly as committed, every file dated like the commit. Warnings are errors for the
# developers only: a newer compiler's new warning must not stop a release.
work=$root/build-release
source=$work/feuchte-abs-rel
say "exporting $(git rev-parse --short HEAD) (SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH) to $source"
rm -rf "$work" dist
mkdir -p "$work" dist
git archive --prefix=feuchte-abs-rel/ HEAD | tar -x -C "$work"
cd "$source"
# The Debian package's version too ends in the commit count, where the changelog has a 0.
sed -i "1s/^\([^ ]* ([0-9]*\.[0-9]*\.[0-9]*\)\.0)/\1.$FEUCHTE_COMMITS)/" debian/changelog

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
    cmake --preset windows --compile-no-warning-as-error >/dev/null
    cmake --build --preset windows --target feuchte_win32 msi >"$work/windows.log" || {
        tail -n 30 "$work/windows.log"
        exit 1
    }
    cp build-windows/msi/*.exe build-windows/*.msi "$root/dist/"  # the .exe as the .msi has it
fi
if wanted web; then
    say "the page (emscripten)"
    cmake --preset web --compile-no-warning-as-error >/dev/null
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
