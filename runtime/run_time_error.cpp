#include "runtime/run_time_error.h"

namespace runtime {

std::string_view RunTimeError::message() const {
    switch (kind_) {
        case ErrorKind::NotANumber:
            return "Der Text ist keine Zahl.";
        case ErrorKind::DivisionByZero:
            return "Division durch null.";
        case ErrorKind::Overflow:
            return "Überlauf.";
        case ErrorKind::InvalidOperation:
            return "Ungültige Rechenoperation.";
        case ErrorKind::OutOfIntegerRange:
            return "Der Wert liegt außerhalb von -32768 bis 32767.";
    }
    return "Unbekannter Fehler.";
}

}  // namespace runtime
