// The two sets of regional settings every text test runs under: the English one and
// one with a decimal comma and a dot between hours and minutes.
#pragma once

#include "common/regional_settings.h"

namespace aerolinker {

inline RegionalSettings DotColonSettings() {
    RegionalSettings settings;
    settings.decimalSeparator = '.';
    settings.timeSeparator = ':';
    return settings;
}

inline RegionalSettings CommaDotSettings() {
    RegionalSettings settings;
    settings.decimalSeparator = ',';
    settings.timeSeparator = '.';
    settings.dateSeparator = '.';
    settings.shortDateFormat = "dd/MM/yyyy";
    settings.longTimeFormat = "HH:mm:ss";
    return settings;
}

}  // namespace aerolinker
