// Feeds arbitrary pairs of texts to the recalculation. It must either fail with a RunTimeError or
// give a text of the form -?[0-9]{1,4},[0-9] % rel whose value is at most 100.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversion/recalculation.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWellFormedResult(std::string_view text) {
    if (!text.ends_with(conversion::kUnitSuffix)) return false;
    text.remove_suffix(conversion::kUnitSuffix.size());
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    const auto comma = text.find(',');
    if (comma == std::string_view::npos || comma < 1 || comma > 4) return false;
    if (text.size() != comma + 2) return false;
    int tenths = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == comma) continue;
        if (!IsDigit(text[i])) return false;
        tenths = tenths * 10 + (text[i] - '0');
    }
    if (comma > 1 && text[0] == '0') return false;  // no leading zeros
    if (negative && tenths == 0) return false;      // never "-0,0"
    return negative || tenths <= 1000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The two field texts are separated by the first line break.
    const auto split = input.find('\n');
    const auto temperature = input.substr(0, split);
    const auto humidity = split == std::string_view::npos ? "" : input.substr(split + 1);

    const runtime::RegionalSettings german{",", "-"};
    double rel = 0.0;
    const auto result = conversion::Recalculate(temperature, humidity, rel, german);
    if (result.ok() && !IsWellFormedResult(*result)) std::abort();
    return 0;
}
