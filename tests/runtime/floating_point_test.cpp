#include "runtime/floating_point.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

using runtime::ErrorKind;

#if defined(FE_INVALID) && defined(FE_DIVBYZERO) && defined(FE_OVERFLOW)

std::optional<ErrorKind> KindOf(int flags) {
    if (flags & FE_INVALID) return ErrorKind::InvalidOperation;
    if (flags & FE_DIVBYZERO) return ErrorKind::DivisionByZero;
    if (flags & FE_OVERFLOW) return ErrorKind::Overflow;
    return std::nullopt;
}

// The status worked out in software says what the processor's flags say, over operands that
// meet every rule: infinities cancelling, zero times or over infinity, zero over zero, a finite
// number over zero, finite operands rounding to infinity (also to float), and the operations that
// raise nothing that counts (exact infinities, quiet NaN, underflow, inexact).
TEST(FloatingPointStatus, AgreesWithTheProcessorsFlags) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double max = std::numeric_limits<double>::max();
    const double values[] = {0.0,
                             -0.0,
                             1.0,
                             -2.5,
                             1e-308,
                             5e-324,
                             1e308,
                             max,
                             -max,
                             3.5e38,
                             inf,
                             -inf,
                             std::numeric_limits<double>::quiet_NaN()};
    using Status = runtime::FloatingPointStatus;
    const struct {
        char name;
        double (Status::*software)(double, double);
        double (*hardware)(double, double);
    } operations[] = {
        {'+', &Status::Add, [](double a, double b) { return a + b; }},
        {'*', &Status::Multiply, [](double a, double b) { return a * b; }},
        {'/', &Status::Divide, [](double a, double b) { return a / b; }},
        {'f', nullptr, [](double a, double) { return double{static_cast<float>(a)}; }},
    };
    for (const auto& operation : operations) {
        for (const double a : values) {
            for (const double b : values) {
                Status status;
                const double result =
                    operation.software ? (status.*operation.software)(a, b) : status.ToFloat(a);
                std::feclearexcept(FE_ALL_EXCEPT);
                const volatile double expected = operation.hardware(a, b);
                const auto flags = KindOf(std::fetestexcept(FE_ALL_EXCEPT));
                const auto error = status.Test();
                EXPECT_EQ(error ? std::optional(error->kind()) : std::nullopt, flags)
                    << a << ' ' << operation.name << ' ' << b;
                EXPECT_EQ(std::bit_cast<std::uint64_t>(result),
                          std::bit_cast<std::uint64_t>(double{expected}));
            }
        }
    }
}

#endif

}  // namespace
