#include "conversion/recalculation.h"

#include "conversion/relative_humidity.h"
#include "runtime/floating_point.h"
#include "runtime/number_text.h"

namespace conversion {

runtime::Result<std::string> Recalculate(std::string_view temperatureText,
                                         std::string_view humidityText, double& rel,
                                         const runtime::RegionalSettings& settings) {
    const auto temperature = runtime::ReadNumber(temperatureText, settings);
    if (!temperature) return temperature.error();
    const auto absoluteHumidity = runtime::ReadNumber(humidityText, settings);
    if (!absoluteHumidity) return absoluteHumidity.error();
    const auto relativeHumidity = RelativeHumidityFromAbsolute(*temperature, *absoluteHumidity);
    if (!relativeHumidity) return relativeHumidity.error();
    rel = *relativeHumidity;
    return FormatRelativeHumidity(rel, settings);
}

runtime::Result<std::string> FormatRelativeHumidity(double relativeHumidity,
                                                    const runtime::RegionalSettings& settings) {
    // Flags left by whatever ran before never fail this conversion: the status starts clear.
    runtime::FloatingPointStatus status;
    const double tenfold = status.Multiply(relativeHumidity, 10.0);
    if (const auto error = status.Test()) return *error;
    // The only rounding of the value: to whole tenths, halves to the even neighbour.
    const auto tenths = runtime::ToInteger16(tenfold);
    if (!tenths) return tenths.error();
    const float shown = status.ToFloat(status.Divide(*tenths, 10.0));
    if (const auto error = status.Test()) return *error;

    const float capped = shown > kHighestShown ? kHighestShown : shown;
    std::string text = runtime::FormatNumber(capped, kNumberPattern, settings);
    text += kUnitSuffix;
    return text;
}

}  // namespace conversion
