// Grouping the trace's rows into phase runs, and the families the phases are drawn in.
#include "logbook/phase_runs.h"

#include <cassert>
#include <optional>
#include <utility>

#include "recorder/flight_phases.h"

namespace aerolinker {

namespace {

PhaseFamily FamilyOf(FlightPhase phase) {
    switch (phase) {
        case FlightPhase::kAtTheGate:
        case FlightPhase::kTaxiOut:
        case FlightPhase::kTaxiIn:
        case FlightPhase::kOnBlock:
            return PhaseFamily::kGround;
        case FlightPhase::kTakeOffRoll:
        case FlightPhase::kInitialClimb:
        case FlightPhase::kClimb:
            return PhaseFamily::kTakeOffAndClimb;
        case FlightPhase::kCruise:
            return PhaseFamily::kCruise;
        case FlightPhase::kDescent:
        case FlightPhase::kApproach:
        case FlightPhase::kFinal:
        case FlightPhase::kLandingRoll:
            return PhaseFamily::kDescentAndLanding;
        case FlightPhase::kRejectedTakeOff:
        case FlightPhase::kGoAround:
        case FlightPhase::kTouchAndGo:
            return PhaseFamily::kEvent;
    }
    return PhaseFamily::kOther;
}

// A row's phase as it is named now: an older copy's "landed" is a "landing roll".
PhaseRun RunOf(const std::string& text) {
    const std::optional<FlightPhase> phase = PhaseNamed(text);
    if (!phase) {
        return PhaseRun{0, 0, text, PhaseFamily::kOther};
    }
    return PhaseRun{0, 0, PhaseName(*phase), FamilyOf(*phase)};
}

}  // namespace

const PhaseFamilyLook& LookOf(PhaseFamily family) {
    for (const PhaseFamilyLook& look : kPhaseFamilyLooks) {
        if (look.family == family) {
            return look;
        }
    }
    assert(false && "every family has its look");
    return kPhaseFamilyLooks[0];
}

std::vector<PhaseRun> PhaseRuns(const std::vector<TraceRow>& rows) {
    std::vector<PhaseRun> runs;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // A phase lasts many rows: a row named as the one before goes on with its run.
        if (i > 0 && rows[i].phase == rows[i - 1].phase) {
            runs.back().end = i + 1;
            continue;
        }
        PhaseRun run = RunOf(rows[i].phase);
        if (!runs.empty() && runs.back().name == run.name && runs.back().family == run.family) {
            runs.back().end = i + 1;
            continue;
        }
        run.first = i;
        run.end = i + 1;
        runs.push_back(std::move(run));
    }
    return runs;
}

}  // namespace aerolinker
