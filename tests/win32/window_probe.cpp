// Prints what Windows says of the window titled argv[1] (waiting up to 10 s): the client area's
// size, then each control in z-order (the order Tab follows) with its left, top, width, height
// and, for a text field, the pixels its text is scrolled left by (0: its start is in view), and
// by how many it scrolls once the caret is after the last character (0: the whole text fits).
// With "names" after the title, each control's role, name and value as a screen reader reads
// them through MSAA instead. With "events SECONDS", it listens as a screen reader's WinEvent hook
// does: prints "listening", then the name and value of each control that announces a new value,
// for that many seconds. With "intl", it tells every window that the number format has changed,
// as the Control Panel does. With "clipboard" alone: the text a program would paste, as
// hexadecimal UTF-16 units (no line end of it turned into another on the way out).
#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

static BOOL CALLBACK PrintControl(HWND control, LPARAM window) {
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, reinterpret_cast<HWND>(window), reinterpret_cast<POINT*>(&place), 2);
    // A field scrolls the caret into view as the selection is set; it is put back afterwards.
    const auto left = [control] {
        return static_cast<short>(LOWORD(SendMessageW(control, EM_POSFROMCHAR, 0, 0)));
    };
    const long shown = left();
    const auto selection = static_cast<DWORD>(SendMessageW(control, EM_GETSEL, 0, 0));
    const auto length = static_cast<WPARAM>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
    SendMessageW(control, EM_SETSEL, 0, 0);
    const long start = left();
    SendMessageW(control, EM_SETSEL, length, static_cast<LPARAM>(length));
    const long end = left();
    SendMessageW(control, EM_SETSEL, LOWORD(selection), HIWORD(selection));
    std::printf("%ld %ld %ld %ld %ld %ld\n", place.left, place.top, place.right - place.left,
                place.bottom - place.top, start - shown, start - end);
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
    if (argc == 3 && std::wstring(argv[2]) == L"intl") {
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"),
                            SMTO_ABORTIFHUNG, 5000, nullptr);
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
