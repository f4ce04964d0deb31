#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win32 {

// Lets text be dragged into an input field as it can be pasted: its first line goes in where it
// is dropped, or over the selection if it is dropped on it, and Ctrl+Z takes it out again. The
// field changes as by a paste, so its change notification follows. Needs OLE on this thread;
// the field must call RevokeDragDrop before it is destroyed.
void AcceptDroppedText(HWND field);

// The first line of UTF-16 text in global memory, as a one-line field keeps it of a paste or a
// drop: up to CR, LF or NUL. Nothing where there is no text.
std::optional<std::wstring> FirstLineOf(HGLOBAL text);

}  // namespace win32
