#pragma once

#include <windows.h>

namespace win32 {

// Connects a window to the C++ object that owns it: one static window procedure for the class,
// which finds the object and calls Derived::HandleMessage(message, wParam, lParam).
template <typename Derived>
class BaseWindow {
  public:
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND hwnd() const { return hwnd_; }

  protected:
    BaseWindow() = default;
    ~BaseWindow() = default;

    // Registers the class on first use (lpfnWndProc and cbSize are filled in here) and creates
    // the window with this object behind it. Null if either fails.
    HWND Create(WNDCLASSEXW windowClass, PCWSTR caption, DWORD style, DWORD exStyle, int width,
                int height) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        WNDCLASSEXW existing{};
        if (!GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing) &&
            !RegisterClassExW(&windowClass)) {
            return nullptr;
        }
        return CreateWindowExW(exStyle, windowClass.lpszClassName, caption, style, CW_USEDEFAULT,
                               CW_USEDEFAULT, width, height, nullptr, nullptr,
                               windowClass.hInstance, static_cast<Derived*>(this));
    }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Derived* self = nullptr;
        if (message == WM_NCCREATE) {
            // The first message that carries CreateWindowExW's last argument; every later one
            // finds the object in the window's user data.
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            self = static_cast<Derived*>(create->lpCreateParams);
            self->hwnd_ = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        } else {
            self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        }
        // WM_GETMINMAXINFO arrives before WM_NCCREATE, when there is no object yet.
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

        const LRESULT result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    }

    HWND hwnd_ = nullptr;
};

}  // namespace win32
