#include "runtime/floating_point.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

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
    for (const double value : {32767.5, 32768.0, -32768.51, std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_FALSE(runtime::ToInteger16(value).ok()) << value;
    }
}

TEST(Exponential, FailsOnlyOnOverflow) {
    EXPECT_EQ(*runtime::Exponential(-1000.0), 0.0);
    EXPECT_EQ(runtime::Exponential(709.79).error().kind(), ErrorKind::Overflow);
}

#if defined(FE_INVALID) && defined(FE_DIVBYZERO) && defined(FE_OVERFLOW)

// What the processor's own status flags say an operation raised.
std::optional<ErrorKind> HardwareStatus(double (*operation)(double, double), double a, double b) {
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile double result = operation(a, b);
    static_cast<void>(result);
    const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    if (raised & FE_INVALID) return ErrorKind::InvalidOperation;
    if (raised & FE_DIVBYZERO) return ErrorKind::DivisionByZero;
    if (raised & FE_OVERFLOW) return ErrorKind::Overflow;
    return std::nullopt;
}

// The status worked out in software says exactly what the processor's flags say, for every rule
// of the four operations and the narrowing to float: infinities cancelling, zero times or over
// infinity, zero over zero, a finite number over zero, finite operands rounding to infinity, and
// the operations that raise nothing (exact infinities, NaN, underflow, inexact).
TEST(FloatingPointStatus, AgreesWithTheProcessorsFlags) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double max = std::numeric_limits<double>::max();
    const double values[] = {
        0.0, -0.0, 1.0, -2.5, 1e-308, 5e-324, 1e308, max, -max, 3.5e38, -3.4028235677973366e38,
        inf, -inf, nan};
    using Software = double (runtime::FloatingPointStatus::*)(double, double);
    const struct {
        const char* name;
        Software software;
        double (*hardware)(double, double);
    } operations[] = {
        {"+", &runtime::FloatingPointStatus::Add, [](double a, double b) { return a + b; }},
        {"-", &runtime::FloatingPointStatus::Subtract, [](double a, double b) { return a - b; }},
        {"*", &runtime::FloatingPointStatus::Multiply, [](double a, double b) { return a * b; }},
        {"/", &runtime::FloatingPointStatus::Divide, [](double a, double b) { return a / b; }},
    };
    for (const auto& operation : operations) {
        for (const double a : values) {
            for (const double b : values) {
                runtime::FloatingPointStatus status;
                const double result = (status.*operation.software)(a, b);
                const auto software = status.Test();
                const auto expected = HardwareStatus(operation.hardware, a, b);
                EXPECT_EQ(software ? std::optional(software->kind()) : std::nullopt, expected)
                    << a << ' ' << operation.name << ' ' << b;
                EXPECT_EQ(std::bit_cast<std::uint64_t>(result),
                          std::bit_cast<std::uint64_t>(operation.hardware(a, b)))
                    << a << ' ' << operation.name << ' ' << b;
            }
        }
    }
    for (const double a : values) {
        runtime::FloatingPointStatus status;
        static_cast<void>(status.ToFloat(a));
        const auto software = status.Test();
        EXPECT_EQ(
            software ? std::optional(software->kind()) : std::nullopt,
            HardwareStatus([](double x, double) { return double{static_cast<float>(x)}; }, a, 0.0))
            << "float " << a;
    }
}

#endif

TEST(FloatingPointStatus, KeepsWhatWasRaisedUntilCleared) {
    runtime::FloatingPointStatus status;
    static_cast<void>(status.Divide(1.0, 0.0));
    static_cast<void>(status.Add(1.0, 2.0));
    EXPECT_EQ(status.Test()->kind(), ErrorKind::DivisionByZero);
    status.Clear();
    EXPECT_FALSE(status.Test());
}

}  // namespace
