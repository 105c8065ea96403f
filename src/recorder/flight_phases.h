// The phases of a flight as pilots and airlines name them, told from each tick's sample: at
// the gate, taxi out, the take-off roll (or a rejected take-off), the climb, cruise and descent,
// the approach and final (or a go-around), the landing roll (or a touch-and-go), taxi in and
// on block. The tracker of the log keeps its own five events; these are the record's.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace aerolinker {

enum class FlightPhase {
    kAtTheGate,
    kTaxiOut,
    kTakeOffRoll,
    kRejectedTakeOff,
    kInitialClimb,
    kClimb,
    kCruise,
    kDescent,
    kApproach,
    kFinal,
    kGoAround,
    kTouchAndGo,
    kLandingRoll,
    kTaxiIn,
    kOnBlock,
};

// "taxi out": the phase's name in the trace, the maps and the messages.
const char* PhaseName(FlightPhase phase);
// The phase a trace row names, also in the words an older copy wrote ("parked", "taxi",
// "landed", "bounce", "airborne"); none for a text no copy writes.
std::optional<FlightPhase> PhaseNamed(const std::string& name);
// Whether the phase is an instant rather than a stretch of the flight: a rejected take-off or
// a touch-and-go is one row.
bool IsMomentPhase(FlightPhase phase);

// What the phases are told from: one sample, in the trace's units.
struct PhaseInput {
    long long utcSeconds = 0;  // the simulator's time
    bool onGround = true;
    bool enginesRunning = false;
    double groundSpeedKnots = 0.0;
    double verticalSpeedFpm = 0.0;
    double heightFeet = 0.0;  // above the ground under the aircraft
    double altitudeFeet = 0.0;
    // Off the ground again since this time after a touchdown seen only between ticks (the
    // closer look at the landing): a touch-and-go shorter than a tick.
    std::optional<long long> liftOffSeen;
};

// The limits the phases change at.
namespace phase_limits {
// On the ground with the engines running: the take-off roll from this ground speed, taxiing
// below the lower one (between them the phase stays).
constexpr double kRollKnots = 40.0;
constexpr double kTaxiKnots = 30.0;
// A take-off roll this much slower than its fastest is rejected.
constexpr double kRejectKnots = 10.0;
// The initial climb ends this high above the ground.
constexpr double kInitialClimbFeet = 1500.0;
// Climbing or descending faster than this; between them the flight is level.
constexpr double kLevelFpm = 300.0;
// Level flight in the descent is still the descent (a step of it) for this long; then the
// cruise.
constexpr int kDescentStepSeconds = 180;
// The approach below this height, when not climbing; final below the lower one.
constexpr double kApproachFeet = 3000.0;
constexpr double kFinalFeet = 1000.0;
// Climbing this fast on the approach or final is a go-around.
constexpr double kGoAroundFpm = 500.0;
// Airborne again after a touchdown this long, or this far above where it touched down, is a
// touch-and-go; sooner and lower it is a bounce of the landing.
constexpr int kTouchAndGoSeconds = 10;
constexpr double kTouchAndGoFeet = 100.0;
}  // namespace phase_limits

// A change of phase: the first row of the new one.
struct PhaseChange {
    FlightPhase phase = FlightPhase::kAtTheGate;
    long long utcSeconds = 0;  // the simulator's time, as TraceRow's
    double latitude = 0.0;
    double longitude = 0.0;
    double altitudeFeet = 0.0;
};

// The rejected take-offs, go-arounds and touch-and-gos with their UTC times, after `lead`:
// "; go-around 11:20:05Z, touch-and-go 11:31:40Z"; the empty text when there were none.
std::string PhasesOfNote(const std::vector<PhaseChange>& phases, const std::string& lead);

class PhaseTracker {
public:
    // The phase of this sample, the samples before it considered.
    FlightPhase Step(const PhaseInput& input);
    FlightPhase Current() const { return phase_; }
    // Whether the flight has been airborne.
    bool HasFlown() const { return flown_; }

private:
    FlightPhase OnGround(const PhaseInput& input);
    FlightPhase Airborne(const PhaseInput& input);
    FlightPhase InFlight(const PhaseInput& input);
    FlightPhase AfterTouchdown(const PhaseInput& input);

    FlightPhase phase_ = FlightPhase::kAtTheGate;
    bool flown_ = false;
    double fastestRollKnots_ = 0.0;
    // Airborne after a touchdown: since when, for the touch-and-go, and the altitude it was on
    // the ground at.
    std::optional<long long> liftOff_;
    double groundAltitudeFeet_ = 0.0;
    // Level in the descent since then.
    std::optional<long long> levelSince_;
};

}  // namespace aerolinker
