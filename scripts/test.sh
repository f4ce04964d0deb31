#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit and window tests, the
# same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzer for 25 s, the built
# program under Xvfb, the page in headless Chromium (as visitors use it and as sites serve it)
# and heard through Orca, the Windows program under wine, and the Debian package.
# Four parts run side by side, each in its order and into a log of its own that is printed whole
# when the part ends: the packaging from the start, the Windows program, the page and the Linux
# tests after the Linux build. Builds run below the tests' priority: the tests that type into
# windows and wait for them keep their pace while the builds take the rest.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${FUZZ_SECONDS:-25}
began=$SECONDS stage_began=$SECONDS stages=0
stage() {  # ends the stage before with its time, and starts one
    ((stages == 0)) || echo "--- $((SECONDS - stage_began)) s"
    echo
    echo "=== $*"
    stages=$((stages + 1)) stage_began=$SECONDS
}
build() {  # PRESET [OPTION...]
    cmake --preset "$1" >/dev/null
    nice cmake --build --preset "$@"
}

linux() {
    stage "unit, window and end-to-end tests"
    ctest --preset linux

    stage "unit and window tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    build sanitize
    ctest --preset sanitize

    stage "fuzzing the recalculation for ${fuzz_seconds} s"
    build fuzz
    mkdir -p build-fuzz/corpus
    build-fuzz/tests/fuzz/recalculate_fuzzer -max_total_time="$fuzz_seconds" -max_len=256 \
        -print_final_stats=1 build-fuzz/corpus tests/fuzz/seeds 2>&1 | tail -n 12
}

page() {
    stage "the page, built with emscripten: the core's unit tests under node, the page in headless Chromium"
    build web-tests
    ctest --preset web-tests
    /usr/bin/python3 tests/web/page_test.py build-web-tests/window/web/page
    /usr/bin/python3 tests/web/served_test.py build-web-tests/window/web/page

    stage "the page heard through the screen reader Orca, in Chromium on a private X server"
    dbus-run-session -- bash -c 'source scripts/lib/x_session.sh && x_session_start &&
        /usr/bin/python3 tests/e2e/screen_reader_test.py page build-web-tests/window/web/page'
}

# Each part in a process group of its own, ended with the script if the script is stopped.
set -m
declare -A parts
logs=$(mktemp -d)
trap 'for pid in "${!parts[@]}"; do kill -- "-$pid" 2>/dev/null; done; rm -rf "$logs"' EXIT
part() {  # NAME COMMAND...
    (stages=0; "${@:2}"; echo "--- $((SECONDS - stage_began)) s") </dev/null >"$logs/${1//\//-}" 2>&1 &
    parts[$!]=$1
}
run_script() { stage "$1"; "$1"; }
script_part() { if [[ -x $1 ]]; then part "$1" run_script "$1"; fi; }

stage "dependencies"
scripts/install-deps.sh test
script_part tests/packaging/run.sh  # the longest way to the end, so first (it builds its own)

stage "build (warnings are errors)"
cmake --preset linux >/dev/null
cmake --build --preset linux  # before the parts: the Windows program's tests drop from its drag source
echo "--- $((SECONDS - stage_began)) s"
script_part tests/win32/run.sh
part page page
part linux linux

failed=()
while ((${#parts[@]})); do
    status=0
    wait -n -p pid || status=$?
    name=${parts[$pid]} log=$logs/${parts[$pid]//\//-}
    unset "parts[$pid]"
    ((status == 0)) || failed+=("$name")
    echo
    echo "##### $name: $( ((status == 0)) && echo passed || echo "FAILED (status $status)"), at $((SECONDS - began)) s"
    cat "$log"
    stages=$((stages + $(grep -c '^=== ' "$log" || true)))
done

echo
if ((${#failed[@]})); then
    echo "scripts/test.sh: ${stages} stages, FAILED in: ${failed[*]}, after $((SECONDS - began)) s"
    exit 1
fi
echo "scripts/test.sh: ${stages} passed, 0 failed in $((SECONDS - began)) s"
