// The airline's rules, checked on every tick while the pilot flies: lights, speed and
// simulation rate below 10,000 ft, stall and overspeed warnings, a crash, fuel added or slew
// in the air, long pauses, the touchdown, and a position the aircraft could not have flown to.
// Each rule is on or off with its limit in the configuration's [Rules] section; a breach is
// recorded once per occurrence: the rule must be kept again before it can be broken again.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "link/sim_sample.h"
#include "persistence/config_store.h"
#include "recorder/flight_phases.h"
#include "recorder/landing_report.h"
#include "recorder/trace.h"

namespace aerolinker {

enum class Rule {
    kBeacon,
    kLandingLights,
    kSpeedLimit,
    kStallWarning,
    kOverspeedWarning,
    kCrash,
    kFuelInFlight,
    kSlewInFlight,
    kSimulationRate,
    kPause,
    kTouchdownRate,
    kTouchdownG,
    kPositionJump,
    kCount,
};
constexpr std::size_t kRuleCount = static_cast<std::size_t>(Rule::kCount);

inline constexpr char kRulesSection[] = "Rules";

// The rules as the airline sets them; the defaults are the airline's shipped ones.
struct RuleSettings {
    std::array<bool, kRuleCount> on = [] {
        std::array<bool, kRuleCount> all{};
        all.fill(true);
        return all;
    }();
    double landingLightsBelowFeet = 10000;
    double speedLimitKnots = 250;
    double speedLimitBelowFeet = 10000;
    double simulationRateBelowFeet = 10000;
    double fuelAddedGallons = 1;  // more than this between two samples in the air
    double pauseMinutes = 10;
    double touchdownFpm = 600;  // the steepest touchdown, as a rate of descent
    double touchdownG = 2.0;

    bool On(Rule rule) const { return on[static_cast<std::size_t>(rule)]; }
};

// The [Rules] section: "Beacon=1", "SpeedLimitKnots=250", "TouchdownMaxG=2.0"; a missing or
// unreadable value keeps the default.
RuleSettings ReadRuleSettings(ConfigStore& config);
// The key that turns a rule on (1) or off (0).
const char* RuleKey(Rule rule);

// One breach: which rule, when and where, and what the pilot is told.
struct RuleBreach {
    Rule rule = Rule::kBeacon;
    long long utcSeconds = 0;
    double latitude = 0.0;
    double longitude = 0.0;
    double altitudeFeet = 0.0;
    std::string text;  // "Landing lights off below 10,000 ft (6,500 ft)"
};

// What a tick gives the rules: its trace row and phase, the rules' own values, the engines.
struct RuleTick {
    const TraceRow& row;
    FlightPhase phase;
    const RuleValues& values;
    bool enginesRunning = false;
};

class RuleChecker {
public:
    explicit RuleChecker(RuleSettings settings = RuleSettings()) : settings_(settings) {}

    // The tick's breaches, each once per occurrence. `previous` is the row before (none for
    // the first of the flight, or of a resumed flight before its first tick: then the row the
    // save kept, which the resumed position must match).
    std::vector<RuleBreach> Check(const RuleTick& tick, const TraceRow* previous);
    // The landing once its report is settled: its touchdown rate and G.
    std::vector<RuleBreach> CheckLanding(const LandingReport& landing, const TraceRow& row);

    const RuleSettings& Settings() const { return settings_; }

    // What a saved situation keeps: which rules are broken now (one bit each, so that a
    // breach going on across a resume is not counted again) and the pause's length so far.
    unsigned long BrokenRules() const;
    int PausedTicks() const { return pausedTicks_; }
    void Restore(unsigned long brokenRules, int pausedTicks);

private:
    template <typename Text>
    void Judge(Rule rule, bool broken, const TraceRow& row, Text text,
               std::vector<RuleBreach>& breaches);

    RuleSettings settings_;
    std::array<bool, kRuleCount> broken_{};
    int pausedTicks_ = 0;
};

}  // namespace aerolinker
