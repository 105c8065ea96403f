// Civil dates from day counts and back, after the well-known era-based algorithm: 400-year
// eras of 146097 days, with the year counted from March so that a leap day falls at its end.
#include "common/calendar.h"

#include <cstdio>

#include "common/fixed_number_text.h"
#include "common/units.h"

namespace aerolinker {

namespace {

constexpr long long kDaysPerEra = 146097;
constexpr int kYearsPerEra = 400;
// Days from 0000-03-01 to 1970-01-01.
constexpr long long kEpochShift = 719468;

long long FloorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

long long DaysFromCivil(const CivilDate& date) {
    const long long y = static_cast<long long>(date.year) - (date.month <= 2 ? 1 : 0);
    const long long era = FloorDiv(y, kYearsPerEra);
    const long long yearOfEra = y - era * kYearsPerEra;
    const long long monthFromMarch = (date.month + 9) % 12;
    const long long dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * kDaysPerEra + dayOfEra - kEpochShift;
}

CivilDate CivilFromDays(long long days) {
    const long long z = days + kEpochShift;
    const long long era = FloorDiv(z, kDaysPerEra);
    const long long dayOfEra = z - era * kDaysPerEra;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    date.month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    date.year = static_cast<int>(yearOfEra + era * kYearsPerEra + (date.month <= 2 ? 1 : 0));
    return date;
}

long long DaysFromDayOfYear(int year, int dayOfYear) {
    return DaysFromCivil(CivilDate{year, 1, 1}) + dayOfYear - 1;
}

int DayOfYear(const CivilDate& date) {
    return static_cast<int>(DaysFromCivil(date) - DaysFromCivil(CivilDate{date.year, 1, 1}) + 1);
}

std::string DateText(const CivilDate& date) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

bool ParseDateText(const std::string& text, CivilDate& date) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    long long year = 0;
    long long month = 0;
    long long day = 0;
    const std::string_view view(text);
    if (!ParseInteger(view.substr(0, 4), year) || !ParseInteger(view.substr(5, 2), month) ||
        !ParseInteger(view.substr(8, 2), day) || year < 1 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const CivilDate read{static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
    // A day past the month's end comes back as another date.
    const CivilDate back = CivilFromDays(DaysFromCivil(read));
    if (back.month != read.month || back.day != read.day) {
        return false;
    }
    date = read;
    return true;
}

int SecondsOfDayOf(long long utcSeconds) {
    const long long s =
        utcSeconds - FloorDiv(utcSeconds, units::kSecondsPerDay) * units::kSecondsPerDay;
    return static_cast<int>(s);
}

std::string UtcDateText(long long utcSeconds) {
    return DateText(CivilFromDays(FloorDiv(utcSeconds, units::kSecondsPerDay)));
}

std::string IsoUtcText(long long utcSeconds) {
    const int s = SecondsOfDayOf(utcSeconds);
    char time[32];
    std::snprintf(time, sizeof time, "T%02d:%02d:%02dZ", s / units::kSecondsPerHour,
                  s / units::kSecondsPerMinute % units::kMinutesPerHour,
                  s % units::kSecondsPerMinute);
    return UtcDateText(utcSeconds) + time;
}

}  // namespace aerolinker
