#include "runtime/floating_point.h"

#include <cfenv>
#include <cmath>

namespace runtime {

namespace {

// Underflow and inexact are never tested, so they need no clearing.
constexpr int kFailingFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

}  // namespace

void ClearFloatingPointStatus() {
    // Clearing rewrites the whole floating-point environment, which costs far more than reading
    // it; on the usual path nothing is raised and nothing needs clearing.
    if (std::fetestexcept(kFailingFlags) != 0) std::feclearexcept(kFailingFlags);
}

std::optional<RunTimeError> TestFloatingPointStatus() {
    const int raised = std::fetestexcept(kFailingFlags);
    if (raised & FE_INVALID) return RunTimeError(ErrorKind::InvalidOperation);
    if (raised & FE_DIVBYZERO) return RunTimeError(ErrorKind::DivisionByZero);
    if (raised & FE_OVERFLOW) return RunTimeError(ErrorKind::Overflow);
    return std::nullopt;
}

Result<double> Exponential(double x) {
    if (std::isnan(x)) return RunTimeError(ErrorKind::InvalidOperation);
    const double power = std::exp(x);
    if (std::isinf(power)) return RunTimeError(ErrorKind::Overflow);
    return power;
}

Result<std::int16_t> ToInteger16(double x) {
    // nearbyint rounds in the current mode, round-to-nearest-even, which nothing here changes;
    // unlike rint it raises no inexact flag.
    const double whole = std::nearbyint(x);
    // Written so that NaN fails as well.
    if (!(whole >= -32768.0 && whole <= 32767.0)) {
        return RunTimeError(ErrorKind::OutOfIntegerRange);
    }
    return static_cast<std::int16_t>(whole);
}

}  // namespace runtime
