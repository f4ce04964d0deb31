#!/usr/bin/env bash
# The Windows program: builds it with the "windows" preset, checks what Windows reads from the
# .exe, and uses its window under wine with the end-to-end driver.
# (The screenshots in docs/: scripts/screenshot-windows.sh.)
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=build-windows/window/win32/feuchte-abs-rel.exe
echo "win32: build with the 'windows' preset"
cmake --preset windows >/dev/null
cmake --build --preset windows --target all window_probe
echo "win32: what Windows reads from $exe"
/usr/bin/python3 tests/win32/check_resources.py "$exe"
echo "win32: it starts on Windows 7, with System32's DLLs only"
/usr/bin/python3 tests/win32/check_imports.py "$exe"
# Text is dropped into the window from a Linux program, if the Linux build has made it.
if [[ -x build/tests/e2e/drag_source ]]; then
    export FEUCHTE_DRAG_SOURCE=$PWD/build/tests/e2e/drag_source
else
    echo "win32: no build/tests/e2e/drag_source, so nothing is dropped into the window"
fi
(cd build-windows && ../tests/e2e/run.sh wine "../$exe")
