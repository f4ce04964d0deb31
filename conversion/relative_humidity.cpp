#include "conversion/relative_humidity.h"

#include "runtime/floating_point.h"

namespace conversion {

runtime::Result<double> RelativeHumidityFromAbsolute(double temperature, double absoluteHumidity) {
    using runtime::Checked;

    runtime::ClearFloatingPointStatus();
    const auto scaled = Checked(temperature * kMagnusFactor);
    if (!scaled) return scaled.error();
    const auto exponent = Checked(*scaled / (temperature + kMagnusOffset));
    if (!exponent) return exponent.error();
    const auto growth = runtime::Exponential(*exponent);
    if (!growth) return growth.error();

    // The exponential may leave flags behind on success (underflow towards zero, for one);
    // only the steps after it are judged from here on.
    runtime::ClearFloatingPointStatus();
    const auto kelvin = Checked(temperature + kKelvinOffset);
    if (!kelvin) return kelvin.error();
    return Checked((absoluteHumidity * *kelvin) / (*growth * kCombinedConstant));
}

}  // namespace conversion
