// The computer's local date and time, behind an interface so that tests and the console
// host can fix it.
#pragma once

#include "common/units.h"

namespace aerolinker {

// The time of day of the given fields as a fraction of a day (0.5 is 12:00). The sum is taken
// in doubles, exact for every whole number of milliseconds.
inline double TimeOfDay(int hour, int minute, int second, int millisecond) {
    using namespace units;
    return (((static_cast<double>(hour) * kMinutesPerHour + minute) * kSecondsPerMinute + second) *
                kMillisecondsPerSecond +
            millisecond) /
           kMillisecondsPerDay;
}

struct LocalDateTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    // The time of day as a fraction of a day (0.5 is 12:00).
    double TimeOfDay() const { return aerolinker::TimeOfDay(hour, minute, second, millisecond); }
};

class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual LocalDateTime Now() const = 0;
};

// The system's clock: GetLocalTime on Windows, localtime elsewhere.
class SystemClock : public LocalClock {
public:
    LocalDateTime Now() const override;
};

// A clock that always shows the time it was given.
class FixedClock : public LocalClock {
public:
    explicit FixedClock(LocalDateTime now) : now_(now) {}
    LocalDateTime Now() const override { return now_; }
    void Set(LocalDateTime now) { now_ = now; }

private:
    LocalDateTime now_;
};

}  // namespace aerolinker
