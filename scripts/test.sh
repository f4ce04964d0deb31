#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit and window tests, the
# same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzer for 25 s, the built
# program under Xvfb, the page in headless Chromium (as visitors use it and as sites serve it)
# and heard through Orca, the Windows program under wine, and the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${FUZZ_SECONDS:-25}
stages=0 began=$SECONDS stage_began=$SECONDS
stage() {  # ends the stage before with its time, and starts one
    ((stages == 0)) || echo "--- $((SECONDS - stage_began)) s"
    echo
    echo "=== $*"
    stages=$((stages + 1)) stage_began=$SECONDS
}

stage "dependencies"
scripts/install-deps.sh test

stage "build (warnings are errors)"
cmake --preset linux >/dev/null
cmake --build --preset linux

stage "unit, window and end-to-end tests"
ctest --preset linux

stage "unit and window tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize

stage "fuzzing the recalculation for ${fuzz_seconds} s"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build-fuzz/corpus
build-fuzz/tests/fuzz/recalculate_fuzzer -max_total_time="$fuzz_seconds" -max_len=256 \
    -print_final_stats=1 build-fuzz/corpus tests/fuzz/seeds 2>&1 | tail -n 12

stage "the page, built with emscripten: the core's unit tests under node, the page in headless Chromium"
cmake --preset web-tests >/dev/null
cmake --build --preset web-tests
ctest --preset web-tests
/usr/bin/python3 tests/web/page_test.py build-web-tests/window/web/page
# Once in a few runs headless Chromium keeps the old build's worker for a visit longer than it
# should; a second run tells that apart from a worker that never updates.
/usr/bin/python3 tests/web/served_test.py build-web-tests/window/web/page ||
    /usr/bin/python3 tests/web/served_test.py build-web-tests/window/web/page

stage "the page heard through the screen reader Orca, in Chromium on a private X server"
dbus-run-session -- bash -c 'source scripts/lib/x_session.sh && x_session_start &&
    /usr/bin/python3 tests/e2e/screen_reader_test.py page build-web-tests/window/web/page'

for script in tests/win32/run.sh tests/packaging/run.sh; do
    if [[ -x $script ]]; then
        stage "$script"
        "$script"
    fi
done

echo "--- $((SECONDS - stage_began)) s"
echo
echo "scripts/test.sh: ${stages} passed, 0 failed in $((SECONDS - began)) s"
