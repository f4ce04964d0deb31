#include "runtime/floating_point.h"

#include <cmath>

namespace runtime {

template <typename T>
T FloatingPointStatus::Note(T result, double a, double b) {
    overflow_ = overflow_ || (std::isinf(result) && std::isfinite(a) && std::isfinite(b));
    return result;
}

double FloatingPointStatus::Add(double a, double b) {
    // Infinities of opposite signs cancel: inf - inf.
    invalid_ = invalid_ || (std::isinf(a) && std::isinf(b) && std::signbit(a) != std::signbit(b));
    return Note(a + b, a, b);
}

double FloatingPointStatus::Multiply(double a, double b) {
    invalid_ = invalid_ || (a == 0.0 && std::isinf(b)) || (std::isinf(a) && b == 0.0);
    return Note(a * b, a, b);
}

double FloatingPointStatus::Divide(double a, double b) {
    invalid_ = invalid_ || (a == 0.0 && b == 0.0) || (std::isinf(a) && std::isinf(b));
    if (b == 0.0) {
        // A finite non-zero number over zero; an infinity over zero is exact, NaN quiet.
        divisionByZero_ = divisionByZero_ || (std::isfinite(a) && a != 0.0);
        return a / b;
    }
    return Note(a / b, a, b);
}

float FloatingPointStatus::ToFloat(double a) {
    return Note(static_cast<float>(a), a, 0.0);
}

std::optional<RunTimeError> FloatingPointStatus::Test() const {
    if (invalid_) return RunTimeError(ErrorKind::InvalidOperation);
    if (divisionByZero_) return RunTimeError(ErrorKind::DivisionByZero);
    if (overflow_) return RunTimeError(ErrorKind::Overflow);
    return std::nullopt;
}

Result<double> Exponential(double x) {
    if (std::isnan(x)) return RunTimeError(ErrorKind::InvalidOperation);
    const double power = std::exp(x);
    if (std::isinf(power)) return RunTimeError(ErrorKind::Overflow);
    return power;
}

Result<std::int16_t> ToInteger16(double x) {
    // nearbyint rounds in the current mode, round-to-nearest-even, which nothing here changes.
    const double whole = std::nearbyint(x);
    // Written so that NaN fails as well.
    if (!(whole >= -32768.0 && whole <= 32767.0)) {
        return RunTimeError(ErrorKind::OutOfIntegerRange);
    }
    return static_cast<std::int16_t>(whole);
}

}  // namespace runtime
