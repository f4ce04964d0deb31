#include "converter_window.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "drop_target.h"
#include "text.h"

// The input fields' own handling: which keys reach them, when a key's recalculation runs, and
// which part of a narrow field's text is in view.

namespace win32 {

namespace {

struct Measured {
    int text;     // pixels
    int room;     // between the field's margins
    int average;  // the font's average character width
};

Measured Measure(HWND field, const std::wstring& text) {
    RECT format{};
    SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    Measured measured{format.right - format.left, format.right - format.left, 0};
    const HDC dc = GetDC(field);
    if (!dc) return measured;
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(field, WM_GETFONT, 0, 0)));
    SIZE size{};
    TEXTMETRICW metrics{};
    if (GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size) &&
        GetTextMetricsW(dc, &metrics)) {
        measured = {size.cx, measured.room, metrics.tmAveCharWidth};
    }
    SelectObject(dc, previous);
    ReleaseDC(field, dc);
    return measured;
}

// Whether the whole text fits between the field's margins, caret included.
bool TextFits(HWND field) {
    const int length = GetWindowTextLengthW(field);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), length + 1)));
    const Measured measured = Measure(field, text);
    return measured.text < measured.room;
}

ConverterWindow::TextSelection Selection(HWND field) {
    ConverterWindow::TextSelection selection;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
                 reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

void Select(HWND field, ConverterWindow::TextSelection selection) {
    SendMessageW(field, EM_SETSEL, selection.start, selection.end);
}

}  // namespace

void ConverterWindow::FitNumbers(size_t index) {
    // The stand-ins for the designed face are wider than it: their letters are drawn narrower
    // (lfWidth) until a number of five characters fits, as the field was designed to show it.
    const HWND field = controls_[index];
    const std::wstring number = Widen(logic_.WidestNumber());
    const auto margins = static_cast<LPARAM>(SendMessageW(field, EM_GETMARGINS, 0, 0));
    LOGFONTW font{};
    GetObjectW(fonts_[index], sizeof font, &font);
    Measured measured = Measure(field, number);
    const int natural = measured.average;
    while (measured.text >= measured.room) {
        font.lfWidth = std::min<LONG>(MulDiv(measured.average, measured.room - 1, measured.text),
                                      (font.lfWidth ? font.lfWidth : natural) - 1);
        // Narrower each time, and never below two thirds of the face's width: a bitmap face, which
        // keeps its width whatever is asked, ends there, and no face gets illegible.
        if (3 * font.lfWidth < 2 * natural) break;
        const HFONT narrower = CreateFontIndirectW(&font);
        if (!narrower) break;
        SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(narrower), TRUE);
        SendMessageW(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, margins);
        DeleteObject(std::exchange(fonts_[index], narrower));
        measured = Measure(field, number);
    }
    ShowStartIfItFits(field);
}

void ConverterWindow::ShowStartIfItFits(HWND field) {
    // An edit control scrolls its text left as the caret passes the right edge, and leaves it
    // there when the text gets shorter again, hiding the sign and first digits. Putting the
    // caret at the start scrolls back; putting it back where it was then needs no scrolling.
    if (!TextFits(field)) return;
    const TextSelection selection = Selection(field);
    Select(field, {});
    Select(field, selection);
}

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
        case WM_PASTE: {
            // The edit control would keep a lone CR and all that follows it.
            std::optional<std::wstring> line;
            if (OpenClipboard(field)) {
                for (const UINT format : TextFormats()) {
                    if (!line) line = FirstLineOf(GetClipboardData(format), format);
                }
                CloseClipboard();
            }
            if (line) SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line->c_str()));
            return 0;
        }
        case WM_KILLFOCUS: {
            // Out of the focus the field shows its start, sign and first digits, whatever fits;
            // the caret comes back to where it was with the focus.
            window.selectionOwner_ = field;
            window.selection_ = Selection(field);
            const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
            Select(field, {});
            return result;
        }
        case WM_SETFOCUS: {
            const LRESULT result = DefSubclassProc(field, message, wParam, lParam);
            if (std::exchange(window.selectionOwner_, nullptr) == field) {
                Select(field, window.selection_);
            }
            return result;
        }
        case WM_DESTROY:
            RevokeDragDrop(field);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(field, InputFieldProc, subclassId);
            break;
        default:
            break;
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

LRESULT ConverterWindow::OnInputKeyDown(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    const window::Key key = wParam == VK_ESCAPE  ? window::Key::Escape
                            : wParam == VK_TAB   ? window::Key::Tab
                            : wParam == VK_DECIMAL ? window::Key::KeypadDecimal
                                                   : window::Key::Other;
    const window::Reaction before = logic_.OnKeyDown(key);
    LRESULT result = 0;
    MSG character;
    if (before.typeInstead) {
        // Typed as the key's own character would be; that character, already queued, goes.
        PeekMessageW(&character, field, WM_CHAR, WM_CHAR, PM_REMOVE);
        SendMessageW(field, EM_REPLACESEL, TRUE,
                     reinterpret_cast<LPARAM>(Widen(*before.typeInstead).c_str()));
    } else {
        result = DefSubclassProc(field, message, wParam, lParam);
        // TranslateMessage has already queued the character of a typing key, and only that
        // changes the text: the key has been handled once its character has.
        if (message == WM_KEYDOWN &&
            PeekMessageW(&character, field, WM_CHAR, WM_CHAR, PM_NOREMOVE)) {
            return result;
        }
    }
    Report(&window::ConverterLogic::OnKeyHandled);  // may close the window
    return result;
}

LRESULT ConverterWindow::OnInputChar(HWND field, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    // A one-line field has no use for Enter and Escape and would only beep at them.
    if (wParam != VK_RETURN && wParam != VK_ESCAPE && wParam != L'\n') {
        result = DefSubclassProc(field, WM_CHAR, wParam, lParam);
    }
    // An input method's character, with no key of its own, was an edit like a paste.
    Report(&window::ConverterLogic::OnKeyHandled);  // may close the window
    return result;
}

}  // namespace win32
