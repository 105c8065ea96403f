// The landing report from the ticks around a touchdown, and the honest time's minutes.
#include "recorder/landing_report.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace aerolinker {
namespace {

struct Tick {
    long long second;
    bool onGround;
    double touchdownFpm;
    double g;
};

std::optional<LandingReport> Fly(const std::vector<Tick>& ticks) {
    LandingWatcher watcher;
    for (const Tick& t : ticks) {
        watcher.Step({t.second, t.onGround, t.touchdownFpm, t.g});
    }
    return watcher.Report();
}

TEST(LandingReportTest, TouchdownsBouncesAndGoArounds) {
    const long long t = 11 * 3600 + 30 * 60;  // 11:30:00, ticks every 5 seconds
    struct Case {
        const char* name;
        std::vector<Tick> ticks;
        std::optional<int> bounces;  // none: no report
        double touchdownFpm;
        double g;
    } const cases[] = {
        {"parked, never flown", {{t, true, 0, 1}, {t + 5, true, 0, 1}}, std::nullopt, 0, 0},
        {"smooth",
         {{t, false, -300, 1},
          {t + 5, true, -152, 1.21},
          {t + 10, true, -152, 1.34},
          {t + 60, true, -152, 1.9}},
         0,
         -152,
         1.34},
        {"two bounces",
         {{t, false, -700, 1},
          {t + 5, true, -640, 1.8},
          {t + 10, false, -20, 0.9},
          {t + 15, true, -210, 1.3},
          {t + 20, false, 50, 1},
          {t + 25, true, -90, 2.1},
          {t + 30, true, -90, 1}},
         2,
         -640,
         2.1},
        {"touch and go, then the real landing",
         {{t, false, -300, 1},
          {t + 5, true, -400, 1.5},
          {t + 10, true, -400, 1},
          {t + 15, true, -400, 1},
          {t + 20, false, 800, 1},
          {t + 300, false, 800, 1},
          {t + 305, true, -120, 1.1}},
         0,
         -120,
         1.1},
        {"a hop late in the roll is a bounce, not another landing",
         {{t, false, -300, 1},
          {t + 5, true, -750, 2.5},
          {t + 10, true, -750, 1},
          {t + 17, false, -750, 1},
          {t + 18, true, -40, 1},
          {t + 25, true, -40, 1}},
         1,
         -750,
         2.5},
        {"bounced and went around",
         {{t, false, -300, 1},
          {t + 5, true, -500, 1.6},
          {t + 10, false, 900, 1},
          {t + 45, false, 900, 1},
          {t + 600, true, -180, 1.2}},
         0,
         -180,
         1.2},
        {"over midnight",
         {{86395, false, -300, 1},
          {86400, true, -250, 1.3},
          {86405, false, 10, 1},
          {86410, true, -60, 1}},
         1,
         -250,
         1.3},
    };
    for (const Case& c : cases) {
        const std::optional<LandingReport> report = Fly(c.ticks);
        ASSERT_EQ(report.has_value(), c.bounces.has_value()) << c.name;
        if (report) {
            EXPECT_EQ(report->bounces, *c.bounces) << c.name;
            EXPECT_EQ(report->touchdownFpm, c.touchdownFpm) << c.name;
            EXPECT_EQ(report->gForce, c.g) << c.name;
        }
    }
}

TEST(HonestTimeTest, PauseInTicksSlewAndRateInSimulatorTimeNothingBeforeEngineStart) {
    // The simulator's clock stands still while paused and runs four times as fast at 4x.
    struct Row {
        long long utc;
        const char* phase;
        bool paused;
        bool slewing;
        double rate;
    } const flight[] = {
        {0, "parked", true, false, 1},  // paused at the gate: not the flight's time
        {5, "parked", false, false, 4},  {10, "taxi", false, false, 1},
        {15, "climb", true, false, 1},   {15, "climb", true, false, 1},
        {20, "cruise", false, true, 1},  {40, "cruise", false, false, 4},
        {60, "cruise", false, false, 4},
    };
    std::vector<TraceRow> rows;
    for (const Row& r : flight) {
        TraceRow row;
        row.utcSeconds = r.utc;
        row.phase = r.phase;
        row.paused = r.paused;
        row.slewing = r.slewing;
        row.simulationRate = r.rate;
        rows.push_back(row);
    }
    const HonestTime time = HonestTimeOf(rows);
    EXPECT_EQ(time.PausedSeconds(), 10);
    EXPECT_EQ(time.SlewSeconds(), 20);
    EXPECT_EQ(time.OtherRateSeconds(), 20);
}

}  // namespace
}  // namespace aerolinker
