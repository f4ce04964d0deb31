#!/usr/bin/env bash
# Compares the converter's start-up with a bare Qt Widgets window of the same caption and size
# showing one text field (the toolkit's floor for a window with text), on a private X server with
# a window manager: the time from the fork to the window being mapped, and the peak resident
# memory of a run that ends by closing the window. Prints the medians and how the converter
# compares with the targets (at most 1.05 times the time, at most 1 MiB more memory).
# Usage: scripts/measure-startup.sh [RUNS]   (BUILD_DIR picks the build folder, default build)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-15}
((runs >= 10)) || { echo "usage: $0 [RUNS >= 10]" >&2; exit 2; }
build=${BUILD_DIR:-build}

[[ -f $build/CMakeCache.txt ]] || cmake --preset linux -B "$build" >/dev/null
cmake --build "$build" --target feuchte-abs-rel >/dev/null
# The bare window gets the same build type as the converter.
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
cmake -S benchmarks/bare_qt_window -B "$build/bare_qt_window" -G Ninja \
    -DCMAKE_BUILD_TYPE="${build_type:-RelWithDebInfo}" \
    >/dev/null
cmake --build "$build/bare_qt_window" >/dev/null

converter=$(realpath "$build/window/qt/feuchte-abs-rel")
bare=$(realpath "$build/bare_qt_window/bare_qt_window")
timer=$(realpath "$build/bare_qt_window/map_timer")

source scripts/lib/x_session.sh
x_session_start
# Set for the programs only: the shell would complain where the locale is not installed.
german=(env LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8)

# Time and memory come from separate runs, so that /usr/bin/time adds nothing to the time.
measure() {
    local name=$1
    shift
    "${german[@]}" "$timer" "$@" >>"$x_session_dir/$name.ms"
    "${german[@]}" "$timer" /usr/bin/time -f %M -a -o "$x_session_dir/$name.kib" "$@" >/dev/null
}
median() {
    sort -g "$1" | awk '{ v[NR] = $1 }
        END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One run each to fill the caches, then the programs in turns so that drift hits all alike. The
# bare window without a field shows what Qt's fonts cost before any window with text can map.
"$timer" "$converter" >/dev/null
"$timer" "$bare" field >/dev/null
for ((i = 0; i < runs; i++)); do
    measure converter "$converter"
    measure field "$bare" field
    measure bare "$bare"
done

report() {
    local name=$1 label=$2
    awk -v label="$label" -v cm="$(median "$x_session_dir/$name.ms")" \
        -v bm="$(median "$x_session_dir/field.ms")" -v ck="$(median "$x_session_dir/$name.kib")" \
        -v bk="$(median "$x_session_dir/field.kib")" 'BEGIN {
        printf "%-28s start-up %6.1f ms  x%.3f    peak memory %5.1f MiB  %+5.2f MiB\n",
            label, cm, cm / bm, ck / 1024, (ck - bk) / 1024
    }'
}
echo "medians of $runs runs each; start-up is from the fork to the window being mapped under"
echo "Xvfb and openbox; both compared with the bare window with one field"
report bare "bare window, no field"
report field "bare window with one field"
report converter "$(basename "$converter")"
awk -v cm="$(median "$x_session_dir/converter.ms")" -v bm="$(median "$x_session_dir/field.ms")" \
    -v ck="$(median "$x_session_dir/converter.kib")" -v bk="$(median "$x_session_dir/field.kib")" \
    'BEGIN {
    printf "targets: start-up at most x1.05: %s; at most 1 MiB more: %s\n",
        cm / bm <= 1.05 ? "met" : "missed", (ck - bk) / 1024 <= 1 ? "met" : "missed"
}'
