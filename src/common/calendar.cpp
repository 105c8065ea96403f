// Civil dates from day counts and back, after the well-known era-based algorithm: 400-year
// eras of 146097 days, with the year counted from March so that a leap day falls at its end.
#include "common/calendar.h"

#include <cstddef>
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

// The texts are written digit by digit rather than through snprintf: a trace, a KML and a GPX
// each date every one of a flight's rows, thousands of them.
constexpr int kLargestTwoDigits = 99;
constexpr int kLargestFourDigits = 9999;
constexpr std::size_t kDateLength = 10;     // "2026-12-08"
constexpr std::size_t kClockLength = 8;     // "10:05:00"
constexpr std::size_t kIsoTimeLength = 10;  // "T10:05:00Z"

// 0 to 99 as two digits at `at`.
void PutTwoDigits(char* at, int value) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
}

// "HH:MM:SS" at `at`, for 0 to 86399 seconds.
void PutClock(char* at, int secondsOfDay) {
    PutTwoDigits(at, secondsOfDay / units::kSecondsPerHour);
    at[2] = ':';
    PutTwoDigits(at + 3, secondsOfDay / units::kSecondsPerMinute % units::kMinutesPerHour);
    at[5] = ':';
    PutTwoDigits(at + 6, secondsOfDay % units::kSecondsPerMinute);
}

// ISO 8601's "T10:05:00Z" after a date, for 0 to 86399 seconds.
void AppendIsoTime(std::string& text, int secondsOfDay) {
    char time[kIsoTimeLength];
    time[0] = 'T';
    PutClock(time + 1, secondsOfDay);
    time[kIsoTimeLength - 1] = 'Z';
    text.append(time, kIsoTimeLength);
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

void AppendDateText(std::string& text, const CivilDate& date) {
    // Every date a simulator or a computer gives has a year of four digits; others keep the
    // printf form, sign and all.
    const bool usual = date.year >= 0 && date.year <= kLargestFourDigits && date.month >= 0 &&
                       date.month <= kLargestTwoDigits && date.day >= 0 &&
                       date.day <= kLargestTwoDigits;
    if (!usual) {
        char wide[48];
        std::snprintf(wide, sizeof wide, "%04d-%02d-%02d", date.year, date.month, date.day);
        text += wide;
        return;
    }
    char digits[kDateLength];
    PutTwoDigits(digits, date.year / 100);
    PutTwoDigits(digits + 2, date.year % 100);
    digits[4] = '-';
    PutTwoDigits(digits + 5, date.month);
    digits[7] = '-';
    PutTwoDigits(digits + 8, date.day);
    text.append(digits, kDateLength);
}

std::string DateText(const CivilDate& date) {
    std::string text;
    AppendDateText(text, date);
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
    std::string text = UtcDateText(utcSeconds);
    AppendIsoTime(text, SecondsOfDayOf(utcSeconds));
    return text;
}

void AppendTimeOfDayText(std::string& text, int secondsOfDay) {
    FigureWriter out(text);
    WriteTimeOfDayText(out, secondsOfDay);
}

void WriteTimeOfDayText(FigureWriter& out, int secondsOfDay) {
    const int s =
        ((secondsOfDay % units::kSecondsPerDay) + units::kSecondsPerDay) % units::kSecondsPerDay;
    PutClock(out.Place(kClockLength), s);
    out.Advance(kClockLength);
}

const std::string& UtcDayTexts::DateOf(long long utcSeconds) {
    const long long day = FloorDiv(utcSeconds, units::kSecondsPerDay);
    if (date_.empty() || day != day_) {
        day_ = day;
        date_.clear();
        AppendDateText(date_, CivilFromDays(day));
    }
    return date_;
}

void UtcDayTexts::AppendIso(std::string& text, long long utcSeconds) {
    FigureWriter out(text);
    WriteIso(out, utcSeconds);
}

void UtcDayTexts::WriteIso(FigureWriter& out, long long utcSeconds) {
    out.Text(DateOf(utcSeconds));
    char* time = out.Place(kIsoTimeLength);
    time[0] = 'T';
    PutClock(time + 1, SecondsOfDayOf(utcSeconds));
    time[kIsoTimeLength - 1] = 'Z';
    out.Advance(kIsoTimeLength);
}

std::string TimeOfDayText(int secondsOfDay) {
    std::string text;
    AppendTimeOfDayText(text, secondsOfDay);
    return text;
}

bool ParseTimeOfDay(const std::string& text, int& secondsOfDay) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') {
        return false;
    }
    long long parts[3];
    for (int i = 0; i < 3; ++i) {
        if (!ParseInteger(std::string_view(text).substr(static_cast<size_t>(i) * 3, 2), parts[i]) ||
            parts[i] < 0) {
            return false;
        }
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) {
        return false;
    }
    secondsOfDay = static_cast<int>(
        (parts[0] * units::kMinutesPerHour + parts[1]) * units::kSecondsPerMinute + parts[2]);
    return true;
}

}  // namespace aerolinker
