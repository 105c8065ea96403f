// The airline's rules and the flight's phases as a pilot meets them: the short hop flown clean
// and with each rule broken once (and the rule turned off), the flights with a touch-and-go, a
// go-around, a rejected take-off and a crash, and a flight resumed somewhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "flight_harness.h"
#include "common/csv.h"
#include "recorder/flight_phases.h"
#include "rules/rule_watch.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;
using testing_support::FlightHarness;
using testing_support::SourceText;

fs::path TestFolder(const std::string& name) {
    return fs::temp_directory_path() / ("aerolinker-rules-" + name);
}

// The scenario with `text` added at the end of its `frame`-th frame (from 0), where its own
// statements cannot override it.
std::string WithAtEndOfFrame(std::string scenario, int frame, const std::string& text) {
    std::size_t at = 0;
    for (int seen = -1; seen < frame; ++seen) {
        at = scenario.find("\nframe", at + 1);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no frame " << frame;
            return scenario;
        }
    }
    const std::size_t next = scenario.find("\nframe", at + 1);
    scenario.insert(next == std::string::npos ? scenario.size() : next, "\n" + text + "\n");
    return scenario;
}

// One flight with the rules watched, from the connect until the program stops.
struct RuledFlight {
    RuledFlight(const std::string& scenario, const std::string& name,
                const std::map<std::string, std::string>& rules = {})
        : flight(scenario, TestFolder(name)), watch(flight.form().Session(), flight.config()) {
        for (const auto& [key, value] : rules) {
            flight.config().WriteText(kRulesSection, key, value);
        }
        flight.form().Subscribe(watch);
        flight.Start();
        flight.Connect();
        flight.FlyUntilTimerStops();
    }
    std::vector<Rule> Broken() const {
        std::vector<Rule> rules;
        for (const RuleBreach& breach : watch.Breaches()) {
            rules.push_back(breach.rule);
        }
        return rules;
    }
    // The closed flight's logbook row, by column.
    std::map<std::string, std::string> LogbookRow() const {
        std::string text = flight.ReadFile(flight.LogFolder() + "/Logbook/logbook.csv");
        text.erase(0, 3);  // the byte-order mark
        std::vector<CsvFields> records;
        std::map<std::string, std::string> row;
        if (!ParseCsv(text, records) || records.size() != 2) {
            ADD_FAILURE() << "not one logbook row:\n" << text;
            return row;
        }
        for (std::size_t i = 0; i < records[0].size(); ++i) {
            row[records[0][i]] = records[1][i];
        }
        return row;
    }

    FlightHarness flight;
    RuleWatch watch;
};

struct BrokenRule {
    Rule rule;
    const char* key;  // its key in [Rules]
    int frame;        // the frame of the short hop it is broken in
    const char* breach;
    const char* kept;  // the frame after
    std::map<std::string, std::string> limits;
};

// The short hop's frames: 3 lined up on the runway, 5 just airborne, 6 climbing through
// 6,200 ft, 10 the touchdown.
const BrokenRule kBroken[] = {
    {Rule::kBeacon,
     "Beacon",
     3,
     "lights nav landing strobe",
     "lights nav beacon landing strobe",
     {}},
    {Rule::kLandingLights,
     "LandingLights",
     6,
     "lights nav beacon strobe",
     "lights nav beacon landing strobe",
     {}},
    {Rule::kSpeedLimit, "SpeedLimit", 6, "ias 280 kt", "ias 95 kt", {}},
    {Rule::kStallWarning, "StallWarning", 6, "stall_warning 1", "stall_warning 0", {}},
    {Rule::kOverspeedWarning,
     "OverspeedWarning",
     6,
     "overspeed_warning 1",
     "overspeed_warning 0",
     {}},
    {Rule::kCrash, "Crash", 6, "crashed 1", "crashed 0", {}},
    {Rule::kFuelInFlight, "FuelInFlight", 6, "fuel centre 1 20", "", {}},
    {Rule::kSlewInFlight, "SlewInFlight", 6, "slew 1", "slew 0", {}},
    {Rule::kSimulationRate, "SimulationRate", 6, "sim_rate 4", "sim_rate 1", {}},
    {Rule::kPause, "Pause", 6, "pause 1", "pause 0", {{"PauseMinutes", "0.1"}}},
    {Rule::kTouchdownRate, "TouchdownRate", 10, "touchdown_rate -800 fpm", "", {}},
    {Rule::kTouchdownG, "TouchdownG", 10, "g 2.4", "g 1", {}},
    {Rule::kPositionJump, "PositionJump", 5, "position 44.5 12.0", "", {}},
};

TEST(RulesFlightTest, EachRuleBrokenOnceIsCaughtOnceAndTurnedOffIsSilent) {
    const std::string hop = SourceText("tests/app/win32/short-hop.scn");
    {
        RuledFlight clean(hop, "clean");
        EXPECT_TRUE(clean.Broken().empty()) << clean.watch.Breaches().front().text;
        EXPECT_EQ(clean.LogbookRow()["Rule breaches"], "0");
    }
    for (const BrokenRule& b : kBroken) {
        SCOPED_TRACE(b.key);
        const std::string scenario =
            WithAtEndOfFrame(WithAtEndOfFrame(hop, b.frame, b.breach), b.frame + 1, b.kept);
        RuledFlight broken(scenario, b.key, b.limits);
        EXPECT_EQ(broken.Broken(), std::vector<Rule>{b.rule});
        if (!broken.watch.Breaches().empty()) {
            // Told in the simulator and listed in the logbook row.
            const std::string told = "Rule: " + broken.watch.Breaches().front().text;
            const std::vector<std::string> messages = broken.flight.SimulatorMessages();
            EXPECT_EQ(std::count(messages.begin(), messages.end(), told), 1) << told;
            const auto row = broken.LogbookRow();
            EXPECT_EQ(row.at("Rule breaches"), "1");
            EXPECT_NE(row.at("Rule breach list").find(broken.watch.Breaches().front().text),
                      std::string::npos);
        }
        std::map<std::string, std::string> off = b.limits;
        off[b.key] = "0";
        RuledFlight silenced(scenario, std::string(b.key) + "-off", off);
        EXPECT_TRUE(silenced.Broken().empty());
    }
}

// A ground speed the simulator gives below zero, however far, at the gate: the aircraft
// stands still, and no rule takes it for a jump.
TEST(RulesFlightTest, AGroundSpeedBelowZeroIsNoJump) {
    const std::string hop = SourceText("tests/app/win32/short-hop.scn");
    for (const char* speed : {"-2000", "-1e308"}) {
        SCOPED_TRACE(speed);
        const std::string scenario = WithAtEndOfFrame(hop, 1, std::string("f64 0x6030 ") + speed);
        RuledFlight flight(scenario, std::string("negative-speed") + speed);
        EXPECT_TRUE(flight.Broken().empty()) << flight.watch.Breaches().front().text;
    }
}

TEST(RulesFlightTest, TheBundledFlightsFlyClean) {
    for (const char* name : {"lieo-lirq.scn", "egkk-eghi.scn"}) {
        SCOPED_TRACE(name);
        RuledFlight flight(SourceText(std::string("scenarios/") + name), name);
        EXPECT_TRUE(flight.Broken().empty()) << flight.watch.Breaches().front().text;
    }
}

// What the phases and the record make of the flights with a phase of note.
struct NotedFlight {
    const char* file;
    const char* phasesOfNote;
    const char* landing;  // the logbook's landing time: the full-stop one
    const char* arrival;
    // The scenario's text from `from` to `to` is replaced with `with`, when given.
    const char* from = nullptr;
    const char* to = nullptr;
    const char* with = nullptr;
};

const NotedFlight kNoted[] = {
    {"touch-and-go.scn", "touch-and-go 11:15:15Z", "11:40:05", "LIRQ"},
    {"go-around.scn", "go-around 11:20:05Z", "11:31:05", "LIRQ"},
    {"rejected-take-off.scn", "rejected take-off 10:04:10Z", "11:34:05", "LIRQ"},
    // On the runway from 11:15:01 to 11:15:04, between two ticks: only the looks see it.
    {"touch-and-go.scn", "touch-and-go 11:15:10Z", "11:40:05", "LIRQ", "# 11:15:05 down at LIRP",
     "g 1.2\n",
     "at 1\non_ground 1\naltitude 9 ft\n"
     "touchdown_rate -250 fpm\ng 1.2\nat 4\non_ground 0\naltitude 69 ft\n"},
};

TEST(RulesFlightTest, APhaseOfNoteIsListedAndNeverTakenForTheLanding) {
    for (const NotedFlight& n : kNoted) {
        SCOPED_TRACE(n.file + std::string(n.with ? " (changed)" : ""));
        std::string scenario = SourceText(std::string("tests/phases/scenarios/") + n.file);
        if (n.with) {
            const std::size_t from = scenario.find(n.from);
            const std::size_t to = scenario.find(n.to, from);
            ASSERT_NE(to, std::string::npos) << n.from;
            scenario.replace(from, to + std::strlen(n.to) - from, n.with);
        }
        RuledFlight flight(scenario, n.file);
        EXPECT_TRUE(flight.Broken().empty()) << flight.watch.Breaches().front().text;
        const auto row = flight.LogbookRow();
        EXPECT_EQ(row.at("Phases of note"), n.phasesOfNote);
        EXPECT_EQ(row.at("Landing (UTC)"), n.landing);
        EXPECT_EQ(row.at("Arrival"), n.arrival);
        // The landing report, as the pilot was shown it, is the full-stop landing's and says
        // what came before it.
        const std::string& status = flight.flight.window().status;
        EXPECT_EQ(status.rfind("Touchdown", 0), 0u) << status;
        EXPECT_NE(status.find(n.phasesOfNote), std::string::npos) << status;
        const std::vector<TrackMark>& marks = flight.flight.form().Session().Recorder().Marks();
        EXPECT_EQ(std::count_if(marks.begin(), marks.end(),
                                [](const TrackMark& m) { return m.kind == MarkKind::kLanding; }),
                  1);
        if (!n.with) {
            continue;
        }
        // Stopped at PRT's save after the touch-and-go and resumed: the phases told again
        // from the trace, which has no looks, are the same.
        FlightHarness resumed(scenario, TestFolder("resumed-" + std::string(n.file)));
        resumed.Start();
        resumed.Connect();
        for (int tick = 0;
             tick < 1000 && resumed.form().State().RouteFlown.find("PRT") == std::string::npos;
             ++tick) {
            resumed.Tick();
        }
        resumed.Restart();
        resumed.Start();
        resumed.window().answerYes = true;
        resumed.Connect();
        resumed.FlyUntilTimerStops();
        EXPECT_EQ(PhasesOfNote(resumed.form().Session().Recorder().Phases(), ""), n.phasesOfNote);
    }
}

// A touch-and-go that rolls long enough for its report to show, then a hard landing: the
// landing is checked against the touchdown rules all the same.
TEST(RulesFlightTest, TheLandingAfterATouchAndGoIsChecked) {
    std::string scenario = SourceText("tests/phases/scenarios/touch-and-go.scn");
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{"a tick's roll at 100 kt.\nframe\n",
                                              "a tick's roll at 100 kt.\nframe 4\n"},
          {"touchdown_rate -200 fpm\ng 1.15\n", "touchdown_rate -850 fpm\ng 2.4\n"}}) {
        const std::size_t at = scenario.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        scenario.replace(at, from.size(), to);
    }
    RuledFlight flight(scenario, "hard-after-touch-and-go");
    EXPECT_EQ(flight.Broken(), (std::vector<Rule>{Rule::kTouchdownRate, Rule::kTouchdownG}));
    EXPECT_EQ(flight.LogbookRow()["Phases of note"].rfind("touch-and-go", 0), 0u);
}

TEST(RulesFlightTest, ACrashIsOneBreachAndNoLanding) {
    RuledFlight flight(SourceText("tests/phases/scenarios/crash.scn"), "crash");
    EXPECT_EQ(flight.Broken(), std::vector<Rule>{Rule::kCrash});
    EXPECT_FALSE(flight.flight.form().Session().Recorder().Landing());
}

// The program started again after a stop in flight, the rules watched: Yes to the resume.
void ResumeWatched(FlightHarness& flight, RuleWatch& watch) {
    flight.form().Subscribe(watch);
    flight.Start();
    flight.window().answerYes = true;
    flight.Connect();
}

// The stall warning sounds at OLB's registration, which saves the situation, and on the tick
// after; the program stops and the flight is resumed: that first tick of the resumed flight is
// checked with its own sample, and the breach is kept.
TEST(RulesFlightTest, TheFirstTickOfAResumedFlightIsChecked) {
    const std::string hop = SourceText("tests/app/win32/short-hop.scn");
    const std::string scenario =
        WithAtEndOfFrame(WithAtEndOfFrame(hop, 6, "stall_warning 1"), 7, "stall_warning 0");
    FlightHarness flight(scenario, TestFolder("resumed-first-tick"));
    flight.Start();
    flight.Connect();
    for (int tick = 0; tick < 9; ++tick) {
        flight.Tick();
    }
    flight.Restart();
    RuleWatch watch(flight.form().Session(), flight.config());
    ResumeWatched(flight, watch);
    flight.FlyUntilTimerStops();
    EXPECT_EQ(std::count_if(watch.Breaches().begin(), watch.Breaches().end(),
                            [](const RuleBreach& b) { return b.rule == Rule::kStallWarning; }),
              1);
}

// The situation is saved at a waypoint's registration; the simulator then loads a flight
// elsewhere at the same time of day: the first tick of the resumed flight has jumped.
TEST(RulesFlightTest, AFlightResumedSomewhereElseHasJumped) {
    const std::string hop = SourceText("tests/app/win32/short-hop.scn");
    // A last frame far from the route at the clock of the save (10:12, OLB's registration).
    const std::string scenario = hop + "\nframe\nclock 10:12\nposition 45.5 13.0\non_ground 0\n";
    FlightHarness flight(scenario, TestFolder("resumed-elsewhere"));
    {
        RuleWatch watch(flight.form().Session(), flight.config());
        flight.form().Subscribe(watch);
        flight.Start();
        flight.Connect();
        for (int tick = 0; tick < 9; ++tick) {
            flight.Tick();
        }
        flight.form().Unsubscribe(watch);
        ASSERT_TRUE(watch.Breaches().empty());
    }
    // The saved flight's file names the scenario's tick to go on from: the far frame's.
    const std::uint64_t farTick = ParseScenario(scenario).TotalTicks() - 1;
    for (const auto& entry : fs::directory_iterator(flight.FlightsFolder())) {
        std::string text = flight.ReadFile(entry.path().string());
        const std::size_t line = text.find("position ");
        ASSERT_NE(line, std::string::npos) << text;
        text.replace(line, text.find('\n', line) - line, "position " + std::to_string(farTick));
        std::ofstream(entry.path(), std::ios::binary) << text;
    }
    flight.Restart();
    RuleWatch watch(flight.form().Session(), flight.config());
    ResumeWatched(flight, watch);
    flight.Tick();
    flight.form().Unsubscribe(watch);
    EXPECT_EQ(std::count_if(watch.Breaches().begin(), watch.Breaches().end(),
                            [](const RuleBreach& b) { return b.rule == Rule::kPositionJump; }),
              1);
}

}  // namespace
}  // namespace aerolinker
