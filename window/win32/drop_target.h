#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace win32 {

// Lets text be dragged into an input field as it can be pasted: its first line goes in where it
// is dropped, or over the selection if it is dropped on it, and Ctrl+Z takes it out again. The
// field changes as by a paste, so its change notification follows. Needs OLE on this thread;
// the field must call RevokeDragDrop before it is destroyed.
void AcceptDroppedText(HWND field);

// The formats text is taken in, the first offered: UTF-16 text, then Windows' "HTML Format",
// which web pages and mail programs may offer alone.
std::array<UINT, 2> TextFormats();

// The first line of the text in global memory in one of those formats, as a one-line field keeps
// it of a paste or a drop: up to CR, LF or NUL. Nothing where there is no text.
std::optional<std::wstring> FirstLineOf(HGLOBAL data, UINT format);

}  // namespace win32
