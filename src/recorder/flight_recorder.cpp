// The flight recorder's tick: the landing watcher before the tracker's step, the trace row and
// its honest time after it, the looks at the landing between ticks, and what a resume needs to
// go on in the same trace.
#include "recorder/flight_recorder.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cmath>

#include "common/app_error.h"
#include "common/csv.h"
#include "common/file_append.h"
#include "common/file_io.h"
#include "common/fixed_number_text.h"
#include "common/growing_file.h"
#include "common/units.h"
#include "recorder/recorder_units.h"
#include "recorder/track.h"
#include "tracking/flight_math.h"

namespace aerolinker {
namespace {

constexpr double kKnotsPerMetrePerSecond = units::kSecondsPerHour / units::kMetresPerNauticalMile;
constexpr const char* kRowsRecord = "rows";
constexpr const char* kMarkRecord = "mark";
constexpr const char* kLandingRecord = "landing";
// The times of the trace's first row and of its last one written at the save.
constexpr const char* kRowTimesRecord = "row times";
// A time read back lies within this of 1970 (about 30,000 years), so no difference of two
// times can overflow.
constexpr long long kMostUtcSeconds = 1'000'000'000'000LL;

PhaseInput PhaseInputOf(const TraceRow& row, bool enginesRunning) {
    PhaseInput input;
    input.utcSeconds = row.utcSeconds;
    input.onGround = row.onGround;
    input.enginesRunning = enginesRunning;
    input.groundSpeedKnots = row.groundSpeedKnots;
    input.verticalSpeedFpm = row.verticalSpeedFpm;
    input.heightFeet = row.heightFeet;
    input.altitudeFeet = row.altitudeFeet;
    return input;
}

// A rate FSUIPC leaves at 0 has not been set by the simulator: it runs at 1x.
double RateOf(std::uint16_t raw) {
    return raw == 0 ? 1.0 : SimulationRateFactor(raw);
}

// A mark's record in the situation; the marks only grow during a flight, so their records are
// kept as text and each situation save copies them instead of writing every mark again. Its
// numbers keep every bit (the shortest round-trip text).
std::string MarkRecord(const TrackMark& mark) {
    return CsvRecord({kMarkRecord, std::to_string(static_cast<int>(mark.kind)), mark.name,
                      std::to_string(mark.utcSeconds), ShortestText(mark.latitude),
                      ShortestText(mark.longitude), ShortestText(mark.altitudeFeet)});
}

}  // namespace

void FlightRecorder::Reset() {
    trace_.reset();
    savedRowTimes_.reset();
    rowToCome_ = false;
    damage_.clear();
    rows_.clear();
    traceText_ = TraceHeaderText();
    days_ = UtcDayTexts();
    marks_.clear();
    marksText_.clear();
    phases_ = PhaseTracker();
    phaseChanges_.clear();
    watcher_ = LandingWatcher();
    honest_ = HonestTime();
    landingShown_ = false;
    lastReport_.reset();
    lastTouchdown_ = 0;
    undated_ = false;
}

// Room for the rows of a long flight, taken at its start: memory the rows never reach is never
// touched, and rows that grow one by one would copy the whole flight again and again.
void FlightRecorder::ReserveRows() {
    constexpr std::size_t kLongFlightRows = 12 * units::kSecondsPerHour / units::kTickSeconds;
    constexpr std::size_t kRowTextBytes = 112;
    const std::size_t rows = std::max(kLongFlightRows, rows_.size() * 2);
    rows_.reserve(rows);
    traceText_.reserve(TraceHeaderText().size() + rows * kRowTextBytes);
}

int FlightRecorder::Start(const std::string& tracePath) {
    Reset();
    ReserveRows();
    path_ = tracePath;
    recording_ = true;
    // The old flight's trace is replaced with the first row, not at once: a connect that ends
    // in a resume, or in nothing, leaves the files as they were.
    rewriteTrace_ = true;
    traceHeld_ = true;
    rowsOnDisk_ = 0;
    return 0;
}

int FlightRecorder::TakeTraceFile() {
    if (!traceHeld_) {
        return 0;
    }
    traceHeld_ = false;
    return rows_.empty() ? 0 : WriteRow(std::string_view());
}

// The landing watcher as the save left it, and whether its report was shown; a record that
// does not read leaves the watcher new.
void FlightRecorder::ReadLandingRecord(const CsvFields& record) {
    LandingWatcher::Saved saved;
    LandingReport& r = saved.report;
    long long bounces = 0;
    long long state = 0;
    if (ParseNumber(record[1], r.touchdownFpm) && ParseNumber(record[2], r.gForce) &&
        ParseInteger(record[3], bounces) && ParseNumber(record[4], r.latitude) &&
        ParseNumber(record[5], r.longitude) && ParseNumber(record[6], r.groundSpeedKnots) &&
        ParseInteger(record[7], saved.lastTouchdown) && ParseInteger(record[8], state) &&
        (record[9] == "0" || record[9] == "1") && bounces >= 0 && bounces < INT_MAX &&
        std::llabs(saved.lastTouchdown) < kMostUtcSeconds) {
        r.bounces = static_cast<int>(bounces);
        saved.state = static_cast<int>(state);
        watcher_.Restore(saved);
        lastReport_ = r;
        lastTouchdown_ = saved.lastTouchdown;
        landingShown_ = record[9] == "1";
    }
}

// The rows counted at the save, or -1 for a flight saved by an older copy (no count), the rows
// already in the trace then (the count less the tick's row still to come; the count itself when
// the save does not say), the marks and the landing watcher.
long long FlightRecorder::ReadResumeText(const std::string& resumeText, long long& rowsWritten) {
    std::vector<CsvFields> records;
    long long rowsAtSave = -1;
    rowsWritten = -1;
    if (!resumeText.empty() && ParseCsv(resumeText, records)) {
        for (const CsvFields& record : records) {
            if ((record.size() == 2 || record.size() == 3) && record[0] == kRowsRecord) {
                ParseInteger(record[1], rowsAtSave);
                if (record.size() == 3 && !ParseInteger(record[2], rowsWritten)) {
                    rowsWritten = -1;
                }
            } else if ((record.size() == 3 || record.size() == 4) && record[0] == kRowTimesRecord) {
                RowTimes times;
                long long toCome = 0;
                if (ParseInteger(record[1], times.first) && ParseInteger(record[2], times.last)) {
                    if (record.size() == 4 && ParseInteger(record[3], toCome)) {
                        times.toCome = toCome;
                    }
                    savedRowTimes_ = times;
                }
            } else if (record.size() == 10 && record[0] == kLandingRecord) {
                ReadLandingRecord(record);
            } else if (record.size() == 7 && record[0] == kMarkRecord) {
                TrackMark mark;
                long long kind = 0;
                long long seconds = 0;
                if (ParseInteger(record[1], kind) && ParseInteger(record[3], seconds) &&
                    ParseNumber(record[4], mark.latitude) &&
                    ParseNumber(record[5], mark.longitude) &&
                    ParseNumber(record[6], mark.altitudeFeet) && kind >= 0 &&
                    std::llabs(seconds) < kMostUtcSeconds &&
                    kind <= static_cast<long long>(MarkKind::kTouchAndGo)) {
                    mark.kind = static_cast<MarkKind>(kind);
                    mark.name = record[2];
                    mark.utcSeconds = seconds;
                    marks_.push_back(mark);
                    marksText_ += MarkRecord(mark);
                }
            }
        }
    }
    if (rowsWritten < 0 || rowsWritten > rowsAtSave) {
        rowsWritten = rowsAtSave;
    }
    return rowsAtSave;
}

int FlightRecorder::Resume(const std::string& tracePath, const std::string& resumeText) {
    Reset();
    path_ = tracePath;
    recording_ = true;
    rewriteTrace_ = false;
    traceHeld_ = false;
    long long rowsWritten = -1;
    const long long rowsAtSave = ReadResumeText(resumeText, rowsWritten);
    int error = FileExists(path_) ? ReadTrace(path_, rows_) : 0;
    const bool sound = error == 0 && SavedRowsRead(rowsWritten);
    // A stop between the save and the row of its tick leaves that row unwritten: the tick that
    // was being written, not a damaged trace. The flight goes on in the same file.
    if (!sound || (rowsAtSave >= 0 && rows_.size() < static_cast<size_t>(rowsWritten))) {
        error = StartNewSegment(rowsAtSave, error);
    } else if (rowsAtSave >= 0 && rows_.size() >= static_cast<size_t>(rowsAtSave)) {
        // Ticks recorded after the save are flown again from the saved flight. When a stop
        // kept the save's own tick from the file, the row in its place is the next tick's,
        // written after an earlier resume: it is flown again too.
        auto keep = static_cast<size_t>(rowsAtSave);
        if (savedRowTimes_ && savedRowTimes_->toCome && rowsAtSave == rowsWritten + 1 && keep > 0 &&
            rows_[keep - 1].utcSeconds != *savedRowTimes_->toCome) {
            keep = static_cast<size_t>(rowsWritten);
        }
        if (rows_.size() > keep) {
            rows_.resize(keep);
            trace_.reset();
            error = ReplaceFileContents(path_, TraceCsvText(rows_));
        }
    }
    rewriteTrace_ = error != 0;
    rowsOnDisk_ = error == 0 ? rows_.size() : 0;
    honest_ = HonestTimeOf(rows_);
    ReplayPhases();
    ReserveRows();
    RewriteRowsText();
    undated_ = std::any_of(rows_.begin(), rows_.end(),
                           [](const TraceRow& row) { return IsUndated(row.utcSeconds); }) ||
               std::any_of(marks_.begin(), marks_.end(),
                           [](const TrackMark& mark) { return IsUndated(mark.utcSeconds); });
    return error;
}

bool FlightRecorder::SavedFlightTrace(const std::string& tracePath, const std::string& resumeText,
                                      std::string& text) {
    std::vector<TraceRow> rows;
    if (ReadTrace(tracePath, rows) != 0 || ReadFileContents(tracePath, text) != 0) {
        return false;
    }
    // The file may still be pre-extended: its zero tail is no row of the flight.
    text.resize(LengthWithoutTrailingZeros(text));
    if (resumeText.empty()) {
        return !rows.empty();  // an older copy's save: the trace is all there is
    }
    FlightRecorder saved;
    long long rowsWritten = -1;
    saved.ReadResumeText(resumeText, rowsWritten);
    // A save with no row on disk cannot tell its flight's rows from a later flight's. A later
    // flight may begin at the same time of the simulator's clock (the same saved flight loaded
    // again): it has to hold the saved rows' count too, and the last at its time.
    if (!saved.savedRowTimes_ || rowsWritten <= 0 ||
        rows.size() < static_cast<std::size_t>(rowsWritten)) {
        return false;
    }
    const auto matches = [](long long utcSeconds, long long savedSeconds) {
        return utcSeconds == savedSeconds || IsUndated(utcSeconds);
    };
    return matches(rows.front().utcSeconds, saved.savedRowTimes_->first) &&
           matches(rows[static_cast<std::size_t>(rowsWritten) - 1].utcSeconds,
                   saved.savedRowTimes_->last);
}

// Whether the rows read begin and end (at the save's count) with the times the save noted. Not
// so for a trace with rows lost among the saved ones and rows after the save to hide it (zero
// bytes a power cut left, say): only the rows up to the save's last one are kept. Nor for the
// trace of a flight begun since the save: none of its rows is this flight's.
bool FlightRecorder::SavedRowsRead(long long rowsWritten) {
    // An older copy's rows have times of day only, dated in memory after the resume: their
    // file's times are not the save's to compare.
    if (!savedRowTimes_ || rowsWritten <= 0 || rows_.empty() ||
        IsUndated(rows_.front().utcSeconds)) {
        return true;
    }
    if (rows_.front().utcSeconds != savedRowTimes_->first) {
        rows_.clear();
        return false;
    }
    // Fewer rows than the save counted is damage the count tells.
    const auto last = static_cast<size_t>(rowsWritten) - 1;
    if (rows_.size() <= last || rows_[last].utcSeconds == savedRowTimes_->last ||
        IsUndated(rows_[last].utcSeconds)) {
        return true;
    }
    const auto end = std::find_if(rows_.begin(), rows_.end(), [&](const TraceRow& row) {
        return row.utcSeconds >= savedRowTimes_->last;
    });
    rows_.erase(end == rows_.end() || end->utcSeconds > savedRowTimes_->last ? end : end + 1,
                rows_.end());
    return false;
}

std::string DamagedTracePath(const std::string& tracePath) {
    const std::size_t dot = tracePath.rfind('.');
    const std::size_t folder = tracePath.find_last_of("\\/");
    const bool hasExtension =
        dot != std::string::npos && (folder == std::string::npos || dot > folder);
    return hasExtension ? tracePath.substr(0, dot) + ".damaged" + tracePath.substr(dot)
                        : tracePath + ".damaged";
}

// The trace lost rows the situation counted (a disk, a sync tool or an editor damaged it), or
// cannot be read at all. The damaged file is kept beside it for the pilot, and the flight goes
// on in a trace written anew from the rows that could be read: the logbook then holds those
// rows and the ones to come, never rows out of place or read twice.
int FlightRecorder::StartNewSegment(long long rowsAtSave, int readError) {
    std::string damaged;
    if (ReadFileContents(path_, damaged) == 0) {
        ReplaceFileContents(DamagedTracePath(path_), damaged);
    }
    damage_ = readError != 0
                  ? "the trace could not be read: " + SystemErrorText(readError)
                  : std::to_string(rowsAtSave - static_cast<long long>(rows_.size())) + " of its " +
                        std::to_string(rowsAtSave) + " rows could not be read";
    trace_.reset();
    return ReplaceFileContents(path_, TraceCsvText(rows_));
}

// Rows and marks an older copy wrote have times of day only: the first dated sample after the
// resume dates them, counting back from it.
void FlightRecorder::DateOlderTimes() {
    undated_ = false;
    long long next = nowUtc_;
    for (auto row = rows_.rbegin(); row != rows_.rend(); ++row) {
        if (IsUndated(row->utcSeconds)) {
            DateBackwards(row->utcSeconds, next);
        }
        next = row->utcSeconds;
    }
    marksText_.clear();
    for (TrackMark& mark : marks_) {
        if (IsUndated(mark.utcSeconds)) {
            DateBackwards(mark.utcSeconds, nowUtc_);
        }
        marksText_ += MarkRecord(mark);
    }
    honest_ = HonestTimeOf(rows_);
    ReplayPhases();
    RewriteRowsText();
}

void FlightRecorder::RewriteRowsText() {
    traceText_ = TraceHeaderText();
    days_ = UtcDayTexts();
    for (const TraceRow& row : rows_) {
        AppendTraceRow(traceText_, row, days_);
    }
}

// A resumed flight's phases, told again from its rows: their engines from the phase they were
// written with, since the trace keeps no engine flag.
void FlightRecorder::ReplayPhases() {
    phases_ = PhaseTracker();
    phaseChanges_.clear();
    for (const TraceRow& row : rows_) {
        const std::optional<FlightPhase> written = PhaseNamed(row.phase);
        const bool enginesRunning =
            !written || (*written != FlightPhase::kAtTheGate && *written != FlightPhase::kOnBlock);
        PhaseInput input = PhaseInputOf(row, enginesRunning);
        // The looks between ticks are not in the trace: an airborne row written as a bounce or a
        // touch-and-go tells the touchdown they saw (for a touch-and-go, far enough back).
        if (!row.onGround && written == FlightPhase::kLandingRoll) {
            input.liftOffSeen = row.utcSeconds;
        } else if (!row.onGround && written == FlightPhase::kTouchAndGo) {
            input.liftOffSeen = row.utcSeconds - phase_limits::kTouchAndGoSeconds;
        }
        NotePhase(phases_.Step(input), row);
    }
}

void FlightRecorder::NotePhase(FlightPhase phase, const TraceRow& row) {
    if (phaseChanges_.empty() || phaseChanges_.back().phase != phase) {
        phaseChanges_.push_back(
            {phase, row.utcSeconds, row.latitude, row.longitude, row.altitudeFeet});
    }
}

// A touch-and-go is not the flight's landing: its mark becomes the touch-and-go's (in its
// place, so that what follows the marks by their order keeps it), its report goes, and the
// next full-stop touchdown is the landing.
void FlightRecorder::ForgetLanding() {
    bool changed = false;
    for (TrackMark& mark : marks_) {
        if (mark.kind == MarkKind::kLanding) {
            mark.kind = MarkKind::kTouchAndGo;
            changed = true;
        }
    }
    if (changed) {
        marksText_.clear();
        for (const TrackMark& mark : marks_) {
            marksText_ += MarkRecord(mark);
        }
    }
    watcher_.Forget();
    lastReport_.reset();
    landingShown_ = false;
}

bool FlightRecorder::WantsLandingMark() const {
    const FlightPhase phase = phases_.Current();
    const bool touchAndGoBefore = std::any_of(
        phaseChanges_.begin(), phaseChanges_.end(),
        [](const PhaseChange& change) { return change.phase == FlightPhase::kTouchAndGo; });
    return recording_ && touchAndGoBefore &&
           (phase == FlightPhase::kLandingRoll || phase == FlightPhase::kTaxiIn ||
            phase == FlightPhase::kOnBlock) &&
           std::none_of(marks_.begin(), marks_.end(),
                        [](const TrackMark& mark) { return mark.kind == MarkKind::kLanding; });
}

std::string FlightRecorder::BeforeStep(const SimSample& sample) {
    const RecorderValues& r = sample.recorder;
    nowUtc_ = SimUtcSeconds(r);
    nowLocal_ = SimLocalSecondsOfDay(r);
    rowToCome_ = recording_;
    if (!recording_) {
        return std::string();
    }
    if (undated_ && !IsUndated(nowUtc_)) {
        DateOlderTimes();
    }
    const LandingSample landing = LandingSampleOf(sample);
    watcher_.Step(landing);

    const std::optional<LandingReport>& report = watcher_.Report();
    if (!report) {
        return std::string();
    }
    // A new touchdown (the first, a bounce's, or a landing after a go-around) starts the wait
    // for the bounce window again.
    if (!lastReport_ || lastReport_->bounces != report->bounces ||
        lastReport_->touchdownFpm != report->touchdownFpm) {
        landingShown_ = landingShown_ && report->bounces != 0;
        lastTouchdown_ = nowUtc_;
    }
    lastReport_ = report;
    const bool settled = landing.onGround && nowUtc_ - lastTouchdown_ > kBounceWindowSeconds;
    return settled && !landingShown_ ? LandingText(*report) : std::string();
}

LandingSample FlightRecorder::LandingSampleOf(const SimSample& sample) const {
    const RecorderValues& r = sample.recorder;
    LandingSample landing;
    landing.utcSeconds = SimUtcSeconds(r);
    landing.onGround = sample.onGround == 1;
    landing.touchdownFpm = VerticalSpeedFeetPerMinute(r.touchdownSpeed);
    landing.gForce = GForce(r.gForce);
    landing.latitude = LatitudeDegrees(r.latitude);
    landing.longitude = LongitudeDegrees(r.longitude);
    landing.groundSpeedKnots = sample.groundSpeed * kKnotsPerMetrePerSecond;
    return landing;
}

bool FlightRecorder::WantsCloserLook() const {
    if (!recording_ || rows_.empty()) {
        return false;
    }
    const TraceRow& last = rows_.back();
    if (!last.onGround && last.heightFeet < kCloserLookFeet) {
        return true;
    }
    return watcher_.Report() && !watcher_.Airborne() &&
           nowUtc_ - watcher_.LastTouchdown() <= kCloserLookAfterSeconds;
}

void FlightRecorder::LookCloser(const SimSample& look) {
    if (!recording_) {
        return;
    }
    LandingSample landing = LandingSampleOf(look);
    // The look's clock cannot be behind the tick it follows.
    landing.utcSeconds = std::max(landing.utcSeconds, nowUtc_);
    watcher_.Step(landing);
}

int FlightRecorder::Record(const SimSample& sample) {
    if (!rowToCome_ || !recording_) {
        return 0;
    }
    rowToCome_ = false;
    const RecorderValues& r = sample.recorder;
    TraceRow row;
    row.utcSeconds = nowUtc_;
    row.localSecondsOfDay = nowLocal_;
    row.latitude = LatitudeDegrees(r.latitude);
    row.longitude = LongitudeDegrees(r.longitude);
    const double altitudeMetres = SimAltitudeMetres(sample.altitudeMetres, sample.altitudeFraction);
    row.altitudeFeet =
        static_cast<double>(AltitudeFeet(sample.altitudeMetres, sample.altitudeFraction));
    row.heightFeet =
        (altitudeMetres - GroundAltitudeMetres(r.groundAltitude)) * units::kFeetPerMetre;
    row.groundSpeedKnots = sample.groundSpeed * kKnotsPerMetrePerSecond;
    row.indicatedKnots = IndicatedKnots(r.indicatedAirspeed);
    row.verticalSpeedFpm = VerticalSpeedFeetPerMinute(r.verticalSpeed);
    const double heading =
        std::fmod(sample.trueHeading * units::kDegreesPerRadian, units::kDegreesPerTurn);
    row.trueHeadingDegrees = heading < 0 ? heading + units::kDegreesPerTurn : heading;
    row.fuelGallons = FuelInAllTanks(sample.fuelTanks);
    row.gForce = GForce(r.gForce);
    row.onGround = sample.onGround == 1;
    PhaseInput input = PhaseInputOf(row, AnyEngineFiring(sample));
    if (watcher_.Bouncing()) {
        input.liftOffSeen = watcher_.LiftOff();
    }
    const FlightPhase phase = phases_.Step(input);
    row.phase = PhaseName(phase);
    NotePhase(phase, row);
    if (phase == FlightPhase::kTouchAndGo) {
        ForgetLanding();
    }
    row.paused = IsPaused(r.pause);
    row.slewing = IsSlewing(r.slew);
    row.simulationRate = RateOf(r.simulationRate);
    honest_.Count(row, rows_.empty() ? nullptr : &rows_.back());
    rows_.push_back(row);
    const std::size_t lineStart = traceText_.size();
    AppendTraceRow(traceText_, row, days_);
    if (traceHeld_) {
        return 0;
    }
    return WriteRow(std::string_view(traceText_).substr(lineStart));
}

// The trace on disk gets the row's line, or every row when it does not hold the ones before.
int FlightRecorder::WriteRow(std::string_view line) {
    int error = 0;
    if (rewriteTrace_) {
        trace_.reset();
        error = ReplaceFileContents(path_, traceText_);
    } else {
        if (!trace_) {
            trace_ = std::make_unique<TraceFile>(path_);
        }
        error = trace_->AppendLine(line);
    }
    // A row that could not be written (a full disk, say) must not leave a gap that the rows
    // after it close up: until a write succeeds, the trace is written whole at every row.
    rewriteTrace_ = error != 0;
    if (error == 0) {
        rowsOnDisk_ = rows_.size();
    }
    return error;
}

void FlightRecorder::Mark(MarkKind kind, const std::string& name, const SimSample& sample) {
    if (!recording_) {
        return;
    }
    TrackMark mark;
    mark.kind = kind;
    mark.name = name;
    mark.utcSeconds = nowUtc_;
    mark.latitude = LatitudeDegrees(sample.recorder.latitude);
    mark.longitude = LongitudeDegrees(sample.recorder.longitude);
    mark.altitudeFeet =
        static_cast<double>(AltitudeFeet(sample.altitudeMetres, sample.altitudeFraction));
    marks_.push_back(mark);
    marksText_ += MarkRecord(mark);
}

// The rows counted at a save include a tick whose row is still to come: it is appended right
// after the step that asked for the save, and the saved flight resumes at the tick after it.
// The rows written by then follow, so that a stop before that row is not taken for damage.
std::string FlightRecorder::ResumeText() const {
    const std::size_t rows = rows_.size() + (rowToCome_ && recording_ ? 1 : 0);
    std::string text =
        CsvRecord({kRowsRecord, std::to_string(rows), std::to_string(rowsOnDisk_)}) + marksText_;
    if (rowsOnDisk_ > 0) {
        CsvFields times{kRowTimesRecord, std::to_string(rows_.front().utcSeconds),
                        std::to_string(rows_[rowsOnDisk_ - 1].utcSeconds)};
        if (rowToCome_ && recording_) {
            times.push_back(std::to_string(nowUtc_));
        }
        text += CsvRecord(times);
    }
    if (const std::optional<LandingWatcher::Saved> saved = watcher_.Save()) {
        const LandingReport& r = saved->report;
        text += CsvRecord({kLandingRecord, ShortestText(r.touchdownFpm), ShortestText(r.gForce),
                           std::to_string(r.bounces), ShortestText(r.latitude),
                           ShortestText(r.longitude), ShortestText(r.groundSpeedKnots),
                           std::to_string(saved->lastTouchdown), std::to_string(saved->state),
                           landingShown_ ? "1" : "0"});
    }
    return text;
}

}  // namespace aerolinker
