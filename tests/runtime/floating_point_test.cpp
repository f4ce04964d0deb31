#include "runtime/floating_point.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

namespace {

using runtime::ErrorKind;

TEST(ToInteger16, RoundsHalvesToEvenAndFailsOutsideSixteenBits) {
    const struct {
        double value;
        int expected;
    } rounded[] = {
        {2.5, 2},       {3.5, 4},  {-2.5, -2},       {-3.5, -4},         {418.4, 418},
        {420.835, 421}, {-0.4, 0}, {32767.4, 32767}, {-32768.5, -32768}, {-32767.5, -32768},
    };
    for (const auto& [value, expected] : rounded) {
        const auto result = runtime::ToInteger16(value);
        ASSERT_TRUE(result.ok()) << value;
        EXPECT_EQ(*result, expected) << value;
    }
    for (const double value :
         {32767.5, 32768.0, -32768.51, -40000.0, 1e300, std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        const auto result = runtime::ToInteger16(value);
        ASSERT_FALSE(result.ok()) << value;
        EXPECT_EQ(result.error().kind(), ErrorKind::OutOfIntegerRange) << value;
    }
}

TEST(Exponential, FailsOnlyOnOverflow) {
    EXPECT_DOUBLE_EQ(*runtime::Exponential(1.0), 2.718281828459045);
    EXPECT_EQ(*runtime::Exponential(-1000.0), 0.0);
    EXPECT_EQ(runtime::Exponential(709.79).error().kind(), ErrorKind::Overflow);
    EXPECT_EQ(runtime::Exponential(std::numeric_limits<double>::quiet_NaN()).error().kind(),
              ErrorKind::InvalidOperation);
}

TEST(Checked, ReportsTheFlagsSinceTheLastClearingButNotUnderflowOrInexact) {
    volatile double zero = 0.0;
    volatile double huge = 1e308;
    volatile double tiny = 1e-308;
    const struct {
        const char* what;
        double (*step)(double, double);
        double left;
        double right;
        std::optional<ErrorKind> expected;
    } steps[] = {
        {"1/0", [](double a, double b) { return a / b; }, 1.0, zero, ErrorKind::DivisionByZero},
        {"0/0", [](double a, double b) { return a / b; }, zero, zero, ErrorKind::InvalidOperation},
        {"1e308*10", [](double a, double b) { return a * b; }, huge, 10.0, ErrorKind::Overflow},
        {"1e-308/1e10", [](double a, double b) { return a / b; }, tiny, 1e10, std::nullopt},
        {"1/3", [](double a, double b) { return a / b; }, 1.0, 3.0, std::nullopt},
    };
    for (const auto& step : steps) {
        runtime::ClearFloatingPointStatus();
        const auto result = runtime::Checked(step.step(step.left, step.right));
        if (step.expected) {
            ASSERT_FALSE(result.ok()) << step.what;
            EXPECT_EQ(result.error().kind(), *step.expected) << step.what;
        } else {
            EXPECT_TRUE(result.ok()) << step.what;
        }
    }
    runtime::ClearFloatingPointStatus();
}

}  // namespace
