#pragma once

#include <cstdint>

namespace runtime {

// Why a step of a calculation failed. Every failure of the run-time services is one of these.
enum class ErrorKind : std::uint8_t {
    NotANumber,
    DivisionByZero,
    Overflow,
    InvalidOperation,
    OutOfIntegerRange,
};

// The one failure kind of the program: a value that a service hands back instead of its result.
class RunTimeError {
  public:
    constexpr explicit RunTimeError(ErrorKind kind) : kind_(kind) {}

    constexpr ErrorKind kind() const { return kind_; }

    friend constexpr bool operator==(RunTimeError, RunTimeError) = default;

  private:
    ErrorKind kind_;
};

}  // namespace runtime
