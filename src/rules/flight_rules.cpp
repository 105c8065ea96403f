// The airline's rules, their settings and their checks.
#include "rules/flight_rules.h"

#include <algorithm>
#include <cmath>

#include "common/fixed_number_text.h"
#include "common/units.h"
#include "recorder/recorder_units.h"
#include "recorder/track.h"

namespace aerolinker {
namespace {

constexpr const char* kRuleKeys[] = {
    "Beacon",        "LandingLights", "SpeedLimit",   "StallWarning",   "OverspeedWarning",
    "Crash",         "FuelInFlight",  "SlewInFlight", "SimulationRate", "Pause",
    "TouchdownRate", "TouchdownG",    "PositionJump",
};
static_assert(std::size(kRuleKeys) == kRuleCount, "one key per rule");

// A position further from the last than this could not have been flown: half as fast again
// as the faster of the two ground speeds, plus this much for the wind and for speeding up,
// for the simulator's time between them (a tick at least), plus this much for the rounding
// of a position read between two frames of the simulator.
constexpr double kJumpSpeedFactor = 1.5;
constexpr double kJumpSpareKnots = 100.0;
constexpr double kJumpSpareNm = 1.0;
// A degree of latitude on the Earth's mean sphere is 60.04 nm; a degree of longitude no more.
constexpr double kMostNmPerDegree = 60.1;

// "10,000": the whole number with its thousands grouped, as pilots read altitudes.
std::string Grouped(double value) {
    std::string digits = FixedText(std::fabs(value), 0);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return value < 0 ? "-" + digits : digits;
}

double ReadLimit(ConfigStore& config, const char* key, double defaultValue) {
    const std::string text = config.ReadText(kRulesSection, key, std::string());
    double value = 0.0;
    return ParseNumber(text, value) && std::isfinite(value) && value >= 0 ? value : defaultValue;
}

}  // namespace

const char* RuleKey(Rule rule) {
    return kRuleKeys[static_cast<std::size_t>(rule)];
}

RuleSettings ReadRuleSettings(ConfigStore& config) {
    RuleSettings settings;
    for (std::size_t i = 0; i < kRuleCount; ++i) {
        settings.on[i] = config.ReadInteger(kRulesSection, kRuleKeys[i], 1) != 0;
    }
    settings.landingLightsBelowFeet =
        ReadLimit(config, "LandingLightsBelowFeet", settings.landingLightsBelowFeet);
    settings.speedLimitKnots = ReadLimit(config, "SpeedLimitKnots", settings.speedLimitKnots);
    settings.speedLimitBelowFeet =
        ReadLimit(config, "SpeedLimitBelowFeet", settings.speedLimitBelowFeet);
    settings.simulationRateBelowFeet =
        ReadLimit(config, "SimulationRateBelowFeet", settings.simulationRateBelowFeet);
    settings.fuelAddedGallons = ReadLimit(config, "FuelAddedGallons", settings.fuelAddedGallons);
    settings.pauseMinutes = ReadLimit(config, "PauseMinutes", settings.pauseMinutes);
    settings.touchdownFpm = ReadLimit(config, "TouchdownMaxFpm", settings.touchdownFpm);
    settings.touchdownG = ReadLimit(config, "TouchdownMaxG", settings.touchdownG);
    return settings;
}

// The breach's text is made only for a breach: most ticks break nothing, and they are the
// ones that count.
template <typename Text>
void RuleChecker::Judge(Rule rule, bool broken, const TraceRow& row, Text text,
                        std::vector<RuleBreach>& breaches) {
    bool& was = broken_[static_cast<std::size_t>(rule)];
    broken = broken && settings_.On(rule);
    if (broken && !was) {
        breaches.push_back(
            {rule, row.utcSeconds, row.latitude, row.longitude, row.altitudeFeet, text()});
    }
    was = broken;
}

std::vector<RuleBreach> RuleChecker::Check(const RuleTick& tick, const TraceRow* previous) {
    const TraceRow& row = tick.row;
    const RuleValues& values = tick.values;
    const RuleSettings& s = settings_;
    const bool airborne = !row.onGround;
    const bool flying = tick.phase != FlightPhase::kAtTheGate;  // from engine start
    std::vector<RuleBreach> breaches;

    Judge(
        Rule::kBeacon, tick.enginesRunning && (values.lights & offsets::kBeaconLight) == 0, row,
        [] { return std::string("Beacon off with an engine running"); }, breaches);
    Judge(
        Rule::kLandingLights,
        airborne && row.altitudeFeet < s.landingLightsBelowFeet &&
            (values.lights & offsets::kLandingLights) == 0,
        row,
        [&] {
            return "Landing lights off below " + Grouped(s.landingLightsBelowFeet) + " ft (" +
                   Grouped(row.altitudeFeet) + " ft)";
        },
        breaches);
    Judge(
        Rule::kSpeedLimit,
        airborne && row.altitudeFeet < s.speedLimitBelowFeet &&
            row.indicatedKnots > s.speedLimitKnots,
        row,
        [&] {
            return FixedText(row.indicatedKnots, 0) + " kt below " +
                   Grouped(s.speedLimitBelowFeet) + " ft (limit " +
                   FixedText(s.speedLimitKnots, 0) + " kt)";
        },
        breaches);
    Judge(
        Rule::kStallWarning, airborne && values.stallWarning != 0, row,
        [] { return std::string("Stall warning"); }, breaches);
    Judge(
        Rule::kOverspeedWarning, values.overspeedWarning != 0, row,
        [] { return std::string("Overspeed warning"); }, breaches);
    Judge(
        Rule::kCrash, values.crashed != 0, row, [] { return std::string("The aircraft crashed"); },
        breaches);

    const bool bothAirborne = previous && airborne && !previous->onGround;
    const double added = previous ? row.fuelGallons - previous->fuelGallons : 0.0;
    Judge(
        Rule::kFuelInFlight, bothAirborne && added > s.fuelAddedGallons, row,
        [&] { return FixedText(added, 1) + " gal of fuel added in flight"; }, breaches);
    Judge(
        Rule::kSlewInFlight, airborne && row.slewing, row,
        [] { return std::string("Slew in flight"); }, breaches);
    Judge(
        Rule::kSimulationRate,
        flying && row.altitudeFeet < s.simulationRateBelowFeet && row.simulationRate > 1.0, row,
        [&] {
            return "Simulation rate " + ShortestText(row.simulationRate) + "x below " +
                   Grouped(s.simulationRateBelowFeet) + " ft";
        },
        breaches);

    // The simulator's clock stands still in a pause: the ticks measure it.
    pausedTicks_ = row.paused ? pausedTicks_ + 1 : 0;
    const double pausedMinutes =
        static_cast<double>(pausedTicks_ * units::kTickSeconds) / units::kSecondsPerMinute;
    Judge(
        Rule::kPause, flying && pausedMinutes > s.pauseMinutes, row,
        [&] { return "Paused longer than " + ShortestText(s.pauseMinutes) + " min"; }, breaches);

    bool jumped = false;
    double jumpNm = 0.0;
    if (previous && !row.slewing && !previous->slewing) {
        const double seconds = std::max<double>(
            static_cast<double>(row.utcSeconds - previous->utcSeconds), units::kTickSeconds);
        // A speed the simulator gave as no number, or below zero, allows no distance: never
        // less than none, which would take a standing aircraft for a jump.
        const auto speed = [](double knots) { return std::isnan(knots) ? 0.0 : knots; };
        const double knots = kJumpSpeedFactor * std::max({speed(row.groundSpeedKnots),
                                                          speed(previous->groundSpeedKnots), 0.0}) +
                             kJumpSpareKnots;
        const double mostNm = knots * seconds / units::kSecondsPerHour + kJumpSpareNm;
        // Along the meridian, then along the parallel, is never shorter than the great circle:
        // within the limit that way, the great circle (the costly part) need not be worked out.
        double lonDegrees = std::fabs(row.longitude - previous->longitude);
        lonDegrees = std::min(lonDegrees, units::kDegreesPerTurn - lonDegrees);
        const double bound =
            (std::fabs(row.latitude - previous->latitude) + lonDegrees) * kMostNmPerDegree;
        if (bound > mostNm) {
            jumpNm = units::MetresToNauticalMiles(GreatCircleMetres(
                previous->latitude, previous->longitude, row.latitude, row.longitude));
            jumped = jumpNm > mostNm;
        }
    }
    Judge(
        Rule::kPositionJump, jumped, row,
        [&] { return "Position jumped " + FixedText(jumpNm, 1) + " nm"; }, breaches);
    return breaches;
}

unsigned long RuleChecker::BrokenRules() const {
    unsigned long bits = 0;
    for (std::size_t i = 0; i < kRuleCount; ++i) {
        bits |= broken_[i] ? 1ul << i : 0ul;
    }
    return bits;
}

void RuleChecker::Restore(unsigned long brokenRules, int pausedTicks) {
    for (std::size_t i = 0; i < kRuleCount; ++i) {
        broken_[i] = (brokenRules >> i & 1ul) != 0;
    }
    pausedTicks_ = std::max(pausedTicks, 0);
}

std::vector<RuleBreach> RuleChecker::CheckLanding(const LandingReport& landing,
                                                  const TraceRow& row) {
    std::vector<RuleBreach> breaches;
    TraceRow at = row;
    at.latitude = landing.latitude;
    at.longitude = landing.longitude;
    const RuleSettings& s = settings_;
    // Each landing is judged once: the flags fall back for the next one.
    broken_[static_cast<std::size_t>(Rule::kTouchdownRate)] = false;
    broken_[static_cast<std::size_t>(Rule::kTouchdownG)] = false;
    Judge(
        Rule::kTouchdownRate, -landing.touchdownFpm > s.touchdownFpm, at,
        [&] {
            return "Touchdown " + FixedText(landing.touchdownFpm, 0) + " ft/min (limit " +
                   FixedText(s.touchdownFpm, 0) + ")";
        },
        breaches);
    Judge(
        Rule::kTouchdownG, landing.gForce > s.touchdownG, at,
        [&] {
            return "Touchdown " + FixedText(landing.gForce, 2) + " G (limit " +
                   FixedText(s.touchdownG, 1) + ")";
        },
        breaches);
    return breaches;
}

}  // namespace aerolinker
