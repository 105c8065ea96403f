// The pilot's logbook: when a flight closes, its files go into the Logbook folder inside the
// log folder under a name of its take-off's UTC date and time and its route, and logbook.csv has
// one row per flight. A flight is known by its take-off: closed again (resumed after a stop in
// its closing, or loaded again once finished) it updates its one entry and row.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/csv.h"
#include "logbook/track_files.h"
#include "recorder/flight_figures.h"
#include "recorder/landing_report.h"
#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker {

constexpr const char* kLogbookFolderName = "Logbook";
constexpr const char* kLogbookCsvName = "logbook.csv";
// The files of one entry, all sharing its name.
constexpr const char* kEntryExtensions[] = {".log", ".csv", ".kml", ".gpx", ".svg"};

struct LogbookEntry {
    std::string pilotName;
    std::string pilotId;
    std::string pilotNumber;
    std::string aircraft;
    std::string departure;
    std::string arrival;
    // The times, fuel and distance flown, as the trace gives them; the flight's date is the
    // simulator's UTC date at take-off.
    FlightFigures figures;
    std::optional<double> plannedDistanceMetres;  // the flight plan's, read at connect
    std::optional<LandingReport> landing;
    HonestTime honestTime;
    // The rejected take-offs, go-arounds and touch-and-gos with their times.
    std::string phasesOfNote;
    // The airline's rules broken, where and when, when the rules were watched.
    bool rulesChecked = false;
    std::vector<MapNote> ruleBreaches;
    // The flight's report with the airline, where it is filed with one: the report's id on
    // the airline's site, and how far it got ("filed", "waiting to be sent", "refused: ...").
    std::string airlineReport;
    std::string airlineFiling;
    std::string entryName;  // the name the entry's files share
};

// The logbook's columns the airline fills in once the report is filed or refused.
inline constexpr char kAirlineReportColumn[] = "Airline report";
inline constexpr char kAirlineFilingColumn[] = "Airline filing";

CsvFields LogbookHeader();
CsvFields LogbookFields(const LogbookEntry& entry);

// The entry's row in logbook.csv, which is UTF-8 with a byte-order mark (so that a spreadsheet
// on Windows reads accents): replaces the row of the same entry name, or is appended (the mark
// and the header first when the file is new). A logbook an older copy wrote (other columns, the
// system's code page) is rewritten once in today's columns, each row keeping the columns whose
// names it shares with them; columns the program does not know (the pilot's own) follow
// today's and keep their cells. A logbook that shares no column with today's is only appended
// to, and one that is there but cannot be read is an error. Returns 0 or the platform's error
// code.
int WriteLogbookRow(const std::string& csvPath, const LogbookEntry& entry);

// Sets columns, by their names, in the row of the entry named `entryName`: one atomic rewrite.
// Nothing changes, and the result is not 0, when the file's columns do not start with today's
// or it has no such row. Returns 0 or the platform's error code (ENOENT when the row is not
// there).
int SetLogbookColumns(const std::string& csvPath, const std::string& entryName,
                      const std::vector<std::pair<std::string, std::string>>& values);

// "2026-12-07_1005_LIEO-LIRQ": the UTC date and time of `utcSeconds` (the take-off), then the
// route, made safe as a Windows file name.
std::string EntryBaseName(long long utcSeconds, const std::string& departure,
                          const std::string& arrival);

// Characters Windows refuses in a file name (< > : " / \ | ? * and controls) become "_", and
// trailing dots and spaces, which Windows drops silently, go.
std::string SafeFileName(const std::string& name);

// Everything a closed flight leaves in the logbook.
struct LogbookFlight {
    LogbookEntry entry;   // its entryName is filled in by WriteLogbookEntry
    std::string logText;  // the finished Navigation log, as saved
    std::vector<TraceRow> trace;
    std::vector<TrackMark> marks;
    // The flight was resumed, and may be closing again: its entry takes over the row of the
    // same off-block and take-off. A flight never resumed always gets an entry of its own.
    bool resumed = false;
};

// Makes the Logbook folder inside `logFolder` if needed, writes the entry's log copy, trace
// CSV, KML, GPX and profile SVG, then its logbook.csv row. Returns the entry's name.
// Raises the program's "Cannot create file" error naming the file that failed.
std::string WriteLogbookEntry(const std::string& logFolder, LogbookFlight flight);
// The same with the rows kept elsewhere (the flight's own `trace` is not used), and their CSV
// as TraceCsvText gives it when the caller has it already (made from the rows when empty): a
// long flight's rows are not copied.
std::string WriteLogbookEntry(const std::string& logFolder, LogbookFlight flight,
                              const std::vector<TraceRow>& trace, std::string_view traceCsv);

}  // namespace aerolinker
