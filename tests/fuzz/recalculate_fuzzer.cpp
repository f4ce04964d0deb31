// Feeds arbitrary pairs of texts to the recalculation under one of several number formats. It
// must either fail with a RunTimeError or give a text of the form -?[0-9]{1,4}<sep>[0-9] % rel,
// with the format's own minus sign and separator, whose value is at most 100.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversion/recalculation.h"

namespace {

const std::array<runtime::RegionalSettings, 3> kFormats{{
    {",", "-"}, {".", "-"}, {"\u066B", "\u2212"},  // several bytes each
}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWellFormedResult(std::string_view text, const runtime::RegionalSettings& format) {
    if (!text.ends_with(conversion::kUnitSuffix)) return false;
    text.remove_suffix(conversion::kUnitSuffix.size());
    const bool negative = text.starts_with(format.minusSign);
    if (negative) text.remove_prefix(format.minusSign.size());
    const auto separator = text.find(format.decimalSeparator);
    if (separator == std::string_view::npos || separator < 1 || separator > 4) return false;
    if (text.size() != separator + format.decimalSeparator.size() + 1) return false;
    const char tenth = text.back();
    text = text.substr(0, separator);
    if (!IsDigit(tenth)) return false;
    int tenths = tenth - '0';
    int scale = 10;
    for (auto digit = text.rbegin(); digit != text.rend(); ++digit, scale *= 10) {
        if (!IsDigit(*digit)) return false;
        tenths += (*digit - '0') * scale;
    }
    if (text.size() > 1 && text.front() == '0') return false;  // no leading zeros
    if (negative && tenths == 0) return false;                 // never a negative zero
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
    const auto result = conversion::Recalculate(temperature, humidity, rel, format);
    if (result.ok() && !IsWellFormedResult(*result, format)) std::abort();
    return 0;
}
