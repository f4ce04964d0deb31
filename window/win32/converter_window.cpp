#include "converter_window.h"

#include <utility>

#include "dpi.h"
#include "resource_ids.h"
#include "text.h"

namespace win32 {

namespace {

using window::kConverterWindow;

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = 0;

const auto& kControls = kConverterWindow.controls;

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
            ForgetScreenReaderNames();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace win32
