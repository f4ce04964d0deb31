#pragma once

#include "runtime/result.h"

namespace conversion {

// The saturation vapour pressure follows the Magnus form with Bolton's coefficients.
inline constexpr double kMagnusFactor = 17.67;
inline constexpr double kMagnusOffset = 243.5;  // °C
inline constexpr double kKelvinOffset = 273.15;
// 6.112 hPa times 2.1674 (the ideal-gas factor for water vapour), rounded to 13.2471 once and
// for all; results depend on exactly this value.
inline constexpr double kCombinedConstant = 13.2471;

// Relative humidity in percent, unrounded and uncapped, of air at `temperature` °C holding
// `absoluteHumidity` g/m³:
//     RH = AH * (T + 273.15) / (13.2471 * e^(17.67 * T / (T + 243.5)))
// No input is range-checked; a step whose floating-point status shows invalid operation, division
// by zero or overflow fails the whole calculation.
runtime::Result<double> RelativeHumidityFromAbsolute(double temperature, double absoluteHumidity);

}  // namespace conversion
