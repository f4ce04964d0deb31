#pragma once

#include <concepts>
#include <cstdint>
#include <optional>

#include "runtime/result.h"

namespace runtime {

// The floating-point flags that fail a calculation: invalid operation, division by zero and
// overflow. Underflow and inexact results are part of ordinary arithmetic and never count.

// Forgets the failing flags raised so far on this thread.
void ClearFloatingPointStatus();

// The error that the failing flags raised since the last clearing stand for, if any.
std::optional<RunTimeError> TestFloatingPointStatus();

// The check that follows each arithmetic step: hands the step's value on, or the error that the
// flags raised since the last clearing stand for.
template <std::floating_point T>
Result<T> Checked(T value) {
    // The volatile store keeps the compiler from moving the step past the flag test.
    volatile T stored = value;
    if (const auto error = TestFloatingPointStatus()) return *error;
    return T{stored};
}

// e raised to x; fails with Overflow when the result is beyond the range of a double.
Result<double> Exponential(double x);

// Rounds to the nearest whole number, halves to the even neighbour, and fails with
// OutOfIntegerRange outside -32768...32767.
Result<std::int16_t> ToInteger16(double x);

}  // namespace runtime
