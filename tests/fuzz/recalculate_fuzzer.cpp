// Feeds arbitrary pairs of texts to the recalculation under one of several number formats. It
// must either fail with a RunTimeError or give a number from -3276,8 to 100 and " % rel", in the
// format's own signs and digits.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "conversion/recalculation.h"
#include "runtime/number_text.h"

namespace {

const std::array<runtime::RegionalSettings, 3> kFormats{{
    {",", "-", "0"}, {".", "-", "0"}, {"\u066B", "\u061C-", "\u0660"},  // ar_EG: several bytes each
}};

// The number before " % rel" reads back, and the window would write it just so.
bool IsWellFormedResult(std::string_view text, const runtime::RegionalSettings& format) {
    if (!text.ends_with(conversion::kUnitSuffix)) return false;
    text.remove_suffix(conversion::kUnitSuffix.size());
    const auto value = runtime::ReadNumber(text, format);
    return value && *value >= -3276.8 && *value <= 100.0 &&
           text == runtime::FormatNumber(static_cast<float>(*value), "##0.0", format);
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
