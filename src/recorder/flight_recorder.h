// The flight recorder: one trace row per tick of a tracked flight, appended to the trace file
// beside the log, the marks of take-off, waypoints and landing, the landing report and the
// honest time. The flight session gives it each tick's sample and its looks at the landing;
// it never reads the simulator or the clock itself.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/sim_sample.h"
#include "recorder/flight_phases.h"
#include "recorder/landing_report.h"
#include "recorder/trace.h"
#include "recorder/track.h"
#include "tracking/tracking_state.h"

namespace aerolinker {

constexpr const char* kTraceFileName = "\\Navforge.trace.csv";
// The landing is looked at between ticks from this height above the ground, and until this
// long after the touchdown.
constexpr double kCloserLookFeet = 1000.0;
constexpr int kCloserLookAfterSeconds = 30;

// Where a damaged trace is kept: "Navforge.trace.damaged.csv" beside "Navforge.trace.csv".
std::string DamagedTracePath(const std::string& tracePath);

class FlightRecorder {
public:
    // A new flight: everything of the last one goes. Its rows stay in memory, and the trace on
    // disk stays the last flight's, until TakeTraceFile. Returns 0.
    int Start(const std::string& tracePath);
    // The new flight's engine started or its situation is being saved: its rows go to the trace
    // file from now on, the rows so far at once. Until then a Load Last Situation finds the
    // saved flight's trace as it was. Returns 0 or the platform's error code.
    int TakeTraceFile();
    // A resumed flight goes on in the same trace. `resumeText` is what ResumeText gave at the
    // save (empty for a flight saved by an older copy: the whole trace is kept). Rows written
    // after the save are cut, so no tick is recorded twice. A trace that lost rows the save
    // counted, or cannot be read, is kept aside (DamagedTracePath) and the flight goes on in a
    // new trace from the rows that could be read; TraceDamage says what happened. Returns 0 or
    // the platform's error.
    int Resume(const std::string& tracePath, const std::string& resumeText);
    // The trace's text as far as its last row, when its rows are those of the flight whose save
    // gave `resumeText` (the flight a pilot chose not to resume); false when the trace is
    // another flight's, holds no row the save can vouch for, or cannot be read.
    static bool SavedFlightTrace(const std::string& tracePath, const std::string& resumeText,
                                 std::string& text);
    // Why the trace the last resume found was damaged; empty when it was sound.
    const std::string& TraceDamage() const { return damage_; }
    // No more rows: the trace is closed, cut to its rows, for whoever opens it next.
    void Stop() {
        recording_ = false;
        trace_.reset();
    }

    // Before the tracker's step: the landing watcher sees the sample, and the tick's row is to
    // come. Returns the landing report's text once the report is settled
    // (the aircraft on the ground past the bounce window), the empty text otherwise.
    std::string BeforeStep(const SimSample& sample);
    // After the tracker's step: the tick's row with its phase, counted in the honest time and
    // appended to the trace file; nothing when the tick has no row to come (its sample did not
    // come back, or the row is written already). A touch-and-go takes back the landing the
    // touchdown was marked as. Returns 0 or the platform's error code; the row stays in memory
    // either way.
    int Record(const SimSample& sample);
    // The tick ends without its row (its step failed).
    void DropRow() { rowToCome_ = false; }

    // Whether the landing is near enough to look at it between ticks: airborne below
    // kCloserLookFeet above the ground, or within kCloserLookAfterSeconds of a touchdown.
    bool WantsCloserLook() const;
    // One look between ticks (LookAtLanding's fields of the sample): the landing watcher sees
    // it; the trace, the marks and the log do not.
    void LookCloser(const SimSample& look);
    void Mark(MarkKind kind, const std::string& name, const SimSample& sample);

    // Everything a resume needs, for the situation: the trace's length (with the row still to
    // come of a tick under way), the marks and the landing watcher once it has a report.
    std::string ResumeText() const;

    bool Recording() const { return recording_; }
    const std::vector<TraceRow>& Rows() const { return rows_; }
    // The rows as the trace's CSV with its header (TraceCsvText of Rows()), kept as each row
    // is written: the logbook's copy without making every line again.
    const std::string& TraceText() const { return traceText_; }
    const std::vector<TrackMark>& Marks() const { return marks_; }
    // Every change of phase so far, the first row's phase first.
    const std::vector<PhaseChange>& Phases() const { return phaseChanges_; }
    FlightPhase CurrentPhase() const { return phases_.Current(); }
    // The aircraft rolls out of a full-stop landing that has no landing mark: the touchdown the
    // log took for the landing was a touch-and-go.
    bool WantsLandingMark() const;
    const std::optional<LandingReport>& Landing() const { return watcher_.Report(); }
    const HonestTime& Honest() const { return honest_; }
    // Whether the landing report was shown already.
    bool LandingShown() const { return landingShown_; }
    void SetLandingShown() { landingShown_ = true; }

    // The simulator's UTC time of the last sample, seconds since 1970-01-01 00:00.
    long long NowUtc() const { return nowUtc_; }

private:
    void Reset();
    long long ReadResumeText(const std::string& resumeText, long long& rowsWritten);
    bool SavedRowsRead(long long rowsWritten);
    void ReadLandingRecord(const CsvFields& record);
    int StartNewSegment(long long rowsAtSave, int readError);
    void DateOlderTimes();
    LandingSample LandingSampleOf(const SimSample& sample) const;
    void NotePhase(FlightPhase phase, const TraceRow& row);
    void ForgetLanding();
    void ReplayPhases();
    void RewriteRowsText();
    void ReserveRows();
    int WriteRow(std::string_view line);

    std::string path_;
    // The trace, kept open between ticks; replaced or cut only while closed.
    std::unique_ptr<TraceFile> trace_;
    bool recording_ = false;
    // The trace on disk does not hold the rows (a new flight's, or a write failed): the next
    // row writes it whole.
    bool rewriteTrace_ = false;
    bool traceHeld_ = false;      // a new flight's rows not written before TakeTraceFile
    std::size_t rowsOnDisk_ = 0;  // the rows the trace on disk holds, for ResumeText
    struct RowTimes {
        long long first = 0;
        long long last = 0;
        std::optional<long long> toCome;  // the time of the save's own tick, its row to come
    };
    std::optional<RowTimes> savedRowTimes_;  // as the resumed save noted them
    // BeforeStep saw the tick's sample and Record has not written its row yet.
    bool rowToCome_ = false;
    std::string damage_;
    std::vector<TraceRow> rows_;
    std::string traceText_;  // the header, then the rows' lines in the trace's CSV
    UtcDayTexts days_;       // the date's text of the last line
    std::vector<TrackMark> marks_;
    PhaseTracker phases_;
    std::vector<PhaseChange> phaseChanges_;
    std::string marksText_;  // the marks' records for ResumeText, in the same order
    LandingWatcher watcher_;
    HonestTime honest_;
    bool landingShown_ = false;
    std::optional<LandingReport> lastReport_;
    long long lastTouchdown_ = 0;
    long long nowUtc_ = 0;
    int nowLocal_ = 0;
    // Rows or marks read back have no date yet (an older copy wrote them).
    bool undated_ = false;
};

}  // namespace aerolinker
