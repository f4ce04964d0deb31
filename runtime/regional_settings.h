#pragma once

#include <string>

namespace runtime {

// The parts of the user's number format that reading and writing numbers depend on, as UTF-8.
// Each front end fills it from its platform; nothing here reads the process locale.
struct RegionalSettings {
    std::string decimalSeparator = ".";
    std::string minusSign = "-";
};

}  // namespace runtime
