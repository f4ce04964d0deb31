// Prints what Windows says of the window titled argv[1] (waiting up to 10 s): the client area's
// size, then each control in z-order (the order Tab follows) with its left, top, width, height
// and, for a text field, the index of the first character in view.
#include <windows.h>

#include <cstdio>

static BOOL CALLBACK PrintControl(HWND control, LPARAM window) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(window), reinterpret_cast<POINT*>(&place), 2);
    // The character just inside a text field's border and margin; 0 from other controls.
    const LPARAM inside =
        MAKELPARAM(GetSystemMetrics(SM_CXEDGE) + 2, (place.bottom - place.top) / 2);
    const long first = LOWORD(SendMessageW(control, EM_CHARFROMPOS, 0, inside));
    std::printf("%ld %ld %ld %ld %ld\n", place.left, place.top, place.right - place.left,
                place.bottom - place.top, first);
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    SetProcessDPIAware();  // real pixels, not those of a program that knows no DPI
    HWND window = nullptr;
    for (int attempt = 0; argc == 2 && attempt < 100; ++attempt, Sleep(100)) {
        if ((window = FindWindowW(nullptr, argv[1]))) break;
    }
    if (!window) return 1;
    RECT client{};
    GetClientRect(window, &client);
    std::printf("%ld %ld\n", client.right, client.bottom);
    EnumChildWindows(window, PrintControl, reinterpret_cast<LPARAM>(window));
    return 0;
}
