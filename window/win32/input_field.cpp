#include "converter_window.h"

#include <commctrl.h>

#include <utility>

// The input fields' own keyboard handling: which keys reach them, and when a key's
// recalculation runs.

namespace win32 {

LRESULT CALLBACK ConverterWindow::InputFieldProc(HWND field, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR subclassId,
                                                 DWORD_PTR self) {
    auto& window = *reinterpret_cast<ConverterWindow*>(self);
    switch (message) {
        case WM_GETDLGCODE:
            // IsDialogMessage would turn Enter into IDOK and Escape into IDCANCEL for the
            // window; in an input field they are keys like any other and must reach it.
            if (const auto* key = reinterpret_cast<const MSG*>(lParam);
                key && key->message == WM_KEYDOWN &&
                (key->wParam == VK_RETURN || key->wParam == VK_ESCAPE)) {
                return DefSubclassProc(field, message, wParam, lParam) | DLGC_WANTMESSAGE;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            return window.OnInputKeyDown(field, message, wParam, lParam);
        case WM_CHAR:
            return window.OnInputChar(field, wParam, lParam);
        case WM_NCDESTROY:
            RemoveWindowSubclass(field, InputFieldProc, subclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT ConverterWindow::OnInputKeyDown(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    handlingKey_ = true;
    const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
    handlingKey_ = false;
    // TranslateMessage has already queued the character of a typing key, and only that changes
    // the text: recalculate once it has been handled, so the result belongs to the new text.
    MSG character;
    if (message == WM_KEYDOWN && PeekMessageW(&character, field, WM_CHAR, WM_CHAR, PM_NOREMOVE)) {
        keyAwaitingChar_ = static_cast<int>(wParam);
        return result;
    }
    keyAwaitingChar_ = 0;
    logic_.OnInputKeyDown(static_cast<int>(wParam));  // may close the window
    return result;
}

LRESULT ConverterWindow::OnInputChar(HWND field, WPARAM wParam, LPARAM lParam) {
    const int key = std::exchange(keyAwaitingChar_, 0);
    LRESULT result = 0;
    // A one-line field has no use for Enter and Escape and would only beep at them.
    if (wParam != VK_RETURN && wParam != VK_ESCAPE && wParam != L'\n') {
        // A character without a key of its own (an input method's) is an edit like a paste.
        handlingKey_ = key != 0;
        result = DefSubclassProc(field, WM_CHAR, wParam, lParam);
        handlingKey_ = false;
    }
    if (key != 0) logic_.OnInputKeyDown(key);  // may close the window
    return result;
}

}  // namespace win32
