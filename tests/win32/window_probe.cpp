// Prints the converter window as Windows reports it to other programs: the client area's size,
// then each control in z-order (the order Tab follows) with its left, top, width and height in
// the client area and, for a text field, the index of the first character in view.
// usage: window_probe.exe CAPTION      (waits up to 10 s for the window)
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK PrintControl(HWND control, LPARAM window) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(window), reinterpret_cast<POINT*>(&place), 2);
    wchar_t kind[32] = L"";
    GetClassNameW(control, kind, 32);
    // The character under the field's left edge, past its border and margin.
    const long first = lstrcmpiW(kind, L"Edit") == 0
                           ? LOWORD(SendMessageW(control, EM_CHARFROMPOS, 0,
                                                 MAKELPARAM(GetSystemMetrics(SM_CXEDGE) + 2,
                                                            (place.bottom - place.top) / 2)))
                           : -1;
    std::printf("%ld %ld %ld %ld %ld\n", place.left, place.top, place.right - place.left,
                place.bottom - place.top, first);
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    SetProcessDPIAware();  // real pixels, not those of a program that knows no DPI
    HWND window = nullptr;
    for (int attempt = 0; attempt < 100 && !(window = FindWindowW(nullptr, argv[1])); ++attempt) {
        Sleep(100);
    }
    if (!window) return 1;
    RECT client{};
    GetClientRect(window, &client);
    std::printf("%ld %ld\n", client.right, client.bottom);
    EnumChildWindows(window, PrintControl, reinterpret_cast<LPARAM>(window));
    return 0;
}
