// The logbook's entry names, its CSV row and the writing of a closed flight's files.
#include "logbook/logbook.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "common/app_error.h"
#include "common/calendar.h"
#include "common/file_io.h"
#include "common/file_append.h"
#include "common/fixed_number_text.h"
#include "common/text_encoding.h"
#include "common/units.h"
#include "logbook/profile_svg.h"
#include "logbook/track_files.h"

namespace aerolinker {

namespace {

// The mark that makes logbook.csv read as UTF-8 in a spreadsheet on Windows.
constexpr const char* kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kDate = "Date (UTC)";
constexpr const char* kPlannedDistance = "Planned distance (nm)";
// Columns older copies named otherwise: their name, today's.
constexpr std::pair<const char*, const char*> kOlderNames[] = {
    {"Date", kDate},
    {"Distance (miles)", kPlannedDistance},
};
// Columns older copies wrote whose figures meant something else (whole gallons from take-off
// to shut-down, wall-clock minutes): left out when such a logbook is rewritten.
constexpr std::string_view kRetiredNames[] = {"Fuel used (gal)", "Slew (min)",
                                              "Sim rate not 1x (min)"};
constexpr int kFuelDecimals = 1;
constexpr int kPositionDecimals = 6;

std::string HoursMinutes(int minutes) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", minutes / units::kMinutesPerHour,
                  minutes % units::kMinutesPerHour);
    return text;
}

std::string Minutes(int seconds) {
    return FixedText(static_cast<double>(seconds) / units::kSecondsPerMinute, 1);
}

std::string UtcTime(const std::optional<long long>& utcSeconds) {
    return utcSeconds ? TimeOfDayText(SecondsOfDayOf(*utcSeconds)) : std::string();
}

std::string Gallons(const std::optional<double>& gallons) {
    return gallons ? FixedText(*gallons, kFuelDecimals) : std::string();
}

// The time that names and dates the entry: the take-off, or the first time the flight has.
long long EntryTime(const LogbookFlight& flight, const std::vector<TraceRow>& trace) {
    const FlightFigures& f = flight.entry.figures;
    if (f.takeOff) {
        return *f.takeOff;
    }
    if (f.offBlock) {
        return *f.offBlock;
    }
    return trace.empty() ? 0 : trace.front().utcSeconds;
}

std::string TitleOf(const LogbookFlight& flight, const std::vector<TraceRow>& trace) {
    const long long when = EntryTime(flight, trace);
    return flight.entry.departure + " - " + flight.entry.arrival + ", " + UtcDateText(when) + " " +
           TimeOfDayText(SecondsOfDayOf(when)).substr(0, 5) + " UTC";
}

bool StartsWithByteOrderMark(const std::string& text) {
    return text.rfind(kUtf8ByteOrderMark, 0) == 0;
}

// Where the entry's name is in a logbook whose columns start with today's.
const std::size_t kFilesColumn = LogbookHeader().size() - 1;

bool InTodaysLayout(const CsvFields& header) {
    const CsvFields today = LogbookHeader();
    return header.size() >= today.size() && std::equal(today.begin(), today.end(), header.begin());
}

// The entry's name is the files' (the system's code page); its cell is UTF-8 as the others.
bool IsRowOf(const CsvFields& row, const std::string& entryName) {
    return row.size() > kFilesColumn && row[kFilesColumn] == Utf8FromSystemText(entryName);
}

// A logbook in other columns (an older copy's, or ours with columns a spreadsheet moved), in
// today's columns followed by those the program does not know (the pilot's own, kept with
// their cells); rows kept by the columns' names, texts made UTF-8. Empty when no column is
// one the program knows: that is not a logbook it can rewrite (one whose header line was
// removed, or one a spreadsheet saved with another separator).
std::vector<CsvFields> InTodaysColumns(const std::vector<CsvFields>& records) {
    CsvFields header = LogbookHeader();
    const std::size_t known = header.size();
    if (records.empty()) {
        return {header};
    }
    std::vector<std::size_t> from;  // each column's place in the old records
    std::vector<bool> placed(records[0].size(), false);
    for (std::size_t column = 0; column < known; ++column) {
        from.push_back(records[0].size());
        for (std::size_t old = 0; old < records[0].size(); ++old) {
            const std::string& name = records[0][old];
            bool same = name == header[column];
            for (const auto& [older, today] : kOlderNames) {
                same = same || (name == older && header[column] == today);
            }
            if (same) {
                from.back() = old;
                placed[old] = true;
            }
        }
    }
    if (std::none_of(placed.begin(), placed.end(), [](bool p) { return p; })) {
        return {};
    }
    for (std::size_t old = 0; old < records[0].size(); ++old) {
        const std::string_view name = records[0][old];
        if (!placed[old] && std::find(std::begin(kRetiredNames), std::end(kRetiredNames), name) ==
                                std::end(kRetiredNames)) {
            header.push_back(Utf8FromSystemText(records[0][old]));
            from.push_back(old);
        }
    }
    std::vector<CsvFields> rows{header};
    for (std::size_t r = 1; r < records.size(); ++r) {
        CsvFields row(header.size());
        for (std::size_t column = 0; column < header.size(); ++column) {
            if (from[column] < records[r].size()) {
                row[column] = Utf8FromSystemText(records[r][from[column]]);
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string CsvText(const std::vector<CsvFields>& records) {
    std::string text = kUtf8ByteOrderMark;
    for (const CsvFields& record : records) {
        text += CsvRecord(record);
    }
    return text;
}

// The breaches in one cell, one a line with its UTC time, in UTF-8 as the rest of the row.
std::string BreachList(const std::vector<MapNote>& breaches) {
    std::string text;
    for (const MapNote& breach : breaches) {
        text += (text.empty() ? "" : "\n") + IsoUtcText(breach.utcSeconds) + " " +
                Utf8FromSystemText(breach.text);
    }
    return text;
}

// The logbook's records in today's columns (the header first); empty when there is no
// logbook or it cannot be read as one.
std::vector<CsvFields> RecordsOf(const std::string& csvPath) {
    std::string text;
    std::vector<CsvFields> records;
    if (ReadFileContents(csvPath, text) != 0) {
        return {};
    }
    const bool marked = StartsWithByteOrderMark(text);
    if (!ParseCsv(std::string_view(text).substr(
                      marked ? std::char_traits<char>::length(kUtf8ByteOrderMark) : 0),
                  records)) {
        return {};
    }
    return marked && !records.empty() && InTodaysLayout(records[0]) ? records
                                                                    : InTodaysColumns(records);
}

// A time of day as "H:MM" or "H:MM:SS" gives, in seconds; -1 for any other text. `precise`
// tells whether it had its seconds.
int ClockSeconds(const std::string& text, bool& precise) {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    char end = 0;
    const int read = std::sscanf(text.c_str(), "%2d:%2d:%2d%c", &hours, &minutes, &seconds, &end);
    precise = read == 3;
    if ((read != 2 && read != 3) || text.size() > 8 || hours < 0 || hours > 23 || minutes < 0 ||
        minutes > 59 || seconds < 0 || seconds > 59) {
        return -1;
    }
    return hours * 3600 + minutes * 60 + seconds;
}

// Whether a time written in the row is ours: the same text, or the same time as a spreadsheet
// saved it back ("9:52" for "09:52:00": to the minute when it dropped the seconds).
bool SameClockTime(const std::string& written, const std::string& ours) {
    if (written == ours) {
        return true;
    }
    bool writtenPrecise = false;
    bool oursPrecise = false;
    const int a = ClockSeconds(written, writtenPrecise);
    const int b = ClockSeconds(ours, oursPrecise);
    return a >= 0 && b >= 0 && (writtenPrecise ? a == b : a / 60 == b / 60);
}

// The entry's name: the first of base, base_2, base_3... with no row yet, or, for a resumed
// flight, whose row is its own (closed again: the same off-block and take-off times; the name
// holds the date). Another flight off the same departure to the same arrival in the same minute
// (flown again from the same saved situation) gets a name of its own instead of taking over the
// first one's entry.
std::string EntryNameIn(const std::vector<CsvFields>& records, const std::string& base,
                        const LogbookEntry& entry, bool resumed) {
    const CsvFields header = LogbookHeader();
    const CsvFields fields = LogbookFields(entry);
    std::vector<std::size_t> identity;
    for (const char* column : {"Off block (UTC)", "Take-off (UTC)"}) {
        identity.push_back(static_cast<std::size_t>(
            std::find(header.begin(), header.end(), column) - header.begin()));
    }
    for (int n = 1;; ++n) {
        const std::string name = n == 1 ? base : base + "_" + std::to_string(n);
        const auto row = std::find_if(records.begin() + (records.empty() ? 0 : 1), records.end(),
                                      [&](const CsvFields& r) { return IsRowOf(r, name); });
        if (row == records.end()) {
            return name;
        }
        if (resumed && std::all_of(identity.begin(), identity.end(), [&](std::size_t i) {
                return SameClockTime((*row)[i], fields[i]);
            })) {
            return name;
        }
    }
}

}  // namespace

CsvFields LogbookHeader() {
    return {kDate,
            "Pilot",
            "Pilot ID",
            "Pilot number",
            "Aircraft",
            "Departure",
            "Arrival",
            "Off block (UTC)",
            "Take-off (UTC)",
            "Landing (UTC)",
            "On block (UTC)",
            "Block time",
            "Air time",
            kPlannedDistance,
            "Distance flown (nm)",
            "Block fuel (gal)",
            "Trip fuel (gal)",
            "Touchdown (ft/min)",
            "G",
            "Bounces",
            "Touchdown speed (kt)",
            "Touchdown latitude",
            "Touchdown longitude",
            "Paused (min)",
            "Slew (sim min)",
            "Sim rate not 1x (sim min)",
            "Phases of note",
            "Rule breaches",
            "Rule breach list",
            kAirlineReportColumn,
            kAirlineFilingColumn,
            "Files"};
}

CsvFields LogbookFields(const LogbookEntry& e) {
    const std::optional<LandingReport>& landing = e.landing;
    const FlightFigures& f = e.figures;
    const std::optional<long long> dated = f.takeOff ? f.takeOff : f.offBlock;
    return {dated ? UtcDateText(*dated) : std::string(),
            Utf8FromSystemText(e.pilotName),
            Utf8FromSystemText(e.pilotId),
            Utf8FromSystemText(e.pilotNumber),
            Utf8FromSystemText(e.aircraft),
            Utf8FromSystemText(e.departure),
            Utf8FromSystemText(e.arrival),
            UtcTime(f.offBlock),
            UtcTime(f.takeOff),
            UtcTime(f.landing),
            UtcTime(f.onBlock),
            HoursMinutes(f.BlockMinutes()),
            HoursMinutes(f.AirMinutes()),
            e.plannedDistanceMetres
                ? FixedText(units::MetresToNauticalMiles(*e.plannedDistanceMetres), 1)
                : std::string(),
            FixedText(units::MetresToNauticalMiles(f.distanceFlownMetres), 1),
            Gallons(f.blockFuel),
            Gallons(f.tripFuel),
            landing ? FixedText(landing->touchdownFpm, 0) : "",
            landing ? FixedText(landing->gForce, 2) : "",
            landing ? std::to_string(landing->bounces) : "",
            landing ? FixedText(landing->groundSpeedKnots, 0) : "",
            landing ? FixedText(landing->latitude, kPositionDecimals) : "",
            landing ? FixedText(landing->longitude, kPositionDecimals) : "",
            Minutes(e.honestTime.PausedSeconds()),
            Minutes(e.honestTime.SlewSeconds()),
            Minutes(e.honestTime.OtherRateSeconds()),
            e.phasesOfNote,
            e.rulesChecked ? std::to_string(e.ruleBreaches.size()) : std::string(),
            BreachList(e.ruleBreaches),
            e.airlineReport,
            e.airlineFiling,
            Utf8FromSystemText(e.entryName)};
}

// The row is found by the entry's name in the "Files" column. Rewriting the whole file is one
// atomic replacement, so a stop leaves either the old row or the new one. A file that cannot
// be read as a logbook is never rewritten: the row is appended and nothing else is touched.
// One that is there but cannot be read is an error: it is never taken for a missing one.
int WriteLogbookRow(const std::string& csvPath, const LogbookEntry& entry) {
    const CsvFields row = LogbookFields(entry);
    std::string text;
    std::vector<CsvFields> records;
    if (const int error = ReadFileContents(csvPath, text); error != 0 && FileExists(csvPath)) {
        return error;
    }
    const bool marked = StartsWithByteOrderMark(text);
    if (marked) {
        text.erase(0, std::char_traits<char>::length(kUtf8ByteOrderMark));
    }
    // Emptied in an editor, as little as a line break may be left.
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        return ReplaceFileContents(csvPath, CsvText({LogbookHeader(), row}));
    }
    if (!ParseCsv(text, records)) {
        return AppendToFile(csvPath, std::string(), CsvRecord(row));
    }
    const bool todays = marked && !records.empty() && InTodaysLayout(records[0]);
    if (!todays) {
        records = InTodaysColumns(records);
        if (records.empty()) {
            return AppendToFile(csvPath, std::string(), CsvRecord(row));
        }
    }
    const auto same = std::find_if(records.begin() + 1, records.end(),
                                   [&](const CsvFields& r) { return IsRowOf(r, entry.entryName); });
    if (same != records.end()) {
        // The pilot's own columns keep what the row had in them.
        same->resize(std::max(same->size(), row.size()));
        std::copy(row.begin(), row.end(), same->begin());
    } else if (todays) {
        return AppendToFile(csvPath, std::string(), CsvRecord(row));
    } else {
        records.push_back(row);
    }
    return ReplaceFileContents(csvPath, CsvText(records));
}

int SetLogbookColumns(const std::string& csvPath, const std::string& entryName,
                      const std::vector<std::pair<std::string, std::string>>& values) {
    std::string text;
    if (const int error = ReadFileContents(csvPath, text); error != 0) {
        return error;
    }
    std::vector<CsvFields> records;
    if (!StartsWithByteOrderMark(text) ||
        !ParseCsv(std::string_view(text).substr(std::char_traits<char>::length(kUtf8ByteOrderMark)),
                  records) ||
        records.empty() || !InTodaysLayout(records[0])) {
        return EINVAL;
    }
    const auto row = std::find_if(records.begin() + 1, records.end(),
                                  [&](const CsvFields& r) { return IsRowOf(r, entryName); });
    if (row == records.end()) {
        return ENOENT;
    }
    for (const auto& [name, value] : values) {
        const auto column = std::find(records[0].begin(), records[0].end(), name);
        if (column != records[0].end()) {
            (*row)[static_cast<std::size_t>(column - records[0].begin())] = value;
        }
    }
    return ReplaceFileContents(csvPath, CsvText(records));
}

std::string SafeFileName(const std::string& name) {
    std::string safe = name;
    for (char& c : safe) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) {
        safe.pop_back();
    }
    return safe;
}

std::string EntryBaseName(long long utcSeconds, const std::string& departure,
                          const std::string& arrival) {
    const int seconds = SecondsOfDayOf(utcSeconds);
    char time[32];
    std::snprintf(time, sizeof time, "_%02d%02d_", seconds / units::kSecondsPerHour,
                  seconds / units::kSecondsPerMinute % units::kMinutesPerHour);
    return SafeFileName(UtcDateText(utcSeconds) + time + departure + "-" + arrival);
}

std::string WriteLogbookEntry(const std::string& logFolder, LogbookFlight flight) {
    const std::vector<TraceRow> trace = std::move(flight.trace);
    return WriteLogbookEntry(logFolder, std::move(flight), trace, std::string_view());
}

std::string WriteLogbookEntry(const std::string& logFolder, LogbookFlight flight,
                              const std::vector<TraceRow>& trace, std::string_view traceCsv) {
    const std::string folder = logFolder + "\\" + kLogbookFolderName;
    if (int error = CreateFolder(folder); error != 0) {
        throw CannotCreateFileError(folder, error);
    }
    const std::string csvPath = folder + "\\" + kLogbookCsvName;
    const std::string name = EntryNameIn(
        RecordsOf(csvPath),
        EntryBaseName(EntryTime(flight, trace), flight.entry.departure, flight.entry.arrival),
        flight.entry, flight.resumed);
    flight.entry.entryName = name;
    const std::string title = TitleOf(flight, trace);
    // The row goes last: it completes the entry. Files without their row are an entry a stop
    // interrupted, and closing the flight again writes them anew. Each file is made and written
    // before the next is made, so that a long flight's texts do not all take memory at once.
    const auto write = [&](const char* extension, std::string_view text) {
        const std::string path = folder + "\\" + name + extension;
        if (int error = ReplaceFileContents(path, text); error != 0) {
            throw CannotCreateFileError(path, error);
        }
    };
    write(".log", flight.logText);
    write(".csv", traceCsv.empty() ? std::string_view(TraceCsvText(trace)) : traceCsv);
    write(".kml", KmlText(title, trace, flight.marks, flight.entry.ruleBreaches));
    write(".gpx", GpxText(TrackFileFlight{title, flight.entry.aircraft, flight.entry.pilotName},
                          trace, flight.marks, flight.entry.ruleBreaches));
    write(".svg", ProfileSvg(title, trace, flight.marks, flight.entry.landing));
    if (int error = WriteLogbookRow(csvPath, flight.entry); error != 0) {
        throw CannotCreateFileError(csvPath, error);
    }
    return name;
}

}  // namespace aerolinker
