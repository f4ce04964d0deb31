#pragma once

#include <string>
#include <string_view>

#include "runtime/regional_settings.h"

namespace win32 {

// The shared code speaks UTF-8, Windows speaks UTF-16. Invalid sequences become U+FFFD rather
// than failing: a field's text is shown or read, never rejected.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The decimal separator, minus sign and digits of the user's own number format, as set in the
// Control Panel, falling back to ".", "-" and 0-9 if Windows has none to give.
runtime::RegionalSettings UserRegionalSettings();

}  // namespace win32
