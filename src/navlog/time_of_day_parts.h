// Splits a time value (a fraction of a day) into the fields of its time of day; shared by
// every text that shows a time, so that they all round the same way.
#pragma once

#include <cmath>

namespace aerolinker {

struct TimeOfDayParts {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The value is rounded to the nearest millisecond before whole days are dropped, so
// 23:59:59.9996 shows as 00:00 and never as 24:00. A negative value is taken by its
// magnitude. A value that is not a finite number (it cannot come from the simulator clock,
// only from a broken division upstream) shows as midnight rather than as garbage.
inline TimeOfDayParts SplitTimeOfDay(double t) {
    constexpr double kMillisecondsPerDay = 86400000.0;
    double scaled = std::fabs(t) * kMillisecondsPerDay;
    if (!std::isfinite(scaled)) {
        scaled = 0.0;
    }
    const long long ms = static_cast<long long>(std::fmod(std::round(scaled), kMillisecondsPerDay));
    TimeOfDayParts parts;
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return parts;
}

}  // namespace aerolinker
