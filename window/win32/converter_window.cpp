#include "converter_window.h"

#include <commctrl.h>
#include <objbase.h>
#include <oleacc.h>

#include <utility>

#include "resource_ids.h"
#include "text.h"

namespace win32 {

namespace {

using window::ControlDescription;
using window::ControlKind;
using window::kConverterWindow;

// Control ids start above IDOK and IDCANCEL, which IsDialogMessage sends for Enter and Escape.
constexpr int kFirstControlId = 100;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

const auto& kControls = kConverterWindow.controls;

// OBJID_CLIENT is a negative LONG; the property calls take its bits as a DWORD.
constexpr auto kClientObject = static_cast<DWORD>(OBJID_CLIENT);

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
    font.lfHeight =
        MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(GetDpiForSystem()));
    return CreateFontIndirectW(&font);
}

}  // namespace

ConverterWindow::ConverterWindow(HINSTANCE instance, runtime::RegionalSettings settings)
    : instance_(instance), logic_(*this, std::move(settings)), banner_(instance, FEUCHTE_BANNER) {}

ConverterWindow::~ConverterWindow() {
    if (hwnd()) DestroyWindow(hwnd());
    for (HFONT font : fonts_) {
        if (font) DeleteObject(font);
    }
    if (accessibility_) accessibility_->Release();
}

bool ConverterWindow::Open(int showCommand) {
    const std::wstring className = Widen(kConverterWindow.name);
    const std::wstring caption = Widen(kConverterWindow.caption);
    WNDCLASSEXW windowClass{};
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = className.c_str();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(FEUCHTE_ICON_GROUP), IMAGE_ICON,
                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(FEUCHTE_ICON_GROUP), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    // The size is set in WM_CREATE, once the window knows its monitor's DPI.
    if (!Create(windowClass, caption.c_str(), kWindowStyle, kWindowExStyle, CW_USEDEFAULT,
                CW_USEDEFAULT)) {
        return false;
    }
    focusWhenInactive_ = Control(window::kTemperatureField);
    ShowWindow(hwnd(), showCommand);
    UpdateWindow(hwnd());
    SetFocus(focusWhenInactive_);
    // As a dialog does when it opens: the first field's text is selected, so typing replaces it.
    SendMessageW(focusWhenInactive_, EM_SETSEL, 0, -1);
    return true;
}

std::string ConverterWindow::FieldText(std::string_view field) const {
    const HWND control = Control(field);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void ConverterWindow::ShowResult(std::string_view text) {
    SetWindowTextW(Control(window::kResultField), Widen(text).c_str());
}

void ConverterWindow::Close() {
    DestroyWindow(hwnd());
}

HWND ConverterWindow::Control(std::string_view name) const {
    for (size_t index = 0; index < kControlCount; ++index) {
        if (kControls[index].name == name) return controls_[index];
    }
    return nullptr;
}

LRESULT ConverterWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            dpi_ = GetDpiForWindow(hwnd());
            if (!CreateControls()) return -1;
            ApplyDpi(dpi_);
            RECT frame{0, 0, Scale(kConverterWindow.clientWidth),
                       Scale(kConverterWindow.clientHeight)};
            AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, dpi_);
            SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            NameControlsForScreenReaders();
            controlsReady_ = true;
            return 0;
        }
        case WM_DPICHANGED: {
            ApplyDpi(HIWORD(wParam));
            const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top,
                         suggested.right - suggested.left, suggested.bottom - suggested.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(hwnd(), nullptr, TRUE);
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(hwnd(), &paint);
            const int scale = static_cast<int>(dpi_);
            banner_.Draw(
                dc, RECT{0, 0, MulDiv(kConverterWindow.bannerWidth, scale, USER_DEFAULT_SCREEN_DPI),
                         MulDiv(kConverterWindow.bannerHeight, scale, USER_DEFAULT_SCREEN_DPI)});
            EndPaint(hwnd(), &paint);
            return 0;
        }
        case WM_COMMAND: {
            const auto control = reinterpret_cast<HWND>(lParam);
            const auto code = HIWORD(wParam);
            if (control && control == Control(window::kCalculateButton) && code == BN_CLICKED) {
                logic_.OnCalculateClicked();
            } else if (control &&
                       (control == Control(window::kTemperatureField) ||
                        control == Control(window::kHumidityField)) &&
                       code == EN_CHANGE && controlsReady_ && !handlingKey_) {
                logic_.OnInputEdited();
            }
            // Anything else, IDOK and IDCANCEL from IsDialogMessage among it, means nothing.
            return 0;
        }
        case WM_ACTIVATE:
            // A plain window forgets which control had the focus when it loses activation;
            // keep it, as a dialog does, so that coming back continues where the user was.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(hwnd(), focus)) focusWhenInactive_ = focus;
            }
            break;
        case WM_SETFOCUS:
            if (focusWhenInactive_ && IsWindow(focusWhenInactive_)) SetFocus(focusWhenInactive_);
            return 0;
        case WM_DESTROY:
            if (accessibility_) {
                const MSAAPROPID name = PROPID_ACC_NAME;
                for (const HWND control : controls_) {
                    accessibility_->ClearHwndProps(control, kClientObject, CHILDID_SELF, &name, 1);
                }
            }
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

bool ConverterWindow::CreateControls() {
    // Tab and Shift+Tab follow the z-order, which is the order of creation: first the controls
    // that take the focus, by tab index, then the labels.
    std::array<size_t, kControlCount> creationOrder{};
    size_t next = 0;
    for (const ControlDescription* control : window::kTabOrder) {
        creationOrder[next++] = IndexOf(*control);
    }
    for (const ControlDescription& control : kControls) {
        if (control.kind == ControlKind::Label) creationOrder[next++] = IndexOf(control);
    }

    for (const size_t index : creationOrder) {
        const ControlDescription& control = kControls[index];
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
    }
}

void ConverterWindow::NameControlsForScreenReaders() {
    // Windows would name an edit after the label before it in z-order, which here is not the
    // label that explains it; the description says what each field is.
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&accessibility_)))) {
        accessibility_ = nullptr;
        return;
    }
    for (size_t index = 0; index < kControlCount; ++index) {
        if (kControls[index].accessibleName.empty()) continue;
        const std::wstring name = Widen(kControls[index].accessibleName);
        accessibility_->SetHwndPropStr(controls_[index], kClientObject, CHILDID_SELF,
                                       PROPID_ACC_NAME, name.c_str());
    }
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
