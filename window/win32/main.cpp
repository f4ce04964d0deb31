#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "converter_window.h"
#include "text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
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
