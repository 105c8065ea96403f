// The flight session flown in-process: every listener hears the whole flight in order, and a
// flight closed again keeps its one logbook entry.
#include <gtest/gtest.h>

#include <filesystem>
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
        {FlightEvent::EngineStart, "09:52"},
        {FlightEvent::TakeOff, "10:05 from LIEO"},
        {FlightEvent::SituationSaved, log},
        {FlightEvent::WaypointRegistered, "OLB at 10:12, next ELB"},
        {FlightEvent::WaypointRegistered, "ELB at 10:50, next PRT"},
        {FlightEvent::SituationSaved, log},
        {FlightEvent::WaypointRegistered, "PRT at 11:08, next LIRQ"},
        {FlightEvent::Landing, "11:30, heading 052"},
        {FlightEvent::LandingReport, "Touchdown -210 ft/min, 1.18 G, 0 bounces"},
        {FlightEvent::Arrival, "LIRQ, engines off at 11:38"},
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

}  // namespace
}  // namespace aerolinker
