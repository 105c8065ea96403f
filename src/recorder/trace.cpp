// The trace's CSV row, its append and its reading back.
#include "recorder/trace.h"

#include <cstddef>
#include <cstdio>
#include <iterator>
#include <utility>

#include "common/calendar.h"
#include "common/file_io.h"
#include "recorder/flight_phases.h"
#include "common/file_append.h"
#include "common/fixed_number_text.h"
#include "common/units.h"

namespace aerolinker {

namespace {

// Places kept for each figure: about 10 cm of position, whole feet and knots.
constexpr int kPositionDecimals = 6;
constexpr int kFuelDecimals = 1;

char FlagChar(bool flag) {
    return flag ? '1' : '0';
}

bool ParseFlag(const std::string& text, bool& flag) {
    if (text != "0" && text != "1") {
        return false;
    }
    flag = text == "1";
    return true;
}

}  // namespace

bool BeforeEngineStart(const TraceRow& row) {
    return PhaseNamed(row.phase) == FlightPhase::kAtTheGate;
}

bool IsUndated(long long utcSeconds) {
    return utcSeconds >= 0 && utcSeconds < units::kSecondsPerDay;
}

void DateBackwards(long long& utcSeconds, long long next) {
    const long long nextDayStart = next - SecondsOfDayOf(next);
    long long dated = nextDayStart + SecondsOfDayOf(utcSeconds);
    if (dated > next) {
        dated -= units::kSecondsPerDay;
    }
    utcSeconds = dated;
}

namespace {

// The columns, with their units.
const char* const kHeader[] = {"Date (UTC)",
                               "Time (UTC)",
                               "Local time",
                               "Latitude (deg)",
                               "Longitude (deg)",
                               "Altitude (ft)",
                               "Height above ground (ft)",
                               "Ground speed (kt)",
                               "Indicated speed (kt)",
                               "Vertical speed (ft/min)",
                               "True heading (deg)",
                               "Fuel on board (gal)",
                               "G",
                               "On ground",
                               "Phase",
                               "Paused",
                               "Slew",
                               "Sim rate (x)"};
constexpr std::size_t kColumns = std::size(kHeader);
// The rows older copies wrote: time of day, position, altitude, ground speed, vertical speed,
// heading, fuel, phase, paused, slew, rate.
constexpr std::size_t kOlderColumns = 12;
constexpr int kGDecimals = 2;

std::string PhaseText(const std::string& phase) {
    std::string text = phase;
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

// Whether the phase goes into the row as it stands: no line break to take out, nothing that
// needs CSV's quotes. The recorder's own phases ("cruise", "taxi") always do.
bool IsPlainPhase(const std::string& phase) {
    for (const char c : phase) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            return false;
        }
    }
    return true;
}

bool ReadOlderRow(const CsvFields& f, TraceRow& row) {
    TraceRow read;
    int seconds = 0;
    read.phase = f[8];
    const bool ok = ParseTimeOfDay(f[0], seconds) && ParseNumber(f[1], read.latitude) &&
                    ParseNumber(f[2], read.longitude) && ParseNumber(f[3], read.altitudeFeet) &&
                    ParseNumber(f[4], read.groundSpeedKnots) &&
                    ParseNumber(f[5], read.verticalSpeedFpm) &&
                    ParseNumber(f[6], read.trueHeadingDegrees) &&
                    ParseNumber(f[7], read.fuelGallons) && ParseFlag(f[9], read.paused) &&
                    ParseFlag(f[10], read.slewing) && ParseNumber(f[11], read.simulationRate);
    if (ok) {
        read.utcSeconds = seconds;
        read.localSecondsOfDay = seconds;
        read.onGround = read.phase == "parked" || read.phase == "taxi" || read.phase == "landed";
        row = std::move(read);
    }
    return ok;
}

}  // namespace

CsvFields TraceHeader() {
    return CsvFields(std::begin(kHeader), std::end(kHeader));
}

CsvFields TraceFields(const TraceRow& row) {
    return {UtcDateText(row.utcSeconds),
            TimeOfDayText(SecondsOfDayOf(row.utcSeconds)),
            TimeOfDayText(row.localSecondsOfDay),
            FixedText(row.latitude, kPositionDecimals),
            FixedText(row.longitude, kPositionDecimals),
            FixedText(row.altitudeFeet, 0),
            FixedText(row.heightFeet, 0),
            FixedText(row.groundSpeedKnots, 0),
            FixedText(row.indicatedKnots, 0),
            FixedText(row.verticalSpeedFpm, 0),
            FixedText(row.trueHeadingDegrees, 0),
            FixedText(row.fuelGallons, kFuelDecimals),
            FixedText(row.gForce, kGDecimals),
            std::string(1, FlagChar(row.onGround)),
            PhaseText(row.phase),
            std::string(1, FlagChar(row.paused)),
            std::string(1, FlagChar(row.slewing)),
            ShortestText(row.simulationRate)};
}

bool TraceRowFromFields(const CsvFields& f, TraceRow& row) {
    if (f.size() == kOlderColumns) {
        return ReadOlderRow(f, row);
    }
    if (f.size() != kColumns) {
        return false;
    }
    TraceRow read;
    CivilDate date;
    int utc = 0;
    read.phase = f[14];
    const bool ok =
        ParseDateText(f[0], date) && ParseTimeOfDay(f[1], utc) &&
        ParseTimeOfDay(f[2], read.localSecondsOfDay) && ParseNumber(f[3], read.latitude) &&
        ParseNumber(f[4], read.longitude) && ParseNumber(f[5], read.altitudeFeet) &&
        ParseNumber(f[6], read.heightFeet) && ParseNumber(f[7], read.groundSpeedKnots) &&
        ParseNumber(f[8], read.indicatedKnots) && ParseNumber(f[9], read.verticalSpeedFpm) &&
        ParseNumber(f[10], read.trueHeadingDegrees) && ParseNumber(f[11], read.fuelGallons) &&
        ParseNumber(f[12], read.gForce) && ParseFlag(f[13], read.onGround) &&
        ParseFlag(f[15], read.paused) && ParseFlag(f[16], read.slewing) &&
        ParseNumber(f[17], read.simulationRate);
    if (ok) {
        read.utcSeconds = DaysFromCivil(date) * units::kSecondsPerDay + utc;
        row = std::move(read);
    }
    return ok;
}

// The row's CSV record, as CsvRecord(TraceFields(row)) gives it, made straight into one text:
// a row is written every tick, and a logbook entry holds every row of the flight again.
void AppendTraceRow(std::string& line, const TraceRow& row, UtcDayTexts& days) {
    FigureWriter out(line);
    out.Text(days.DateOf(row.utcSeconds));
    out.Char(',');
    WriteTimeOfDayText(out, SecondsOfDayOf(row.utcSeconds));
    out.Char(',');
    WriteTimeOfDayText(out, row.localSecondsOfDay);
    const std::pair<double, int> numbers[] = {{row.latitude, kPositionDecimals},
                                              {row.longitude, kPositionDecimals},
                                              {row.altitudeFeet, 0},
                                              {row.heightFeet, 0},
                                              {row.groundSpeedKnots, 0},
                                              {row.indicatedKnots, 0},
                                              {row.verticalSpeedFpm, 0},
                                              {row.trueHeadingDegrees, 0},
                                              {row.fuelGallons, kFuelDecimals},
                                              {row.gForce, kGDecimals}};
    for (const auto& [value, decimals] : numbers) {
        out.Char(',');
        out.Fixed(value, decimals);
    }
    out.Char(',');
    out.Char(FlagChar(row.onGround));
    out.Char(',');
    if (IsPlainPhase(row.phase)) {
        out.Text(row.phase);
    } else {
        out.Flush();
        AppendCsvField(line, PhaseText(row.phase));
    }
    out.Char(',');
    out.Char(FlagChar(row.paused));
    out.Char(',');
    out.Char(FlagChar(row.slewing));
    out.Char(',');
    // At 1x nearly always: its text without a conversion.
    if (row.simulationRate == 1.0) {
        out.Char('1');
    } else {
        out.Text(ShortestText(row.simulationRate));
    }
    out.Text("\r\n");
}

namespace {

// Room for one row of the trace; a longer one (a long phase) only makes the text grow.
constexpr std::size_t kRowCapacity = 140;

}  // namespace

const std::string& TraceHeaderText() {
    static const std::string header = CsvRecord(TraceHeader());
    return header;
}

std::string TraceCsvText(const std::vector<TraceRow>& rows) {
    std::string text = TraceHeaderText();
    text.reserve(text.size() + rows.size() * kRowCapacity);
    UtcDayTexts days;
    for (const TraceRow& row : rows) {
        AppendTraceRow(text, row, days);
    }
    return text;
}

int TraceFile::Append(const TraceRow& row) {
    line_.clear();
    line_.reserve(kRowCapacity);
    AppendTraceRow(line_, row, days_);
    return AppendLine(line_);
}

int TraceFile::AppendLine(std::string_view line) {
    return file_.Append(TraceHeaderText(), line);
}

int ReadTrace(const std::string& path, std::vector<TraceRow>& rows) {
    rows.clear();
    std::string text;
    if (int error = ReadFileContents(path, text); error != 0) {
        return error;
    }
    text.resize(LengthWithoutTrailingZeros(text));
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
