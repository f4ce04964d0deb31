#pragma once

#include "runtime/regional_settings.h"

// Number formats the tests read and write under, without touching the process locale.
namespace test_settings {

inline const runtime::RegionalSettings kGerman{",", "-"};
inline const runtime::RegionalSettings kEnglish{".", "-"};
// The Arabic decimal separator and the Unicode minus sign: several bytes each in UTF-8.
inline const runtime::RegionalSettings kMultiByte{"\u066B", "\u2212"};

}  // namespace test_settings
