// The user's regional settings: every number, time and date text of the program is built
// from one of these. Windows reads it from the user's locale at start; elsewhere the caller
// supplies it (the defaults are the usual English ones).
#pragma once

#include <string>

namespace aerolinker {

struct RegionalSettings {
    char decimalSeparator = '.';
    char timeSeparator = ':';
    char dateSeparator = '/';
    // Patterns in the Windows locale notation ("dd/MM/yyyy", "HH:mm:ss", "h:mm:ss tt"); the
    // separators above stand for "/" and ":" in them.
    std::string shortDateFormat = "dd/MM/yyyy";
    std::string longTimeFormat = "HH:mm:ss";
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";
};

}  // namespace aerolinker
