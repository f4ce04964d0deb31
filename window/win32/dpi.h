#pragma once

#include <windows.h>

namespace win32 {

// The DPI-aware calls of later Windows versions, looked up when they are first needed so that the
// program still starts on Windows 7, which lacks them. Where a call is missing the answer is the
// system DPI, which is what Windows 7 scales everything for.

// The DPI the window is drawn at: its monitor's where Windows can say (8.1 and later), else the
// system's.
UINT WindowDpi(HWND window);

// The DPI of the primary screen at logon, which the stock GUI font is made for.
UINT SystemDpi();

// Turns a client rectangle into the window rectangle with a frame for the given DPI.
void AddFrame(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

// A DLL of Windows loaded from System32 only, never from the program's folder or the current
// directory, where someone may have put a DLL of the same name. Null if it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// GetProcAddress with the function's type; null if the DLL lacks the function.
template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    // void (*)() is the one function type that converts to any other without a warning.
    return module ? reinterpret_cast<Function>(
                        reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace win32
