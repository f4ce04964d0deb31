#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "converter_window.h"
#include "dpi.h"
#include "text.h"

namespace {

// DLLs loaded by name, by the program or by Windows' own DLLs on its behalf (an input method, an
// image codec, a shell extension), come from System32 only: never from the program's folder, often
// Downloads where anyone's files land, nor from the current directory.
void LoadDllsFromSystem32Only() {
    // Windows 8, and 7 with its 2011 loader update.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto restrict = win32::Lookup<SetDefaultDllDirectoriesFunction>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (restrict && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    // The next best: at least not the current directory.
    SetDllDirectoryW(L"");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    LoadDllsFromSystem32Only();  // before anything else can load one
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // OLE for text dropped into the fields and the screen-reader names of the fields; the window
    // works without it.
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    int exitCode = 1;
    {
        win32::ConverterWindow window(instance, win32::UserRegionalSettings());
        if (window.Open(showCommand)) {
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                // Tab, Shift+Tab and the button's Alt+B work as in a dialog.
                if (window.hwnd() && IsDialogMessageW(window.hwnd(), &message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            exitCode = static_cast<int>(message.wParam);
        }
    }
    if (ole) OleUninitialize();
    return exitCode;
}
