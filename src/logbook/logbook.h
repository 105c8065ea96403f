// The pilot's logbook: when a flight closes, its files go into the Logbook folder inside the
// log folder under a name of its take-off's date and time and its route, and logbook.csv has
// one row per flight. A flight is known by its take-off: closed again (resumed after a stop in
// its closing, or loaded again once finished) it updates its one entry and row.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/local_clock.h"
#include "common/csv.h"
#include "recorder/landing_report.h"
#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

constexpr const char* kLogbookFolderName = "Logbook";
constexpr const char* kLogbookCsvName = "logbook.csv";
// The files of one entry, all sharing its name.
constexpr const char* kEntryExtensions[] = {".log", ".csv", ".kml", ".gpx", ".svg"};

struct LogbookEntry {
    LocalDateTime date;  // the day of the flight
    std::string aircraft;
    std::string pilot;
    std::string departure;
    std::string arrival;
    int blockMinutes = 0;  // engine start to engine shut-down
    int airMinutes = 0;    // take-off to landing
    double distanceMiles = 0.0;
    double fuelUsedGallons = 0.0;
    std::optional<LandingReport> landing;
    HonestTime honestTime;
    std::string entryName;  // the name the entry's files share
};

CsvFields LogbookHeader();
CsvFields LogbookFields(const LogbookEntry& entry);

// The entry's row in logbook.csv: replaces the row of the same entry name, or is appended (the
// header first when the file is new). Returns 0 or the platform's error code.
int WriteLogbookRow(const std::string& csvPath, const LogbookEntry& entry);

// "2026-12-07_1005_LIEO-LIRQ": the date and time of `when`, then the route, made safe as a
// Windows file name.
std::string EntryBaseName(const LocalDateTime& when, const std::string& departure,
                          const std::string& arrival);

// Characters Windows refuses in a file name (< > : " / \ | ? * and controls) become "_", and
// trailing dots and spaces, which Windows drops silently, go.
std::string SafeFileName(const std::string& name);

// Everything a closed flight leaves in the logbook.
struct LogbookFlight {
    LogbookEntry entry;     // its entryName is filled in by WriteLogbookEntry
    LocalDateTime takeOff;  // names the files
    std::string logText;    // the finished Navigation log, as saved
    std::vector<TraceRow> trace;
    std::vector<TrackMark> marks;
};

// Makes the Logbook folder inside `logFolder` if needed, writes the entry's log copy, trace
// CSV, KML, GPX and profile SVG, then its logbook.csv row. Returns the entry's name.
// Raises the program's "Cannot create file" error naming the file that failed.
std::string WriteLogbookEntry(const std::string& logFolder, LogbookFlight flight);

}  // namespace aerolinker
