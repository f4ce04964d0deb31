#pragma once

#include <cstdint>
#include <optional>

#include "runtime/result.h"

namespace runtime {

// The floating-point status of a calculation: which of the failing exceptions, invalid operation,
// division by zero and overflow, its operations raised since the status was last cleared.
// Underflow and inexact results are part of ordinary arithmetic and never count.
//
// The status is worked out from each operation's operands and result by the rules of IEEE 754
// rather than read from the processor, so it is the same wherever the program runs, also where
// the hardware keeps no flags (WebAssembly). Rounding is always to nearest, so an overflow is a
// finite result's rounding to infinity. NaN operands are quiet (no text reads as NaN, and only an
// invalid operation makes one), and an operation on a quiet NaN raises nothing.
class FloatingPointStatus {
  public:
    double Add(double a, double b);
    double Multiply(double a, double b);
    double Divide(double a, double b);
    // The double rounded to the nearest float.
    float ToFloat(double a);

    void Clear() { *this = {}; }
    // The error the exceptions raised since the last clearing stand for, if any.
    std::optional<RunTimeError> Test() const;

  private:
    // Overflow: finite operands and an infinite result.
    template <typename T>
    T Note(T result, double a, double b);

    bool invalid_ = false;
    bool divisionByZero_ = false;
    bool overflow_ = false;
};

// e raised to x; fails with Overflow when the result is beyond the range of a double.
Result<double> Exponential(double x);

// Rounds to the nearest whole number, halves to the even neighbour, and fails with
// OutOfIntegerRange outside -32768...32767.
Result<std::int16_t> ToInteger16(double x);

}  // namespace runtime
