#include "conversion/relative_humidity.h"

#include "runtime/floating_point.h"

namespace conversion {

runtime::Result<double> RelativeHumidityFromAbsolute(double temperature, double absoluteHumidity) {
    runtime::FloatingPointStatus status;  // clear
    const double scaled = status.Multiply(temperature, kMagnusFactor);
    if (const auto error = status.Test()) return *error;
    const double exponent = status.Divide(scaled, status.Add(temperature, kMagnusOffset));
    if (const auto error = status.Test()) return *error;
    const auto growth = runtime::Exponential(exponent);
    if (!growth) return growth.error();

    // Whatever the exponential raised on success (underflow towards zero, for one) never counts;
    // only the steps after it are judged from here on.
    status.Clear();
    const double kelvin = status.Add(temperature, kKelvinOffset);
    if (const auto error = status.Test()) return *error;
    const double relativeHumidity = status.Divide(status.Multiply(absoluteHumidity, kelvin),
                                                  status.Multiply(*growth, kCombinedConstant));
    if (const auto error = status.Test()) return *error;
    return relativeHumidity;
}

}  // namespace conversion
