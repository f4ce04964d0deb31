#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit and window tests, the
# same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzer for 25 s, the built
# program under Xvfb, the page in headless Chromium (as visitors use it and as sites serve it)
# and heard through Orca, the Windows program under wine, and the Debian package.
# Each stage prints its seconds, the run its total. One after the other: tests that type into
# windows and wait for them lost keys and clipboards while other parts built beside them.
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
build() {  # PRESET
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$@"
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

run_script() { if [[ -x $1 ]]; then stage "$1"; "$1"; fi; }

stage "dependencies"
scripts/install-deps.sh test

stage "build (warnings are errors)"
build linux
linux
page
run_script tests/win32/run.sh
run_script tests/packaging/run.sh

echo "--- $((SECONDS - stage_began)) s"
echo
echo "scripts/test.sh: ${stages} passed, 0 failed in $((SECONDS - began)) s"
