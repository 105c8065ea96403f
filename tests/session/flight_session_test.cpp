// The flight session flown in-process: every listener hears the whole flight in order, and a
// flight closed again keeps its one logbook entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "flight_harness.h"
#include "common/csv.h"
#include "common/file_io.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;
using testing_support::BundledScenario;
using testing_support::FlightHarness;

fs::path TestFolder() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return fs::temp_directory_path() / "aerolinker-session-tests" / info->name();
}

class EventLog : public FlightListener {
public:
    void OnFlightEvent(FlightEvent event, const std::string& detail) override {
        events.emplace_back(event, detail);
    }
    std::vector<std::pair<FlightEvent, std::string>> events;
};

// The logbook.csv rows below its header.
std::vector<CsvFields> LogbookRows(const FlightHarness& flight) {
    std::vector<CsvFields> records;
    EXPECT_TRUE(ParseCsv(flight.ReadFile(flight.LogFolder() + "/Logbook/logbook.csv"), records));
    return records.empty() ? records : std::vector<CsvFields>(records.begin() + 1, records.end());
}

// The LIEO-LIRQ flight's events as the console host printed them before the session took the
// flight over (README), with the folder's part of the paths left out.
TEST(FlightSessionTest, EveryListenerHearsTheWholeFlightInOrder) {
    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder());
    EventLog listener;
    EventLog leaving;
    flight.form().Subscribe(listener);
    flight.form().Subscribe(leaving);
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();

    const std::string log = flight.form().LogFilePath();
    const std::string entry = flight.LogFolder() + "\\Logbook\\2026-12-06_1005_LIEO-LIRQ";
    const std::vector<std::pair<FlightEvent, std::string>> expected = {
        {FlightEvent::Connected, "Generic Twin Turboprop"},
        {FlightEvent::PhaseChanged, "at the gate at 09:50:00Z"},
        {FlightEvent::EngineStart, "09:52"},
        {FlightEvent::PhaseChanged, "taxi out at 09:52:00Z"},
        {FlightEvent::PhaseChanged, "take-off roll at 10:04:30Z"},
        {FlightEvent::TakeOff, "10:05 from LIEO"},
        {FlightEvent::PhaseChanged, "initial climb at 10:05:00Z"},
        {FlightEvent::PhaseChanged, "climb at 10:07:00Z"},
        {FlightEvent::SituationSaved, log},
        {FlightEvent::WaypointRegistered, "OLB at 10:12, next ELB"},
        {FlightEvent::PhaseChanged, "cruise at 10:20:00Z"},
        {FlightEvent::WaypointRegistered, "ELB at 10:50, next PRT"},
        {FlightEvent::PhaseChanged, "descent at 10:59:00Z"},
        {FlightEvent::SituationSaved, log},
        {FlightEvent::WaypointRegistered, "PRT at 11:08, next LIRQ"},
        {FlightEvent::PhaseChanged, "cruise at 11:11:00Z"},
        {FlightEvent::PhaseChanged, "descent at 11:18:00Z"},
        {FlightEvent::PhaseChanged, "approach at 11:24:00Z"},
        {FlightEvent::PhaseChanged, "final at 11:28:00Z"},
        {FlightEvent::Landing, "11:30, heading 052"},
        {FlightEvent::PhaseChanged, "landing roll at 11:30:00Z"},
        {FlightEvent::LandingReport, "Touchdown -210 ft/min, 1.18 G, 0 bounces"},
        {FlightEvent::PhaseChanged, "taxi in at 11:31:00Z"},
        {FlightEvent::Arrival, "LIRQ, engines off at 11:38"},
        {FlightEvent::PhaseChanged, "on block at 11:38:00Z"},
        {FlightEvent::LogbookWritten, entry + ".log"},
        {FlightEvent::LogbookWritten, entry + ".csv"},
        {FlightEvent::LogbookWritten, entry + ".kml"},
        {FlightEvent::LogbookWritten, entry + ".gpx"},
        {FlightEvent::LogbookWritten, entry + ".svg"},
        {FlightEvent::LogbookWritten, flight.LogFolder() + "\\Logbook\\logbook.csv"},
    };
    EXPECT_EQ(listener.events, expected);
    EXPECT_EQ(leaving.events, expected);
    // The window hears the same flight.
    ASSERT_EQ(flight.window().events.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(flight.window().events[i], expected[i].first) << i;
    }
}

TEST(FlightSessionTest, AListenerThatLeftHearsNothingMore) {
    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder());
    EventLog listener;
    flight.form().Subscribe(listener);
    flight.Start();
    flight.Connect();
    ASSERT_EQ(listener.events.size(), 1u);
    flight.form().Unsubscribe(listener);
    flight.FlyUntilTimerStops();
    EXPECT_EQ(listener.events.size(), 1u);
    EXPECT_FALSE(flight.window().events.empty());
}

// A finished flight loaded again on purpose ("Load Last Situation") and flown to its end once
// more is the same flight: its entry and its row are updated, not doubled.
TEST(FlightSessionTest, AFinishedFlightClosedAgainKeepsOneLogbookEntry) {
    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    ASSERT_EQ(LogbookRows(flight).size(), 1u);
    const std::string firstLog = flight.ReadFile(flight.form().LogFilePath());

    flight.Connect();
    EXPECT_TRUE(flight.window().questions.empty()) << "a closed flight is not offered";
    flight.form().RunGuarded([&] { flight.form().CaricaSitClick(); });
    ASSERT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    ASSERT_TRUE(flight.form().State().EngineStarted);
    flight.FlyUntilTimerStops();

    const std::vector<CsvFields> rows = LogbookRows(flight);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].back(), "2026-12-06_1005_LIEO-LIRQ");
    int entries = 0;
    for (const auto& file : fs::directory_iterator(flight.LogFolder() + "/Logbook")) {
        entries += file.path().extension() == ".log" ? 1 : 0;
    }
    EXPECT_EQ(entries, 1);
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), firstLog);
}

int Count(const std::vector<FlightEvent>& events, FlightEvent event) {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
}

// Flies until the flight's second situation save and a few ticks more, then the simulator
// closes for a minute (twelve ticks) and starts again, its scenario from the beginning.
void FlyUntilTheSimulatorCameBack(FlightHarness& flight) {
    flight.Start();
    flight.Connect();
    while (Count(flight.window().events, FlightEvent::SituationSaved) < 2) {
        flight.Tick();
    }
    for (int i = 0; i < 3; ++i) {
        flight.Tick();
    }
    flight.StopSimulator();
    for (int i = 0; i < 12; ++i) {
        flight.Tick();
    }
    EXPECT_EQ(flight.window().status,
              "Simulator lost, reconnecting: Cannot link to FSUIPC or WideClient");
    EXPECT_TRUE(flight.window().timer) << "the ticks go on reconnecting";
    flight.StartSimulator();
}

// The simulator closed in flight and started again: the last situation is offered, and the
// flight resumed from it closes with the log of the flight without a break.
TEST(FlightSessionTest, ASimulatorRestartedInFlightResumesTheFlightToTheSameLog) {
    FlightHarness straight(BundledScenario("lieo-lirq.scn"), TestFolder() / "straight");
    straight.Start();
    straight.Connect();
    straight.FlyUntilTimerStops();

    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder() / "restarted");
    FlyUntilTheSimulatorCameBack(flight);
    flight.window().answerYes = true;
    flight.Tick();
    ASSERT_EQ(flight.window().questions.size(), 1u);
    EXPECT_EQ(flight.window().questions[0].rfind("The simulator is back.", 0), 0u);
    EXPECT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()),
              straight.ReadFile(straight.form().LogFilePath()));
    EXPECT_EQ(flight.window().flightStatus, "Arrived");
}

// A flight with no situation of its own yet (a new one, the last flight's left unresumed) goes
// on when the simulator comes back: the last flight's situation is never offered for it.
TEST(FlightSessionTest, AFlightWithNoSituationOfItsOwnGoesOnWhenTheSimulatorIsBack) {
    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder());
    flight.Start();
    flight.Connect();
    while (Count(flight.window().events, FlightEvent::SituationSaved) < 1) {
        flight.Tick();
    }
    flight.Restart();
    flight.Start();
    flight.Connect();  // the last flight is offered; No starts a new one
    ASSERT_EQ(flight.window().questions.size(), 1u);
    for (int i = 0; i < 30; ++i) {
        flight.Tick();
    }
    ASSERT_EQ(Count(flight.window().events, FlightEvent::SituationSaved), 0);
    const std::vector<std::string> lines = flight.form().Memo1().Lines();
    flight.StopSimulator();
    for (int i = 0; i < 3; ++i) {
        flight.Tick();
    }
    flight.StartSimulator();
    flight.window().answerYes = true;
    flight.Tick();
    EXPECT_EQ(flight.window().questions.size(), 1u) << flight.window().questions.back();
    EXPECT_EQ(flight.form().Memo1().Lines(), lines);
    EXPECT_TRUE(flight.window().timer);
}

// Answered No, the flight goes on as the simulator shows it; Connect on a lost link reconnects
// instead of starting another flight.
TEST(FlightSessionTest, NoGoesOnWithTheSameFlightAndConnectReconnects) {
    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder());
    FlyUntilTheSimulatorCameBack(flight);
    const std::vector<std::string> lines = flight.form().Memo1().Lines();
    flight.Connect();
    ASSERT_EQ(flight.window().questions.size(), 1u);
    EXPECT_EQ(flight.window().status, "Okay");
    EXPECT_TRUE(flight.window().timer);
    EXPECT_TRUE(flight.form().FlightTracked());
    EXPECT_EQ(flight.form().Memo1().Lines(), lines) << "no new flight was started";
}

// "Save Generated File" never wipes a log: with the text area empty (the program started again
// after a closed flight) the file stays; over another flight's log, that log becomes the backup.
TEST(FlightSessionTest, SaveGeneratedFileKeepsALogThatHoldsText) {
    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    const std::string finished = flight.ReadFile(flight.form().LogFilePath());
    const std::string backup = flight.LogFolder() + "/Navforge.bak";

    flight.Restart();
    flight.Start();
    flight.form().RunGuarded([&] { flight.form().SaveGeneratedFile(); });
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), finished);
    EXPECT_EQ(flight.window().status.rfind("The text area is empty: ", 0), 0u)
        << flight.window().status;

    // Another flight's text replaces the log only once the finished one is the backup.
    flight.form().TextArea().Append("Notes of another flight");
    flight.form().RunGuarded([&] { flight.form().SaveGeneratedFile(); });
    EXPECT_EQ(flight.ReadFile(backup), finished);
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), "Notes of another flight\r\n");
    // A text that names no flight is no flight's log: the backup stays the finished log.
    flight.form().TextArea().Append("more notes");
    flight.form().RunGuarded([&] { flight.form().SaveGeneratedFile(); });
    EXPECT_EQ(flight.ReadFile(backup), finished);
}

// The flight's panel says what the flight is doing, beside the link's.
TEST(FlightSessionTest, TheFlightsPanelFollowsTheFlight) {
    FlightHarness noPlan(BundledScenario("no-flight-plan.scn"), TestFolder() / "no-plan");
    noPlan.Start();
    noPlan.Connect();
    EXPECT_EQ(noPlan.window().status, "Okay");
    EXPECT_EQ(noPlan.window().flightStatus, "Not tracking: no flight plan");

    FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder() / "flight");
    flight.Start();
    flight.Connect();
    flight.Tick();  // the first sample names the destination and the next waypoint
    EXPECT_EQ(flight.window().flightStatus, "Tracking LIEO->LIRQ, next OLB");
    while (Count(flight.window().events, FlightEvent::WaypointRegistered) < 2) {
        flight.Tick();
    }
    EXPECT_EQ(flight.window().flightStatus, "Tracking LIEO->LIRQ, next PRT, situation saved 10:12");
    flight.form().RunGuarded([&] { flight.form().LChiudiClick(); });
    EXPECT_EQ(flight.window().flightStatus, "Not tracking");
}

// A log folder named but not made yet is made at the connect, with the folders above it; one
// that cannot be made (a file stands in its way) is reported then, with the reason, before the
// flight's first tick, and the flight is tracked all the same. Either way the session tells at
// the end whether the log was saved.
TEST(FlightSessionTest, TheConnectMakesTheLogFolderOrReportsWhyNot) {
    struct Case {
        const char* name;
        const char* folder;  // under the case's folder, where "a-file" is a file
        bool made;
    };
    for (const Case& c :
         {Case{"missing", "new/logs", true}, Case{"blocked", "a-file/logs", false}}) {
        SCOPED_TRACE(c.name);
        FlightHarness flight(BundledScenario("lieo-lirq.scn"), TestFolder() / c.name);
        std::ofstream(TestFolder() / c.name / "a-file") << "not a folder";
        const std::string folder = (TestFolder() / c.name / c.folder).make_preferred().string();
        flight.Start();
        flight.form().SetLogFolder(folder);
        flight.Connect();

        EXPECT_EQ(fs::is_directory(folder), c.made);
        const std::string report = "The log folder " + folder + " cannot be created: ";
        ASSERT_EQ(flight.window().errors.size(), c.made ? 0u : 1u);
        for (const std::string& error : flight.window().errors) {
            EXPECT_EQ(error.rfind(report, 0), 0u) << error;
            EXPECT_GT(error.size(), report.size()) << "the reason is given";
        }
        EXPECT_TRUE(flight.window().timer) << "the flight is tracked all the same";

        flight.FlyUntilTimerStops();
        EXPECT_EQ(flight.window().flightStatus, "Arrived");
        EXPECT_EQ(flight.form().Session().LogSaved(), c.made);
        EXPECT_EQ(FileExists(flight.form().LogFilePath()), c.made);
    }
}

// A trace that cannot be written and a logbook entry that cannot either are two failures: the
// pilot hears of each once, the second not hidden behind the first.
TEST(FlightSessionTest, ATraceFailureDoesNotHideTheLogbooksOwn) {
    FlightHarness flight(BundledScenario("egkk-eghi.scn"), TestFolder());
    flight.Start();
    // Folders where the trace file and the Logbook folder should be: neither can be written.
    fs::create_directories(fs::path(flight.LogFolder()) / "Navforge.trace.csv");
    std::ofstream(fs::path(flight.LogFolder()) / "Logbook") << "in the way";
    flight.Connect();
    flight.FlyUntilTimerStops();
    const std::vector<std::string>& errors = flight.window().errors;
    const auto count = [&](const std::string& start) {
        return std::count_if(errors.begin(), errors.end(),
                             [&](const std::string& error) { return error.rfind(start, 0) == 0; });
    };
    EXPECT_EQ(count("Trace save failed"), 1);
    EXPECT_EQ(count("Logbook entry failed"), 1);
}

// A flight whose entry could not be written is not closed: the next connect offers it, and
// the flight resumed writes its entry once the folder takes it.
TEST(FlightSessionTest, AFlightWhoseEntryFailedIsOfferedAgainAndWritesIt) {
    FlightHarness flight(BundledScenario("egkk-eghi.scn"), TestFolder());
    flight.Start();
    const fs::path inTheWay = fs::path(flight.LogFolder()) / "Logbook";
    std::ofstream(inTheWay) << "in the way";
    flight.Connect();
    flight.FlyUntilTimerStops();
    ASSERT_EQ(flight.window().errors.size(), 1u);
    EXPECT_EQ(flight.window().errors[0].rfind("Logbook entry failed", 0), 0u);

    fs::remove(inTheWay);
    flight.window().answerYes = true;
    flight.Connect();
    EXPECT_EQ(flight.window().questions.size(), 1u) << "the flight is offered again";
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.window().errors.size(), 1u) << flight.window().errors.back();
    EXPECT_EQ(LogbookRows(flight).size(), 1u);
}

}  // namespace
}  // namespace aerolinker
