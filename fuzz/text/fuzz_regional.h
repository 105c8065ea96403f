// Regional settings chosen by the first bytes of a fuzz input, among separators that real
// Windows locales use.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/regional_settings.h"

namespace aerolinker {

inline RegionalSettings FuzzRegionalSettings(const uint8_t*& data, size_t& size) {
    static const char kDecimal[] = {'.', ','};
    static const char kTime[] = {':', '.', '-', 'h'};
    RegionalSettings regional;
    if (size > 0) {
        regional.decimalSeparator = kDecimal[data[0] % sizeof kDecimal];
        regional.timeSeparator = kTime[(data[0] >> 1) % sizeof kTime];
        if (data[0] & 0x10) {
            regional.longTimeFormat = "h:mm:ss tt";
        } else if (data[0] & 0x40) {
            regional.longTimeFormat = "HH' h 'mm' min 'ss' s'";
        }
        if (data[0] & 0x20) {
            regional.amDesignator = "vorm.";
            regional.pmDesignator = "nachm.";
        }
        ++data;
        --size;
    }
    return regional;
}

}  // namespace aerolinker
