#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: unit and window tests, the
# same under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzzer for 25 s, the built
# program under Xvfb, the page in headless Chromium (as visitors use it and as sites serve it)
# and heard through Orca, the Windows program under wine, and the Debian package.
# Each stage prints its seconds, the run its total. The stages that type into windows run one
# after the other; while they wait on the windows, only the builds of later stages, the release and
# the fuzzer work beside them, at the lowest priority, so that they take no time the windows need.
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
# LOG COMMAND...: runs the command in the background at the lowest priority, in a process group
# of its own, so that nothing of it goes on after a stage has failed (the trap below).
beside() {
    set -m
    (renice -n 19 "$BASHPID" >/dev/null; "${@:2}") </dev/null >"$1" 2>&1 &
    beside_pid=$!
    set +m
}
trap 'for job in $(jobs -p); do kill -- -"$job"; done 2>/dev/null || true' EXIT
joined() {  # LOG LINES: waits for it; the end of its output, or all of it if it failed
    wait "$beside_pid" || { echo "failed beside: $1" && cat "$1"; return 1; }
    tail -n "$2" "$1"
}
built_ahead() {  # what the later stages build; their own build steps then find it done
    build sanitize
    build fuzz
    build web-tests
    build windows
}

linux() {
    stage "unit, window and end-to-end tests (the later stages building beside them)"
    beside build/ahead.log built_ahead
    ctest --preset linux
    joined build/ahead.log 0

    stage "unit and window tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    build sanitize
    ctest --preset sanitize
}

fuzzing() {
    mkdir -p build-fuzz/corpus
    build-fuzz/tests/fuzz/recalculate_fuzzer -max_total_time="$fuzz_seconds" -max_len=256 \
        -print_final_stats=1 build-fuzz/corpus tests/fuzz/seeds 2>&1 | tail -n 12
}

page() {
    stage "the page in headless Chromium, the core's unit tests under node, and beside them" \
        "fuzzing the recalculation for ${fuzz_seconds} s"
    build fuzz
    beside build-fuzz/fuzz.log fuzzing
    build web-tests
    ctest --preset web-tests
    /usr/bin/python3 tests/web/page_test.py build-web-tests/window/web/page
    /usr/bin/python3 tests/web/served_test.py build-web-tests/window/web/page
    joined build-fuzz/fuzz.log 12

    stage "the page heard through the screen reader Orca, in Chromium on a private X server"
    dbus-run-session -- bash -c 'source scripts/lib/x_session.sh && x_session_start &&
        /usr/bin/python3 tests/e2e/screen_reader_test.py page build-web-tests/window/web/page'
}

stage "dependencies"
scripts/install-deps.sh test

stage "build (warnings are errors)"
build linux
linux
page

stage "the Windows program under wine (the release building beside it)"
beside build/release.log tests/packaging/run.sh release
tests/win32/run.sh
stage "the release: the Debian package and the Windows installer as their users meet them"
joined build/release.log 12
tests/packaging/run.sh check

echo "--- $((SECONDS - stage_began)) s"
echo
echo "scripts/test.sh: ${stages} passed, 0 failed in $((SECONDS - began)) s"
