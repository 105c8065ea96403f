// The landing report (touchdown rate, G, bounces) and the honest time (minutes paused,
// slewing, or at a simulation rate other than 1x), both built tick by tick from samples.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "recorder/trace.h"

namespace aerolinker {

struct LandingSample {
    long long utcSeconds = 0;  // the simulator's time
    bool onGround = false;
    double touchdownFpm = 0.0;  // the simulator's latched vertical speed at touchdown
    double gForce = 1.0;
    double latitude = 0.0;
    double longitude = 0.0;
    double groundSpeedKnots = 0.0;
};

struct LandingReport {
    double touchdownFpm = 0.0;  // negative: descending, as the simulator gives it
    double gForce = 1.0;        // the highest G seen at the touchdown and just after
    int bounces = 0;
    // Where the first touchdown was seen, and how fast the aircraft rolled there.
    double latitude = 0.0;
    double longitude = 0.0;
    double groundSpeedKnots = 0.0;
};

// "Touchdown -152 ft/min, 1.34 G, 1 bounce"
std::string LandingText(const LandingReport& landing);

// Airborne again within this long of a touchdown is a bounce. Near the ground the recorder
// looks several times a second, so a bounce shorter than a tick is seen too.
constexpr int kBounceWindowSeconds = 10;
// Airborne this long after leaving the ground again, the pilot went around: the next
// touchdown starts a new report.
constexpr int kGoAroundSeconds = 30;

class LandingWatcher {
public:
    void Step(const LandingSample& sample);
    // The last landing's report; none until the aircraft has touched down after flying.
    const std::optional<LandingReport>& Report() const { return report_; }
    // Airborne again within the bounce window of a touchdown.
    bool Bouncing() const { return state_ == State::kBouncing; }
    // Flying with no touchdown to watch (before the first, or after a go-around).
    bool Airborne() const { return state_ == State::kAirborne; }
    long long LastTouchdown() const { return lastTouchdown_; }
    // When the aircraft left the ground again, while Bouncing.
    long long LiftOff() const { return liftOff_; }
    // The touchdown was not the landing (a touch-and-go): the watcher waits for the next one.
    void Forget();

    // What a saved situation keeps of the watcher once it has a report, so that a flight
    // resumed after its touchdown keeps the landing it will not see again.
    struct Saved {
        LandingReport report;
        long long lastTouchdown = 0;
        int state = 0;  // airborne 0, down 1, bouncing 2
    };
    std::optional<Saved> Save() const;
    void Restore(const Saved& saved);

private:
    enum class State { kAirborne, kDown, kBouncing };
    State state_ = State::kAirborne;
    bool seenAirborne_ = false;
    long long lastTouchdown_ = 0;
    long long liftOff_ = 0;  // off the ground again after the last touchdown
    std::optional<LandingReport> report_;
};

class HonestTime {
public:
    // One row of the trace, `previous` the row before it (none for the first). The simulator's
    // clock stands still while it is paused, so a paused row counts the program's tick; slew
    // and another rate count the simulator's seconds from a row to the next, flown in the state
    // the first of them saw: the clock block and air time count too. Nothing counts before
    // engine start.
    void Count(const TraceRow& row, const TraceRow* previous);

    int PausedSeconds() const { return paused_; }
    int SlewSeconds() const { return slew_; }
    int OtherRateSeconds() const { return otherRate_; }

private:
    int paused_ = 0;
    int slew_ = 0;
    int otherRate_ = 0;
};

// The honest time of a trace read back (a resumed flight).
HonestTime HonestTimeOf(const std::vector<TraceRow>& rows);

}  // namespace aerolinker
