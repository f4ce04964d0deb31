#include "converter_window.h"

#include <commctrl.h>
#include <oleacc.h>

#include <utility>

#include "accessible_name.h"
#include "dpi.h"
#include "drop_target.h"
#include "resource_ids.h"
#include "text.h"

// How the window is built: its controls created from the description, placed and given fonts
// for a DPI, and named for screen readers.

namespace win32 {

namespace {

using window::ControlDescription;
using window::ControlKind;
using window::kConverterWindow;

// Control ids start above IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Escape.
constexpr int kFirstControlId = 100;

const auto& kControls = kConverterWindow.controls;

size_t IndexOf(const ControlDescription& control) {
    return static_cast<size_t>(&control - kControls.data());
}

HFONT CreateDescribedFont(const window::FontDescription& font, UINT dpi) {
    const std::wstring face = Widen(font.face);
    return CreateFontW(-MulDiv(font.points, static_cast<int>(dpi), 72), 0, 0, 0, font.weight, FALSE,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

// Windows' default GUI font, at the size it would have on a monitor of this DPI: the stock
// object is made for the system DPI only.
HFONT CreateDefaultFont(UINT dpi) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return CreateFontIndirectW(&font);
}

}  // namespace

bool ConverterWindow::CreateControls() {
    // Tab and Shift+Tab follow the z-order, which is the order of creation.
    for (const ControlDescription* described : window::kCreationOrder) {
        const ControlDescription& control = *described;
        const size_t index = IndexOf(control);
        PCWSTR className = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (control.kind) {
            case ControlKind::TextBox:
                className = WC_EDITW;
                style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case ControlKind::Label:
                className = WC_STATICW;
                style |= SS_LEFT | SS_NOPREFIX;
                break;
            case ControlKind::CommandButton:
                className = WC_BUTTONW;
                style |= WS_TABSTOP | BS_PUSHBUTTON;
                break;
        }
        const std::wstring text = Widen(logic_.InitialText(control));
        const HWND created =
            CreateWindowExW(exStyle, className, text.c_str(), style, 0, 0, 0, 0, hwnd(),
                            reinterpret_cast<HMENU>(
                                static_cast<INT_PTR>(kFirstControlId + static_cast<int>(index))),
                            instance_, nullptr);
        if (!created) return false;
        controls_[index] = created;
        if (control.kind == ControlKind::TextBox) {
            SendMessageW(created, EM_SETLIMITTEXT, window::kTextBoxLimit, 0);
        }
        if (window::IsInputField(control)) {
            SetWindowSubclass(created, InputFieldProc, 0, reinterpret_cast<DWORD_PTR>(this));
            AcceptDroppedText(created);
        }
    }
    return true;
}

void ConverterWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    for (size_t index = 0; index < kControlCount; ++index) {
        const ControlDescription& control = kControls[index];
        const HFONT previous = fonts_[index];
        fonts_[index] =
            control.font ? CreateDescribedFont(*control.font, dpi) : CreateDefaultFont(dpi);
        SetWindowPos(controls_[index], nullptr, Scale(control.left), Scale(control.top),
                     Scale(control.width), Scale(control.height), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(controls_[index], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[index]), TRUE);
        if (control.kind == ControlKind::TextBox) {
            // The fields were laid out for a bitmap font, which gets no inner margins. A
            // TrueType stand-in would get half a character on each side and cut off the last
            // digit of "23,0"; one pixel keeps the text off the border and all of it in view.
            const int margin = MulDiv(1, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
            SendMessageW(controls_[index], EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                         MAKELPARAM(margin, margin));
        }
        if (previous) DeleteObject(previous);
        if (window::IsInputField(control)) FitNumbers(index);
    }
    ApplyIcons(dpi);
}

void ConverterWindow::ApplyIcons(UINT dpi) {
    // Drawn for each size rather than shrunk from a larger image, which blurs the small ones.
    constexpr std::array<std::pair<WPARAM, int>, 2> kSizes{{{ICON_BIG, 32}, {ICON_SMALL, 16}}};
    for (size_t index = 0; index < kSizes.size(); ++index) {
        const auto [which, size] = kSizes[index];
        const int pixels = MulDiv(size, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
        const auto icon = static_cast<HICON>(LoadImageW(
            instance_, MAKEINTRESOURCEW(FEUCHTE_DPI_ICON_GROUP), IMAGE_ICON, pixels, pixels, 0));
        if (!icon) continue;
        SendMessageW(hwnd(), WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        if (icons_[index]) DestroyIcon(icons_[index]);
        icons_[index] = icon;
    }
}

void ConverterWindow::NameControlsForScreenReaders() {
    // Windows would name an edit after the label before it in z-order, which here is not the
    // label that explains it; the description says what each field is. A button is named by its
    // caption without the access key's ampersand ("&&" is one ampersand).
    for (size_t index = 0; index < kControlCount; ++index) {
        const ControlDescription& control = kControls[index];
        if (control.kind == ControlKind::Label) continue;
        std::wstring name;
        if (control.accessibleName.empty()) {
            const std::wstring caption = Widen(logic_.InitialText(control));
            for (size_t at = 0; at < caption.size(); ++at) {
                if (caption[at] != L'&' || ++at < caption.size()) name += caption[at];
            }
        } else {
            name = Widen(control.accessibleName);
        }
        NameForScreenReaders(
            controls_[index], std::move(name),
            control.kind == ControlKind::TextBox ? ROLE_SYSTEM_TEXT : ROLE_SYSTEM_PUSHBUTTON);
    }
}

}  // namespace win32
