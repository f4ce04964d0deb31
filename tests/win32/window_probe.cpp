// Prints what Windows says of the window titled argv[1] (waiting up to 10 s): the client area's
// size, then each control in z-order (the order Tab follows) with its left, top, width, height
// and, for a text field, the index of the first character in view. With "names" after the
// title, each control's role, name and value as a screen reader reads them through MSAA instead.
// With "events SECONDS", it listens as a screen reader's WinEvent hook does: prints "listening",
// then the name and value of each control that announces a new value, for that many seconds.
// With "clipboard" alone: the text a program would paste, as hexadecimal UTF-16 units (no line
// end of it turned into another on the way out).
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

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

static void PrintText(BSTR text) {  // and frees it
    char utf8[200]{};
    if (text) WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    std::printf("\t%s", utf8);
    SysFreeString(text);
}

static BOOL CALLBACK PrintAccessible(HWND control, LPARAM) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible)))) {
        return std::printf("none\n"), TRUE;
    }
    VARIANT self{}, role{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR name = nullptr, value = nullptr;
    accessible->get_accRole(self, &role);
    std::printf("%ld", role.vt == VT_I4 ? role.lVal : -1L);
    accessible->get_accName(self, &name);
    PrintText(name);
    accessible->get_accValue(self, &value);
    PrintText(value);
    std::printf("\n");
    accessible->Release();
    return TRUE;
}

static void CALLBACK PrintValueChange(HWINEVENTHOOK, DWORD, HWND control, LONG object, LONG child,
                                      DWORD, DWORD) {
    IAccessible* accessible = nullptr;
    VARIANT self{};
    if (FAILED(AccessibleObjectFromEvent(control, static_cast<DWORD>(object),
                                         static_cast<DWORD>(child), &accessible, &self))) {
        return;
    }
    BSTR name = nullptr, value = nullptr;
    accessible->get_accName(self, &name);
    accessible->get_accValue(self, &value);
    PrintText(name);
    PrintText(value);
    std::printf("\n");
    std::fflush(stdout);
    accessible->Release();
}

static void ListenForValueChanges(HWND window, int seconds) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                        PrintValueChange, process, 0, WINEVENT_OUTOFCONTEXT);
    std::printf("listening\n");
    std::fflush(stdout);
    const ULONGLONG end = GetTickCount64() + 1000ULL * static_cast<ULONGLONG>(seconds);
    for (MSG message; GetTickCount64() < end;) {  // out-of-context events come as messages
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
}

static int PrintClipboard() {
    if (!OpenClipboard(nullptr)) return 1;
    if (HANDLE text = GetClipboardData(CF_UNICODETEXT)) {
        for (auto* unit = static_cast<const wchar_t*>(GlobalLock(text)); unit && *unit; ++unit) {
            std::printf("%04x ", static_cast<unsigned>(*unit));
        }
        GlobalUnlock(text);
    }
    CloseClipboard();
    std::printf("\n");
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring(argv[1]) == L"clipboard") return PrintClipboard();
    SetProcessDPIAware();  // real pixels, not those of a program that knows no DPI
    HWND window = nullptr;
    for (int attempt = 0; argc >= 2 && attempt < 100; ++attempt, Sleep(100)) {
        if ((window = FindWindowW(nullptr, argv[1]))) break;
    }
    if (!window) return 1;
    if (argc == 4 && std::wstring(argv[2]) == L"events") {
        CoInitialize(nullptr);
        ListenForValueChanges(window, _wtoi(argv[3]));
        return 0;
    }
    if (argc == 3 && std::wstring(argv[2]) == L"names") {
        CoInitialize(nullptr);
        EnumChildWindows(window, PrintAccessible, 0);
        return 0;
    }
    RECT client{};
    GetClientRect(window, &client);
    std::printf("%ld %ld\n", client.right, client.bottom);
    EnumChildWindows(window, PrintControl, reinterpret_cast<LPARAM>(window));
    return 0;
}
