// The trace's CSV row, its append and its reading back.
#include "recorder/trace.h"

#include <cstdio>

#include "common/file_io.h"
#include "common/file_append.h"
#include "common/fixed_number_text.h"
#include "common/units.h"

namespace aerolinker {

namespace {

// Places kept for each figure: about 10 cm of position, whole feet and knots.
constexpr int kPositionDecimals = 6;
constexpr int kFuelDecimals = 1;

const char* FlagText(bool flag) {
    return flag ? "1" : "0";
}

bool ParseFlag(const std::string& text, bool& flag) {
    if (text != "0" && text != "1") {
        return false;
    }
    flag = text == "1";
    return true;
}

}  // namespace

std::string TimeOfDayText(int secondsOfDay) {
    const int s =
        ((secondsOfDay % units::kSecondsPerDay) + units::kSecondsPerDay) % units::kSecondsPerDay;
    const int fields[] = {s / units::kSecondsPerHour,
                          s / units::kSecondsPerMinute % units::kMinutesPerHour,
                          s % units::kSecondsPerMinute};
    std::string text = "00:00:00";
    for (int i = 0; i < 3; ++i) {
        text[static_cast<size_t>(i * 3)] = static_cast<char>('0' + fields[i] / 10);
        text[static_cast<size_t>(i * 3 + 1)] = static_cast<char>('0' + fields[i] % 10);
    }
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
    secondsOfDay = static_cast<int>(parts[0] * 3600 + parts[1] * 60 + parts[2]);
    return true;
}

CsvFields TraceHeader() {
    return {"Time",
            "Latitude",
            "Longitude",
            "Altitude (ft)",
            "Ground speed (kt)",
            "Vertical speed (ft/min)",
            "Heading",
            "Fuel (gal)",
            "Phase",
            "Paused",
            "Slew",
            "Sim rate"};
}

CsvFields TraceFields(const TraceRow& row) {
    std::string phase = row.phase;
    for (char& c : phase) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return {TimeOfDayText(row.secondsOfDay),
            FixedText(row.latitude, kPositionDecimals),
            FixedText(row.longitude, kPositionDecimals),
            FixedText(row.altitudeFeet, 0),
            FixedText(row.groundSpeedKnots, 0),
            FixedText(row.verticalSpeedFpm, 0),
            FixedText(row.headingDegrees, 0),
            FixedText(row.fuelGallons, kFuelDecimals),
            phase,
            FlagText(row.paused),
            FlagText(row.slewing),
            ShortestText(row.simulationRate)};
}

bool TraceRowFromFields(const CsvFields& f, TraceRow& row) {
    if (f.size() != TraceHeader().size()) {
        return false;
    }
    TraceRow read;
    read.phase = f[8];
    bool ok = ParseTimeOfDay(f[0], read.secondsOfDay) && ParseNumber(f[1], read.latitude) &&
              ParseNumber(f[2], read.longitude) && ParseNumber(f[3], read.altitudeFeet) &&
              ParseNumber(f[4], read.groundSpeedKnots) &&
              ParseNumber(f[5], read.verticalSpeedFpm) && ParseNumber(f[6], read.headingDegrees) &&
              ParseNumber(f[7], read.fuelGallons) && ParseFlag(f[9], read.paused) &&
              ParseFlag(f[10], read.slewing) && ParseNumber(f[11], read.simulationRate);
    if (ok) {
        row = std::move(read);
    }
    return ok;
}

// The row's CSV record, as CsvRecord(TraceFields(row)) gives it, made straight into one text:
// a row is written every tick, and only the phase can hold a character that needs quoting.
void AppendTraceLine(std::string& line, const TraceRow& row) {
    line += TimeOfDayText(row.secondsOfDay);
    const std::pair<double, int> numbers[] = {{row.latitude, kPositionDecimals},
                                              {row.longitude, kPositionDecimals},
                                              {row.altitudeFeet, 0},
                                              {row.groundSpeedKnots, 0},
                                              {row.verticalSpeedFpm, 0},
                                              {row.headingDegrees, 0},
                                              {row.fuelGallons, kFuelDecimals}};
    for (const auto& [value, decimals] : numbers) {
        line += ',';
        AppendFixed(line, value, decimals);
    }
    line += ',';
    if (row.phase.find_first_of("\r\n") == std::string::npos) {
        AppendCsvField(line, row.phase);
    } else {
        std::string phase = row.phase;
        for (char& c : phase) {
            if (c == '\r' || c == '\n') {
                c = ' ';
            }
        }
        AppendCsvField(line, phase);
    }
    line += ',';
    line += FlagText(row.paused);
    line += ',';
    line += FlagText(row.slewing);
    line += ',';
    // At 1x nearly always: its text without a conversion.
    if (row.simulationRate == 1.0) {
        line += '1';
    } else {
        line += ShortestText(row.simulationRate);
    }
    line += "\r\n";
}

std::string TraceLine(const TraceRow& row) {
    std::string line;
    line.reserve(96);
    AppendTraceLine(line, row);
    return line;
}

std::string TraceCsvText(const std::vector<TraceRow>& rows) {
    std::string text = CsvRecord(TraceHeader());
    text.reserve(text.size() + rows.size() * 80);
    for (const TraceRow& row : rows) {
        AppendTraceLine(text, row);
    }
    return text;
}

int TraceFile::Append(const TraceRow& row) {
    static const std::string header = CsvRecord(TraceHeader());
    return file_.Append(header, TraceLine(row));
}

int ReadTrace(const std::string& path, std::vector<TraceRow>& rows) {
    rows.clear();
    std::string text;
    if (int error = ReadFileContents(path, text); error != 0) {
        return error;
    }
    std::vector<CsvFields> records;
    TraceRow row;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string_view line = std::string_view(text).substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (ParseCsv(line, records) && records.size() == 1 && TraceRowFromFields(records[0], row)) {
            rows.push_back(row);
        }
        start = end + 1;
    }
    return 0;
}

}  // namespace aerolinker
