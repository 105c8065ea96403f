// The phases told from samples: each scenario a pilot flies, sample by sample, and the phase
// each sample must get.
#include "recorder/flight_phases.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace aerolinker {
namespace {

// One sample every 5 s: on the ground (G) or airborne (A), engines running or not, ground
// speed, vertical speed, height above the ground, and the phase it must give.
struct Step {
    char where;
    bool engines;
    double knots;
    double fpm;
    double height;
    const char* phase;
};

struct Flight {
    const char* name;
    std::vector<Step> steps;
};

constexpr bool kOn = true;
constexpr bool kOff = false;

const Flight kFlights[] = {
    {"a normal flight, gate to gate",
     {{'G', kOff, 0, 0, 0, "at the gate"},
      {'G', kOn, 0, 0, 0, "taxi out"},
      {'G', kOn, 15, 0, 0, "taxi out"},
      {'G', kOn, 35, 0, 0, "taxi out"},  // between the limits: the phase stays
      {'G', kOn, 60, 0, 0, "take-off roll"},
      {'G', kOn, 110, 0, 0, "take-off roll"},
      {'A', kOn, 130, 1500, 200, "initial climb"},
      {'A', kOn, 160, 1500, 1600, "climb"},
      {'A', kOn, 250, 0, 9000, "cruise"},
      {'A', kOn, 250, -1200, 6000, "descent"},
      {'A', kOn, 200, 0, 4000, "descent"},  // level off above the approach height
      {'A', kOn, 160, 0, 2500, "approach"},
      {'A', kOn, 140, -700, 900, "final"},
      {'A', kOn, 130, -700, 1200, "final"},  // final does not go back to the approach
      {'G', kOn, 120, 0, 0, "landing roll"},
      {'G', kOn, 40, 0, 0, "landing roll"},
      {'G', kOn, 15, 0, 0, "taxi in"},
      {'G', kOff, 0, 0, 0, "on block"}}},
    {"a rejected take-off, then the take-off",
     {{'G', kOn, 10, 0, 0, "taxi out"},
      {'G', kOn, 50, 0, 0, "take-off roll"},
      {'G', kOn, 70, 0, 0, "take-off roll"},
      {'G', kOn, 55, 0, 0, "rejected take-off"},
      {'G', kOn, 32, 0, 0, "rejected take-off"},
      {'G', kOn, 10, 0, 0, "taxi out"},
      {'G', kOn, 45, 0, 0, "take-off roll"},
      {'G', kOn, 100, 0, 0, "take-off roll"},
      {'A', kOn, 120, 1000, 100, "initial climb"}}},
    {"a go-around, then the landing",
     {{'G', kOn, 100, 0, 0, "take-off roll"},
      {'A', kOn, 120, 1000, 100, "initial climb"},
      {'A', kOn, 140, 1000, 2000, "climb"},
      {'A', kOn, 140, 0, 2000, "cruise"},  // level after the climb out is not the approach
      {'A', kOn, 140, -800, 1800, "approach"},
      {'A', kOn, 130, -700, 400, "final"},
      {'A', kOn, 130, 1500, 500, "go-around"},
      {'A', kOn, 140, 1500, 1500, "go-around"},
      {'A', kOn, 140, 0, 2500, "approach"},
      {'A', kOn, 130, -700, 800, "final"},
      {'G', kOn, 110, 0, 0, "landing roll"}}},
    {"a bounce stays the landing; a touch-and-go does not",
     {{'G', kOn, 100, 0, 0, "take-off roll"},
      {'A', kOn, 120, 800, 200, "initial climb"},
      {'A', kOn, 120, -700, 600, "final"},
      {'G', kOn, 110, 0, 0, "landing roll"},
      {'A', kOn, 105, 100, 20, "landing roll"},  // the bounce
      {'G', kOn, 100, 0, 0, "landing roll"},
      {'A', kOn, 100, 600, 40, "landing roll"},  // off again: 5 s
      {'A', kOn, 105, 700, 90, "landing roll"},  // 10 s later: gone around from the runway
      {'A', kOn, 110, 800, 150, "touch-and-go"},
      {'A', kOn, 120, 800, 300, "initial climb"},
      {'A', kOn, 120, -700, 600, "final"},
      {'G', kOn, 100, 0, 0, "landing roll"}}},
};

TEST(FlightPhasesTest, EachSampleGetsThePhaseAPilotWouldName) {
    for (const Flight& flight : kFlights) {
        SCOPED_TRACE(flight.name);
        PhaseTracker tracker;
        long long seconds = 0;
        for (std::size_t i = 0; i < flight.steps.size(); ++i) {
            const Step& step = flight.steps[i];
            PhaseInput input;
            input.utcSeconds = seconds;
            input.onGround = step.where == 'G';
            input.enginesRunning = step.engines;
            input.groundSpeedKnots = step.knots;
            input.verticalSpeedFpm = step.fpm;
            input.heightFeet = step.height;
            input.altitudeFeet = step.height;
            EXPECT_EQ(PhaseName(tracker.Step(input)), std::string(step.phase)) << "sample " << i;
            seconds += 5;
        }
    }
}

TEST(FlightPhasesTest, TheTraceOfAnOlderCopyReadsAsTodaysPhases) {
    const std::pair<const char*, FlightPhase> kWords[] = {
        {"parked", FlightPhase::kAtTheGate},        {"taxi", FlightPhase::kTaxiOut},
        {"landed", FlightPhase::kLandingRoll},      {"bounce", FlightPhase::kLandingRoll},
        {"touch-and-go", FlightPhase::kTouchAndGo},
    };
    for (const auto& [word, phase] : kWords) {
        EXPECT_EQ(PhaseNamed(word), phase) << word;
    }
    EXPECT_FALSE(PhaseNamed("holding"));
    EXPECT_STREQ(PhaseName(*PhaseNamed("go-around")), "go-around");
}

}  // namespace
}  // namespace aerolinker
