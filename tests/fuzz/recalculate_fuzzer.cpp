// Feeds arbitrary pairs of texts to the recalculation under one of several number formats. It
// must either fail with a RunTimeError or give a text of the form -?D{1,4}<sep>D % rel, with the
// format's own minus sign, separator and digits D, whose value is at most 100.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversion/recalculation.h"

namespace {

struct Format {
    runtime::RegionalSettings settings;
    std::array<std::string_view, 10> digits;
};

const std::array<Format, 3> kFormats{{
    {{",", "-", "0"}, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
    {{".", "-", "0"}, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
    {{"\u066B", "\u061C-", "\u0660"},  // ar_EG: several bytes each
     {"\u0660", "\u0661", "\u0662", "\u0663", "\u0664", "\u0665", "\u0666", "\u0667", "\u0668",
      "\u0669"}},
}};

// Takes one of the format's digits from the front of text; -1 if there is none.
int TakeDigit(std::string_view& text, const Format& format) {
    for (int value = 0; value < 10; ++value) {
        const auto digit = format.digits[static_cast<std::size_t>(value)];
        if (text.starts_with(digit)) {
            text.remove_prefix(digit.size());
            return value;
        }
    }
    return -1;
}

bool IsWellFormedResult(std::string_view text, const Format& format) {
    if (!text.ends_with(conversion::kUnitSuffix)) return false;
    text.remove_suffix(conversion::kUnitSuffix.size());
    const bool negative = text.starts_with(format.settings.minusSign);
    if (negative) text.remove_prefix(format.settings.minusSign.size());
    int tenths = 0;
    int wholeDigits = 0;
    for (int digit = TakeDigit(text, format); digit >= 0; digit = TakeDigit(text, format)) {
        if (wholeDigits++ == 1 && tenths == 0) return false;  // no leading zeros
        tenths = tenths * 10 + digit;
    }
    if (wholeDigits < 1 || wholeDigits > 4 || !text.starts_with(format.settings.decimalSeparator)) {
        return false;
    }
    text.remove_prefix(format.settings.decimalSeparator.size());
    const int tenth = TakeDigit(text, format);
    if (tenth < 0 || !text.empty()) return false;
    tenths = tenths * 10 + tenth;
    if (negative && tenths == 0) return false;  // never a negative zero
    return negative || tenths <= 1000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto& format = kFormats[data[0] % kFormats.size()];
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    // The two field texts are separated by the first line break.
    const auto split = input.find('\n');
    const auto temperature = input.substr(0, split);
    const auto humidity = split == std::string_view::npos ? "" : input.substr(split + 1);

    double rel = 0.0;
    const auto result = conversion::Recalculate(temperature, humidity, rel, format.settings);
    if (result.ok() && !IsWellFormedResult(*result, format)) std::abort();
    return 0;
}
