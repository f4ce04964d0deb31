#pragma once

#include <string>

namespace runtime {

// The parts of the user's number format that reading and writing numbers depend on, as UTF-8.
// Each front end fills it from its platform; nothing here reads the process locale.
struct RegionalSettings {
    std::string decimalSeparator = ".";
    std::string minusSign = "-";
    // The digit zero the locale writes numbers with; the other nine follow it in Unicode, as in
    // every decimal digit set: "0", Arabic-Indic "\u0660", Persian "\u06F0", Devanagari "\u0966".
    std::string zeroDigit = "0";
};

}  // namespace runtime
