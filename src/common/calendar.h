// Dates of the proleptic Gregorian calendar as days since 1 January 1970, and times as seconds
// since 1970-01-01 00:00 UTC: plain arithmetic, independent of the computer's time zone, for the
// simulator's clock, which has its own date.
#pragma once

#include <string>

#include "common/fixed_number_text.h"

namespace aerolinker {

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
};

long long DaysFromCivil(const CivilDate& date);
CivilDate CivilFromDays(long long days);
// Day 1 is 1 January of `year`.
long long DaysFromDayOfYear(int year, int dayOfYear);
// 1 for 1 January.
int DayOfYear(const CivilDate& date);

// "2026-12-08"
std::string DateText(const CivilDate& date);
// False when not such a text or not a day of the calendar.
bool ParseDateText(const std::string& text, CivilDate& date);

// Seconds since 1970-01-01 00:00 UTC to "2026-12-08" and to ISO 8601 "2026-12-08T10:05:00Z".
std::string UtcDateText(long long utcSeconds);
std::string IsoUtcText(long long utcSeconds);
// The seconds of the day, 0 to 86399.
int SecondsOfDayOf(long long utcSeconds);

// DateText appended to `text`, for files that date many lines.
void AppendDateText(std::string& text, const CivilDate& date);
// "HH:MM:SS" of a time of day in seconds appended to `text`; seconds beyond a day, or before
// it, count from midnight of their own day.
void AppendTimeOfDayText(std::string& text, int secondsOfDay);
// The same, written by `out`.
void WriteTimeOfDayText(FigureWriter& out, int secondsOfDay);
// "HH:MM:SS" of a time of day in seconds, and back (false when not such a text).
std::string TimeOfDayText(int secondsOfDay);
bool ParseTimeOfDay(const std::string& text, int& secondsOfDay);

// The dates of times that mostly fall on the same day, as a flight's rows do: the date's text
// is made again only when the day changes, not for every row of a file.
class UtcDayTexts {
public:
    // UtcDateText(utcSeconds).
    const std::string& DateOf(long long utcSeconds);
    // IsoUtcText(utcSeconds), appended to `text`.
    void AppendIso(std::string& text, long long utcSeconds);
    // The same, written by `out`.
    void WriteIso(FigureWriter& out, long long utcSeconds);

private:
    long long day_ = 0;
    std::string date_;  // empty until the first time
};

}  // namespace aerolinker
