// Splits a time value (a fraction of a day) into the fields of its time of day, and joins
// fields back into one; shared by every text that shows or reads a time, so that they all
// round the same way.
#pragma once

#include <cmath>

#include "common/local_clock.h"
#include "common/units.h"

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
    double scaled = std::fabs(t) * units::kMillisecondsPerDay;
    if (!std::isfinite(scaled)) {
        scaled = 0.0;
    }
    const long long ms =
        static_cast<long long>(std::fmod(std::round(scaled), units::kMillisecondsPerDay));
    TimeOfDayParts parts;
    using namespace units;
    parts.hour = static_cast<int>(ms / (kMillisecondsPerMinute * kMinutesPerHour));
    parts.minute = static_cast<int>(ms / kMillisecondsPerMinute % kMinutesPerHour);
    parts.second = static_cast<int>(ms / kMillisecondsPerSecond % kSecondsPerMinute);
    parts.millisecond = static_cast<int>(ms % kMillisecondsPerSecond);
    return parts;
}

}  // namespace aerolinker
