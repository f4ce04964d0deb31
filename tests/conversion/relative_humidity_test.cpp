#include "conversion/relative_humidity.h"

#include <gtest/gtest.h>

namespace {

using conversion::RelativeHumidityFromAbsolute;
using runtime::ErrorKind;

struct Known {
    double temperature;
    double absoluteHumidity;
    // Worked out step by step in IEEE double arithmetic with a correctly rounded exponential,
    // outside this code; they agree with the exact formula to at least 12 digits, except where
    // the exponent is huge and its last bit is amplified (-250 °C).
    double relativeHumidity;
};

TEST(RelativeHumidityFromAbsolute, IsExactToTheLastBit) {
    const Known known[] = {
        {23, 8.6, 41.840258845474644},
        {23, 8.65, 42.08351616434368},
        {20, 17.3, 100.12664090045142},  // above 100: capping is not the formula's business
        {0, 4.85, 100.00509545485426},
        {-10, 2.14, 90.60383692282724},
        {25, 23, 99.88913033682667},
        {23, 673.6, 3277.162599803688},
        {23, -1, -4.865146377380772},  // no range check: negative in, negative out
        {23, 0, 0.0},
        {-273.15, 5, 0.0},
        {-250, 1, 1.2280578501259764e-295},
        {-237.67, 0, 0.0},  // e^b underflows to a subnormal, which is no failure
    };
    for (const auto& [temperature, absoluteHumidity, expected] : known) {
        const auto result = RelativeHumidityFromAbsolute(temperature, absoluteHumidity);
        ASSERT_TRUE(result.ok()) << temperature << " °C, " << absoluteHumidity << " g/m³";
        EXPECT_EQ(*result, expected) << temperature << " °C, " << absoluteHumidity;
    }
}

TEST(RelativeHumidityFromAbsolute, FailsWhereAStepFails) {
    const struct {
        double temperature;
        double absoluteHumidity;
        ErrorKind expected;
    } failures[] = {
        {-243.5, 1, ErrorKind::DivisionByZero},  // the exponent's denominator is zero
        {-243.6, 1, ErrorKind::Overflow},        // the exponent is beyond e's range
        {-249.0, 1, ErrorKind::Overflow},
        // e^b is finite but e^b * 13.2471 is not: the quotient would be a finite zero.
        {-249.72, 1, ErrorKind::Overflow},
        {-240, 1, ErrorKind::DivisionByZero},    // e^b is zero
        {-240, 0, ErrorKind::InvalidOperation},  // 0 / 0
        {-237.5, 1e10, ErrorKind::Overflow},     // e^b so small that the quotient overflows
        {1e308, 1, ErrorKind::Overflow},         // T * 17.67
        {23, 1e308, ErrorKind::Overflow},        // AH * K
    };
    for (const auto& [temperature, absoluteHumidity, expected] : failures) {
        const auto result = RelativeHumidityFromAbsolute(temperature, absoluteHumidity);
        ASSERT_FALSE(result.ok()) << temperature << " °C, " << absoluteHumidity << " g/m³";
        EXPECT_EQ(result.error().kind(), expected) << temperature << " °C, " << absoluteHumidity;
    }
}

}  // namespace
