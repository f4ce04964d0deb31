#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// Gives a control the name and role a screen reader announces. The control answers MSAA's
// request for its client object itself, with Windows' standard object for the control whose
// name and role are these; everything else (value, state, place, actions) is the standard
// object's. Windows, UI Automation's MSAA bridge and wine all ask the control this way, whereas
// wine ignores names set by annotation. oleacc.dll is loaded from System32 at the first request.
void NameForScreenReaders(HWND control, std::wstring name, LONG role);

}  // namespace win32
