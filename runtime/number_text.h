#pragma once

#include <string>
#include <string_view>

#include "runtime/regional_settings.h"
#include "runtime/result.h"

namespace runtime {

// Reads a number the way a person types it under the given settings: spaces around it, an
// optional sign ('+', '-', the regional minus sign, or the true minus sign U+2212 and the en dash
// U+2013 that copied text carries), digits with at most one regional decimal
// separator (or the Arabic one, U+066B, which cannot be misread), and an optional exponent
// ("1,5e3"). Anything else, the empty text, group separators, the other decimal separator, words
// such as "inf" and numbers beyond the range of a double, fails with NotANumber. Numbers too small
// for a double read as zero.
//
// Digits are those of the settings and of every script people commonly type numbers in (ASCII,
// Arabic-Indic, Persian, the Indic scripts, Thai, fullwidth ...), all of one number from one set;
// Arabic-Indic and Persian count as one, as most of their digits look alike. Spaces include the
// no-break, narrow no-break and thin space; the invisible direction marks (LRM, RLM, ALM) that
// locales put into their minus sign or around numbers are ignored around the number, after its
// sign and in the regional minus sign.
Result<double> ReadNumber(std::string_view text, const RegionalSettings& settings);

// Writes value with a pattern of digit placeholders such as "##0.0": each '0' is a digit that is
// always written, each '#' one written only when significant, and a '.' stands for the regional
// decimal separator. Digits are the settings' own. The value is rounded to the pattern's decimals;
// no digit grouping, and a regional minus sign before negative values, but never before a value
// written as zero.
std::string FormatNumber(float value, std::string_view pattern, const RegionalSettings& settings);

// Writes a plain number such as "-12.5", of ASCII digits, '-' and '.', with the settings' minus
// sign, digits and decimal separator.
std::string WriteRegional(std::string_view plain, const RegionalSettings& settings);

// Appends the code point to UTF-8 text.
void AppendCodePoint(std::string& text, char32_t c);

}  // namespace runtime
