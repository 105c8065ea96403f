// The pilot's logbook: when a flight closes, its files go into the Logbook folder inside the
// log folder under a name of date, time and route that is never reused, and one row per
// flight is appended to logbook.csv.
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

// Appends the entry's row to logbook.csv, the header first when the file is new. Returns 0 or
// the platform's error code.
int AppendLogbookRow(const std::string& csvPath, const LogbookEntry& entry);

// "2026-12-07_1005_LIEO-LIRQ": the date and time of `when`, then the route, made safe as a
// Windows file name.
std::string EntryBaseName(const LocalDateTime& when, const std::string& departure,
                          const std::string& arrival);

// Characters Windows refuses in a file name (< > : " / \ | ? * and controls) become "_", and
// trailing dots and spaces, which Windows drops silently, go.
std::string SafeFileName(const std::string& name);

// `base`, or `base_2`, `base_3` ... : the first name no entry in `folder` has, so an entry
// never overwrites another. The entry's row in logbook.csv is written last: files under a name
// the logbook does not list are an entry a stop interrupted. When their log copy is `logText`,
// they are this flight's own (the flight resumed and closed again) and the name is given back
// to finish them; anything else keeps its name.
std::string FreeEntryName(const std::string& folder, const std::string& base,
                          const std::string& logText);

// Everything a closed flight leaves in the logbook.
struct LogbookFlight {
    LogbookEntry entry;     // its entryName is filled in by WriteLogbookEntry
    LocalDateTime takeOff;  // names the files
    std::string logText;    // the finished Navigation log, as saved
    std::vector<TraceRow> trace;
    std::vector<TrackMark> marks;
};

// Makes the Logbook folder inside `logFolder` if needed, writes the entry's log copy, trace
// CSV, KML, GPX and profile SVG, and appends its logbook.csv row. Returns the entry's name.
// Raises the program's "Cannot create file" error naming the file that failed.
std::string WriteLogbookEntry(const std::string& logFolder, LogbookFlight flight);

}  // namespace aerolinker
