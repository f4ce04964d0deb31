#pragma once

#include <string>
#include <string_view>

#include "runtime/regional_settings.h"
#include "runtime/result.h"

namespace conversion {

// The result field's text when there is no result to show.
inline constexpr std::string_view kNoResultText = "--- % rel";
inline constexpr std::string_view kUnitSuffix = " % rel";
inline constexpr std::string_view kNumberPattern = "##0.0";
inline constexpr float kHighestShown = 100.0F;

// Turns the texts of the temperature and the absolute-humidity field into the result text.
// `rel` receives the unrounded relative humidity as soon as the formula has given one, even if
// the result text then fails; a failure before that leaves it untouched.
runtime::Result<std::string> Recalculate(std::string_view temperatureText,
                                         std::string_view humidityText, double& rel,
                                         const runtime::RegionalSettings& settings);

// The text shown for an unrounded relative humidity: rounded to tenths (halves to even), capped
// at 100, written as "##0.0" and followed by " % rel". Fails when the tenths leave the 16-bit
// range, i.e. from 3276.75 upward and below -3276.85.
runtime::Result<std::string> FormatRelativeHumidity(double relativeHumidity,
                                                    const runtime::RegionalSettings& settings);

}  // namespace conversion
