#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "converter_window.h"
#include "text.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // COM only for the screen-reader names of the fields; the window works without it.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
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
    if (com) CoUninitialize();
    return exitCode;
}
