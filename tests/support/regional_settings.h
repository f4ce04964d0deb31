#pragma once

#include "runtime/regional_settings.h"

// Number formats the tests read and write under, as the platforms give them, without touching the
// process locale.
namespace test_settings {

inline const runtime::RegionalSettings kGerman{",", "-", "0"};
inline const runtime::RegionalSettings kEnglish{".", "-", "0"};
// fa_IR and ar_EG: their own digits, the Arabic decimal separator, and a minus sign that begins
// with an invisible direction mark; several bytes each in UTF-8.
inline const runtime::RegionalSettings kPersian{"\u066B", "\u200E\u2212", "\u06F0"};
inline const runtime::RegionalSettings kArabic{"\u066B", "\u061C-", "\u0660"};

}  // namespace test_settings
