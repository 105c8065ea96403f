// The logbook's entry names, its CSV row and the writing of a closed flight's files.
#include "logbook/logbook.h"

#include <algorithm>
#include <cstdio>

#include "common/app_error.h"
#include "common/file_io.h"
#include "common/file_append.h"
#include "common/fixed_number_text.h"
#include "common/units.h"
#include "logbook/profile_svg.h"
#include "logbook/track_files.h"

namespace aerolinker {

namespace {

std::string HoursMinutes(int minutes) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", minutes / units::kMinutesPerHour,
                  minutes % units::kMinutesPerHour);
    return text;
}

std::string Minutes(int seconds) {
    return FixedText(static_cast<double>(seconds) / units::kSecondsPerMinute, 1);
}

std::string DateText(const LocalDateTime& when) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", when.year, when.month, when.day);
    return text;
}

std::string TitleOf(const LogbookFlight& flight) {
    char time[32];
    std::snprintf(time, sizeof time, "%02d:%02d", flight.takeOff.hour, flight.takeOff.minute);
    return flight.entry.departure + " - " + flight.entry.arrival + ", " + DateText(flight.takeOff) +
           " " + time;
}

}  // namespace

CsvFields LogbookHeader() {
    return {"Date",
            "Aircraft",
            "Pilot",
            "Departure",
            "Arrival",
            "Block time",
            "Air time",
            "Distance (miles)",
            "Fuel used (gal)",
            "Touchdown (ft/min)",
            "G",
            "Bounces",
            "Paused (min)",
            "Slew (min)",
            "Sim rate not 1x (min)",
            "Files"};
}

CsvFields LogbookFields(const LogbookEntry& e) {
    const std::optional<LandingReport>& landing = e.landing;
    return {DateText(e.date),
            e.aircraft,
            e.pilot,
            e.departure,
            e.arrival,
            HoursMinutes(e.blockMinutes),
            HoursMinutes(e.airMinutes),
            FixedText(e.distanceMiles, 0),
            FixedText(e.fuelUsedGallons, 0),
            landing ? FixedText(landing->touchdownFpm, 0) : "",
            landing ? FixedText(landing->gForce, 2) : "",
            landing ? std::to_string(landing->bounces) : "",
            Minutes(e.honestTime.PausedSeconds()),
            Minutes(e.honestTime.SlewSeconds()),
            Minutes(e.honestTime.OtherRateSeconds()),
            e.entryName};
}

// The row is found by the entry's name in its last column. Rewriting the whole file is one
// atomic replacement, so a stop leaves either the old row or the new one. A file that cannot
// be read as CSV is never rewritten: the row is appended and nothing else is touched.
int WriteLogbookRow(const std::string& csvPath, const LogbookEntry& entry) {
    const CsvFields row = LogbookFields(entry);
    std::string text;
    std::vector<CsvFields> records;
    if (ReadFileContents(csvPath, text) == 0 && ParseCsv(text, records)) {
        const auto same =
            std::find_if(records.begin() + (records.empty() ? 0 : 1), records.end(),
                         [&](const CsvFields& record) {
                             return !record.empty() && record.back() == entry.entryName;
                         });
        if (same != records.end()) {
            *same = row;
            std::string rewritten;
            for (const CsvFields& record : records) {
                rewritten += CsvRecord(record);
            }
            return ReplaceFileContents(csvPath, rewritten);
        }
    }
    return AppendToFile(csvPath, CsvRecord(LogbookHeader()), CsvRecord(row));
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

std::string EntryBaseName(const LocalDateTime& when, const std::string& departure,
                          const std::string& arrival) {
    char time[32];
    std::snprintf(time, sizeof time, "_%02d%02d_", when.hour, when.minute);
    return SafeFileName(DateText(when) + time + departure + "-" + arrival);
}

std::string WriteLogbookEntry(const std::string& logFolder, LogbookFlight flight) {
    const std::string folder = logFolder + "\\" + kLogbookFolderName;
    if (int error = CreateFolder(folder); error != 0) {
        throw CannotCreateFileError(folder, error);
    }
    const std::string name =
        EntryBaseName(flight.takeOff, flight.entry.departure, flight.entry.arrival);
    flight.entry.entryName = name;
    const std::string title = TitleOf(flight);
    const std::pair<const char*, std::string> files[] = {
        {".log", flight.logText},
        {".csv", TraceCsvText(flight.trace)},
        {".kml", KmlText(title, flight.trace, flight.marks)},
        {".gpx", GpxText(title, flight.trace, flight.marks)},
        {".svg", ProfileSvg(title, flight.trace, flight.marks, flight.entry.landing)},
    };
    // The row goes last: it completes the entry. Files without their row are an entry a stop
    // interrupted, and closing the flight again writes them anew.
    for (const auto& [extension, text] : files) {
        const std::string path = folder + "\\" + name + extension;
        if (int error = ReplaceFileContents(path, text); error != 0) {
            throw CannotCreateFileError(path, error);
        }
    }
    const std::string csvPath = folder + "\\" + kLogbookCsvName;
    if (int error = WriteLogbookRow(csvPath, flight.entry); error != 0) {
        throw CannotCreateFileError(csvPath, error);
    }
    return name;
}

}  // namespace aerolinker
