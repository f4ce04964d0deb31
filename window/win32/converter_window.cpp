#include "converter_window.h"

#include <string>
#include <string_view>
#include <utility>

#include "announce.h"
#include "dpi.h"
#include "resource_ids.h"
#include "text.h"
#include "window/pictures.h"

namespace win32 {

namespace {

using window::kConverterWindow;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

const auto& kControls = kConverterWindow.controls;

bool IsDark(COLORREF colour) {
    return window::IsDarkBackground(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

}  // namespace

ConverterWindow::ConverterWindow(HINSTANCE instance, runtime::RegionalSettings settings)
    : instance_(instance), logic_(std::move(settings)), banner_(instance) {}

ConverterWindow::~ConverterWindow() {
    if (hwnd()) DestroyWindow(hwnd());
    for (HICON icon : icons_) {
        if (icon) DestroyIcon(icon);
    }
    for (HFONT font : fonts_) {
        if (font) DeleteObject(font);
    }
}

bool ConverterWindow::Open(int showCommand) {
    const std::wstring className = Widen(kConverterWindow.name);
    const std::wstring caption = Widen(kConverterWindow.caption);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance_;
    windowClass.lpszClassName = className.c_str();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    // A dialog's class: the dialog manager keeps the focused control while the window is
    // inactive or minimized and gives it back, as it does for every dialog box.
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    // The size and the icons are set in WM_CREATE, once the window knows its monitor's DPI.
    if ((!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) ||
        !CreateWindowExW(kWindowExStyle, className.c_str(), caption.c_str(), kWindowStyle,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                         nullptr, instance_, this)) {
        return false;
    }
    const HWND first = Control(window::kTemperatureField);
    ShowWindow(hwnd(), showCommand);
    UpdateWindow(hwnd());
    SetFocus(first);
    // As a dialog does when it opens: the first field's text is selected, so typing replaces it.
    SendMessageW(first, EM_SETSEL, 0, -1);
    return true;
}

std::string ConverterWindow::TextOf(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

void ConverterWindow::Show(const window::Reaction& reaction) {
    if (reaction.result) {
        const HWND result = Control(window::kResultField);
        const std::wstring text = Widen(*reaction.result);
        const bool changed = Widen(TextOf(result)) != text;
        SetWindowTextW(result, text.c_str());
        if (changed) AnnounceNewValue(result, text);
    }
    if (reaction.close) DestroyWindow(hwnd());
}

bool ConverterWindow::IsInputField(HWND control) const {
    return control == Control(window::kTemperatureField) ||
           control == Control(window::kHumidityField);
}

HWND ConverterWindow::Control(std::string_view name) const {
    for (size_t index = 0; index < kControlCount; ++index) {
        if (kControls[index].name == name) return controls_[index];
    }
    return nullptr;
}

LRESULT CALLBACK ConverterWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    // The first message that carries CreateWindowExW's last argument; every later one finds the
    // object in the window's user data. WM_GETMINMAXINFO comes before it, with no object yet.
    if (message == WM_NCCREATE) {
        auto* self = static_cast<ConverterWindow*>(
            reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ConverterWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

LRESULT ConverterWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            dpi_ = WindowDpi(hwnd());
            if (!CreateControls()) return -1;
            ApplyDpi(dpi_);
            RECT frame{0, 0, Scale(kConverterWindow.clientWidth),
                       Scale(kConverterWindow.clientHeight)};
            AddFrame(frame, kWindowStyle, kWindowExStyle, dpi_);
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
                dc,
                RECT{0, 0, MulDiv(kConverterWindow.bannerWidth, scale, USER_DEFAULT_SCREEN_DPI),
                     MulDiv(kConverterWindow.bannerHeight, scale, USER_DEFAULT_SCREEN_DPI)},
                IsDark(GetSysColor(COLOR_BTNFACE)));
            EndPaint(hwnd(), &paint);
            return 0;
        }
        case WM_COMMAND: {
            const auto control = reinterpret_cast<HWND>(lParam);
            const auto code = HIWORD(wParam);
            if (control && control == Control(window::kCalculateButton) && code == BN_CLICKED) {
                Report(&window::ConverterLogic::OnCalculateClicked);
            } else if (control && code == EN_CHANGE && controlsReady_ && IsInputField(control)) {
                ShowStartIfItFits(control);
                Report(&window::ConverterLogic::OnTextChanged);
            }
            // Anything else, IDOK and IDCANCEL from IsDialogMessage among it, means nothing.
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            // The labels in the colours of the window around them, which a high-contrast
            // scheme may set apart from those of the fields.
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_SETTINGCHANGE:
            // The user's number format changed in the Control Panel.
            if (lParam && std::wstring_view(reinterpret_cast<PCWSTR>(lParam)) == L"intl") {
                Report(&window::ConverterLogic::OnSettingsChanged, UserRegionalSettings());
            }
            break;
        case WM_SYSCOLORCHANGE:
            InvalidateRect(hwnd(), nullptr, TRUE);  // the banner for the new background
            break;
        case WM_CLOSE:
            // A dialog would turn it into IDCANCEL, which Escape on the button sends too.
            DestroyWindow(hwnd());
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefDlgProcW(hwnd(), message, wParam, lParam);
}

}  // namespace win32
