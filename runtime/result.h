#pragma once

#include <utility>
#include <variant>

#include "runtime/run_time_error.h"

namespace runtime {

// Either the value of a service or the RunTimeError it raised. Errors travel as values rather
// than exceptions: a failing recalculation on every key press must stay as cheap as a good one.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(RunTimeError error) : state_(error) {}  // NOLINT(google-explicit-constructor)

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const T& operator*() const& { return value(); }
    RunTimeError error() const { return std::get<1>(state_); }

  private:
    std::variant<T, RunTimeError> state_;
};

}  // namespace runtime
