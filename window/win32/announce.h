#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// Tells screen readers that a control shows a new value, so that they speak it while the focus
// stays where the user types: MSAA's value-change event, which every screen reader hears and UI
// Automation passes on, and where Windows has it (10 1709 and later) UI Automation's notification
// with the new text. uiautomationcore.dll is looked up in System32 at the first announcement.
void AnnounceNewValue(HWND control, const std::wstring& value);

}  // namespace win32
