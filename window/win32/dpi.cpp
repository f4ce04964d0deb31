#include "dpi.h"

#include <string>

namespace win32 {

namespace {

// Windows 10 1607 and later.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
// Windows 8.1 and later (shcore.dll); 0 asks for the effective DPI, the one to lay out for.
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

HMODULE User32() {
    static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32;
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return module;
    }
    // Windows 7 without its 2011 loader update knows no LOAD_LIBRARY_SEARCH_SYSTEM32 and
    // refuses the call: the full path then says where to look, for the DLL and its own imports.
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    path.resize(length);
    path += L'\\';
    path += name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

UINT SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT WindowDpi(HWND window) {
    static const auto forWindow = Lookup<GetDpiForWindowFunction>(User32(), "GetDpiForWindow");
    if (forWindow) return forWindow(window);
    static const auto forMonitor =
        Lookup<GetDpiForMonitorFunction>(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (forMonitor &&
        SUCCEEDED(forMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &x,
                             &y)) &&
        x > 0) {
        return x;
    }
    return SystemDpi();
}

void AddFrame(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    static const auto forDpi =
        Lookup<AdjustWindowRectExForDpiFunction>(User32(), "AdjustWindowRectExForDpi");
    // Before Windows 10 the frame keeps the system DPI's size on every monitor.
    if (!forDpi || !forDpi(&rect, style, FALSE, exStyle, dpi)) {
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    }
}

}  // namespace win32
