#!/usr/bin/env bash
# The Windows program: builds it with the "windows" preset, checks what Windows reads from the
# .exe, and uses its window under wine with the end-to-end driver, from a folder where 30 DLLs
# have been planted beside it, as anyone can put files into Downloads; none of them may run.
# (The screenshots in docs/: scripts/screenshot-windows.sh.)
set -euo pipefail
cd "$(dirname "$0")/../.."
exe=build-windows/window/win32/feuchte-abs-rel.exe
echo "win32: build with the 'windows' preset"
cmake --preset windows >/dev/null
cmake --build --preset windows --target all window_probe planted_dll
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
# Names that Windows' and wine's own DLLs, or the program, load by name: the system's would do.
planted=(shcore propsys windowscodecs uxtheme dwmapi version winmm cryptbase profapi userenv
         oleacc gdiplus msimg32 comctl32 dbghelp riched20 dwrite d2d1 uiautomationcore sspicli
         secur32 bcrypt ntmarta iphlpapi dnsapi wtsapi32 powrprof dxgi mpr textinputframework)
downloads=build-windows/window/downloads
rm -rf "$downloads" && mkdir -p "$downloads" && cp "$exe" "$downloads/"
for name in "${planted[@]}"; do cp build-windows/tests/win32/planted_dll.dll "$downloads/$name.dll"; done
status=0
(cd build-windows && ../tests/e2e/run.sh wine "../$downloads/${exe##*/}") || status=$?
ran=$(cd "$downloads" && find . -name "*.ran" | sed "s|^./||; s|\.ran$||" | sort | xargs)
if [[ -z $ran ]]; then
    echo "win32: ok   none of the ${#planted[@]} DLLs planted beside the program ran"
else
    echo "win32: FAIL planted DLLs ran: $ran" && status=1
fi
exit "$status"
