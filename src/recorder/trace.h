// The flight's trace: one CSV row per tick of a tracked flight, in the system's cache as soon
// as it is appended (a growing file), so a crash loses at most the tick being written and a
// resumed flight goes on in the same file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/calendar.h"
#include "common/growing_file.h"
#include "common/csv.h"

namespace aerolinker {

struct TraceRow {
    // The simulator's time: UTC as seconds since 1970-01-01 00:00 (a row an older copy wrote
    // has a time of day only, on day 0 until the recorder dates it), and its local time of day.
    long long utcSeconds = 0;
    int localSecondsOfDay = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    double altitudeFeet = 0.0;
    double heightFeet = 0.0;  // above the ground under the aircraft
    double groundSpeedKnots = 0.0;
    double indicatedKnots = 0.0;
    double verticalSpeedFpm = 0.0;
    double trueHeadingDegrees = 0.0;
    double fuelGallons = 0.0;  // on board, in every tank
    double gForce = 1.0;
    bool onGround = false;
    std::string phase;
    bool paused = false;
    bool slewing = false;
    double simulationRate = 1.0;
};

// Whether a row was written before engine start ("at the gate", or "parked" as older copies
// wrote): not part of the flight's honest time or block.
bool BeforeEngineStart(const TraceRow& row);

// Whether a time has no date: a row or mark an older copy wrote.
bool IsUndated(long long utcSeconds);
// Gives undated times their dates, counting back from `next`, the first dated time after
// them: each is the latest time of its time of day not after the one that follows it.
void DateBackwards(long long& utcSeconds, long long next);

CsvFields TraceHeader();
// The phase text loses any line break, so every row stays on one line (see ReadTrace).
CsvFields TraceFields(const TraceRow& row);
// False when the fields are not a trace row (wrong count, a number that does not read). Rows
// of the shorter form older copies wrote are read too, undated.
bool TraceRowFromFields(const CsvFields& fields, TraceRow& row);

// The whole trace with its header, as the logbook's copy.
std::string TraceCsvText(const std::vector<TraceRow>& rows);
// The header's line, with its line break.
const std::string& TraceHeaderText();
// Appends the row's line, as TraceCsvText writes it. `days` keeps the date's text from row
// to row.
void AppendTraceRow(std::string& text, const TraceRow& row, UtcDayTexts& days);

// The flight's trace file, kept open while rows are appended to it.
class TraceFile {
public:
    explicit TraceFile(std::string path) : file_(std::move(path)) {}

    // Appends one row (the header first if the file is new or empty). Returns 0 or the
    // platform's error code.
    int Append(const TraceRow& row);
    // The same with the row's line already made by AppendTraceRow.
    int AppendLine(std::string_view line);
    // Before the file is replaced or cut.
    void Close() { file_.Close(); }
    const std::string& Path() const { return file_.Path(); }

private:
    GrowingFile file_;
    // Kept from row to row: the line's buffer, and the date's text, which changes once a day.
    std::string line_;
    UtcDayTexts days_;
};

// Reads a trace back. Lines that are not trace rows (the header, a line cut short by a crash,
// the zero bytes after the rows of a file a stopped program had open) are skipped one by one; each
// line is read on its own so a torn line cannot swallow the rows after it. Returns 0 or the
// platform's error code.
int ReadTrace(const std::string& path, std::vector<TraceRow>& rows);

}  // namespace aerolinker
