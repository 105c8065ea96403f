// The flight recorder as the session runs it through a flight: the landing report and its
// bounces, the honest time and the logbook entry of a closed flight, a resumed flight that goes
// on in one trace, and a damaged trace kept aside.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "flight_harness.h"
#include "common/calendar.h"
#include "common/csv.h"
#include "common/file_io.h"
#include "logbook/logbook.h"
#include "recorder/flight_recorder.h"
#include "recorder/trace.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;
using testing_support::FlightHarness;

// AAAA -> BBB -> CCCC on a running clock: a 2x stretch and a pause in the cruise, then a
// touchdown at -420 ft/min that bounces once (airborne on the next tick, down again on the one
// after), the engines off a minute later.
const char* const kBouncedFlight = R"(
title "Test Jet"
waypoint_count 3
route_distance 100000
prev AAAA
next BBB
destination CCCC
approach "ILS 27"
active_waypoint 1
fuel centre 1 100
clock 10:00
date 2026-12-06
on_ground 1
engines 1 0 0 0
position 45.0 9.0
altitude 100
sim_rate 1
g 1

frame 2
frame 12        # 10:00:10 airborne
on_ground 0
position 45.1 9.1
altitude 1000
vertical_speed 1500 fpm
frame 12        # 10:01:10 at twice the rate
sim_rate 2
vertical_speed 0 fpm
frame 24        # 10:02:10 paused two minutes
sim_rate 1
pause 1
frame 2         # 10:04:10 BBB passed
pause 0
active_waypoint 2
prev BBB
next CCCC
position 45.2 9.2
frame 6         # 10:04:20
vertical_speed -700 fpm
position 45.3 9.3
frame           # 10:04:50 touchdown
on_ground 1
touchdown_rate -420 fpm
g 1.6
altitude 100
frame           # 10:04:55 the bounce
on_ground 0
g 1.0
frame 12        # 10:05:00 down again, harder G on the second contact
on_ground 1
g 1.9
frame           # 10:06:00 engines off
engines 0 0 0 0
)";

fs::path TestFolder() {
    return fs::temp_directory_path() /
           ("aerolinker-recorder-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
}

// A CSV file's records; logbook.csv's byte-order mark is not part of its first field.
std::vector<CsvFields> CsvOf(std::string text) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) {
        text.erase(0, 3);
    }
    std::vector<CsvFields> records;
    EXPECT_TRUE(ParseCsv(text, records));
    return records;
}

// The flight's one row in logbook.csv, by column name; empty, with a failure, when the file
// does not hold exactly one flight.
using LogbookRow = std::map<std::string, std::string>;
LogbookRow OnlyLogbookRow(const FlightHarness& flight) {
    const std::vector<CsvFields> records =
        CsvOf(flight.ReadFile(flight.LogFolder() + "/Logbook/logbook.csv"));
    LogbookRow row;
    EXPECT_EQ(records.size(), 2u) << "one flight, one row";
    if (records.size() == 2) {
        for (std::size_t i = 0; i < records[0].size() && i < records[1].size(); ++i) {
            row[records[0][i]] = records[1][i];
        }
    }
    return row;
}

TEST(RecorderTest, ABouncedLandingIsReportedOnceSettledAndTheLogbookKeepsIt) {
    FlightHarness flight(kBouncedFlight, TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    ASSERT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();

    const std::string report = "Touchdown -420 ft/min, 1.90 G, 1 bounce";
    const std::vector<std::string> messages = flight.SimulatorMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), report), 1)
        << "shown once, after the bounce and not before it";
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const std::string& m) { return m.rfind("Touchdown", 0) == 0; }),
              1);
    EXPECT_EQ(flight.window().status, report);
    ASSERT_TRUE(flight.form().Landing());
    EXPECT_EQ(flight.form().Landing()->bounces, 1);

    // One row per tick of the tracked flight, in memory and in the trace file alike.
    const std::vector<TraceRow>& rows = flight.form().FlightTrace();
    EXPECT_EQ(rows.size(), 2u + 12 + 12 + 24 + 2 + 6 + 1 + 1 + 12 + 1);
    std::vector<TraceRow> onDisk;
    ASSERT_EQ(ReadTrace(flight.form().TraceFilePath(), onDisk), 0);
    EXPECT_EQ(onDisk.size(), rows.size());
    EXPECT_EQ(IsoUtcText(rows.front().utcSeconds), "2026-12-06T10:00:00Z");
    EXPECT_EQ(IsoUtcText(rows.back().utcSeconds), "2026-12-06T10:06:00Z");
    EXPECT_NEAR(rows[2].latitude, 45.1, 1e-6);
    EXPECT_NEAR(rows[2].verticalSpeedFpm, 1500, 1);
    EXPECT_EQ(rows[2].phase, "initial climb");
    EXPECT_EQ(rows.back().phase, "on block");

    std::vector<std::string> marks;
    for (const TrackMark& mark : flight.form().FlightMarks()) {
        marks.push_back(mark.name);
    }
    EXPECT_EQ(marks, (std::vector<std::string>{"AAAA", "BBB", "CCCC"}));

    // The logbook's row: 12 ticks at 2x is one minute, 24 paused ticks two.
    const std::string book = flight.LogFolder() + "/Logbook/";
    LogbookRow row = OnlyLogbookRow(flight);
    ASSERT_EQ(row.size(), LogbookHeader().size());
    EXPECT_EQ(row["Departure"], "AAAA");
    EXPECT_EQ(row["Arrival"], "CCCC");
    EXPECT_EQ(row["Touchdown (ft/min)"], "-420");
    EXPECT_EQ(row["G"], "1.90");
    EXPECT_EQ(row["Bounces"], "1");
    EXPECT_EQ(row["Paused (min)"], "2.0");
    EXPECT_EQ(row["Sim rate not 1x (sim min)"], "1.0");
    const std::string entry = row["Files"];
    EXPECT_EQ(entry, "2026-12-06_1000_AAAA-CCCC");
    EXPECT_EQ(flight.ReadFile(book + entry + ".log"), flight.ReadFile(flight.form().LogFilePath()));
    EXPECT_EQ(CsvOf(flight.ReadFile(book + entry + ".csv")).size(), rows.size() + 1);
    for (const char* extension : {".kml", ".gpx", ".svg"}) {
        EXPECT_TRUE(fs::exists(book + entry + extension)) << extension;
    }
}

// The bounced flight changed as pilots fly it, each case checked where a pilot or an airline
// would look: the trace and the logbook's row, read by its column names.
TEST(RecorderTest, TheRecordTellsTheTruthOfEachFlight) {
    using Row = LogbookRow;
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> changes;  // text replaced in the flight
        std::string pilot;
        void (*check)(const std::vector<TraceRow>& rows, const Row& book);
    } cases[] = {
        {"across midnight: filed under the take-off's date",
         {{"clock 10:00\ndate 2026-12-06", "clock 23:59\ndate 2026-12-31"}},
         "",
         [](const std::vector<TraceRow>& rows, const Row& book) {
             EXPECT_EQ(book.at("Files"), "2026-12-31_2359_AAAA-CCCC");
             EXPECT_EQ(book.at("Date (UTC)"), "2026-12-31");
             EXPECT_EQ(book.at("Landing (UTC)"), "00:03:50");
             EXPECT_EQ(IsoUtcText(rows.back().utcSeconds), "2027-01-01T00:05:00Z");
         }},
        {"13 hours ahead of UTC: the local date is the next day, the UTC date is not",
         {{"clock 10:00\ndate 2026-12-06", "clock 20:00\ndate 2026-12-06\nzone +13:00"}},
         "",
         [](const std::vector<TraceRow>& rows, const Row& book) {
             EXPECT_EQ(IsoUtcText(rows.front().utcSeconds), "2026-12-06T20:00:00Z");
             EXPECT_EQ(rows.front().localSecondsOfDay, 9 * 3600);
             EXPECT_EQ(book.at("Date (UTC)"), "2026-12-06");
         }},
        {"combustion flags that never read 1 (no engine start counted): the trace is written",
         {{"engines 1 0 0 0", "engines 1 2 0 0"}},
         "",
         [](const std::vector<TraceRow>& rows, const Row&) {
             EXPECT_NE(rows.front().phase, "at the gate") << "the engines run from the start";
         }},
        {"a 2-second bounce between ticks: seen, with the G of the touchdown",
         {{"position 45.3 9.3\n", "position 45.3 9.3\naltitude 250\n"},
          {"frame           # 10:04:50 touchdown", "frame\naltitude 130\nat 1.0"},
          {"frame           # 10:04:55 the bounce\non_ground 0\ng 1.0\n"
           "frame 12        # 10:05:00 down again, harder G on the second contact\n"
           "on_ground 1\ng 1.9",
           "at 1.5\ng 1.2\nat 2.0\non_ground 0\nat 4.0\non_ground 1\ng 1.1\nframe 13\ng 1.0"},
          {"touchdown_rate -420 fpm\ng 1.6",
           "touchdown_rate -380 fpm\ng 2.3\nground_speed 120 kt"}},
         "",
         [](const std::vector<TraceRow>&, const Row& book) {
             EXPECT_EQ(book.at("Touchdown (ft/min)"), "-380");
             EXPECT_EQ(book.at("G"), "2.30");
             EXPECT_EQ(book.at("Bounces"), "1");
             EXPECT_EQ(book.at("Touchdown speed (kt)"), "120");
             EXPECT_EQ(book.at("Touchdown latitude"), "45.300000");
         }},
        {"at 4x: the simulator's seconds, 20 a tick",
         {{"title", "clock_follows_rate\ntitle"}, {"sim_rate 2", "sim_rate 4"}},
         "",
         [](const std::vector<TraceRow>& rows, const Row& book) {
             EXPECT_EQ(rows[20].utcSeconds - rows[19].utcSeconds, 20);
             EXPECT_EQ(rows[20].simulationRate, 4.0);
             EXPECT_EQ(book.at("Sim rate not 1x (sim min)"), "4.0");
             // The clock stands still while paused: the pause counts the real minutes.
             EXPECT_EQ(book.at("Paused (min)"), "2.0");
             EXPECT_EQ(rows[30].utcSeconds, rows[29].utcSeconds);
         }},
        {"paused at the gate before engine start: not the flight's pause",
         {{"engines 1 0 0 0", "engines 0 0 0 0\npause 1"},
          {"frame 2\n", "frame 6\nframe 2\npause 0\nengines 1 0 0 0\n"}},
         "",
         [](const std::vector<TraceRow>& rows, const Row& book) {
             EXPECT_TRUE(rows.front().paused);
             EXPECT_EQ(rows.front().phase, "at the gate");
             EXPECT_EQ(book.at("Paused (min)"), "2.0");
         }},
        {"on tip tanks only: their fuel is counted",
         {{"fuel centre 1 100", "fuel left_tip 1 50\nfuel right_tip 1 50"},
          {"pause 0\n", "pause 0\nfuel left_tip 0.8 50\nfuel right_tip 0.8 50\n"}},
         "",
         [](const std::vector<TraceRow>& rows, const Row& book) {
             EXPECT_EQ(rows.front().fuelGallons, 100.0);
             EXPECT_EQ(book.at("Block fuel (gal)"), "20.0");
             EXPECT_EQ(book.at("Trip fuel (gal)"), "20.0");
         }},
        {"below sea level: altitude and height as they are",
         {{"altitude 100", "altitude -30\ns32 0x0020 -7680"}},
         "",
         [](const std::vector<TraceRow>& rows, const Row&) {
             EXPECT_EQ(rows.front().altitudeFeet, -98.0);
             EXPECT_EQ(rows.front().heightFeet, 0.0);
         }},
        {"a comma, a quote and an accent in the title and the pilot's name",
         {{"title \"Test Jet\"", "title \"Zo\\xE9 \\\"Otter\\\", 300\""}},
         "Ren\xE9 \"Ace\", Jr",
         [](const std::vector<TraceRow>&, const Row& book) {
             EXPECT_EQ(book.at("Aircraft"), "Zo\xC3\xA9 \"Otter\", 300");
             EXPECT_EQ(book.at("Pilot"), "Ren\xC3\xA9 \"Ace\", Jr");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string scenario = kBouncedFlight;
        for (const auto& [from, to] : c.changes) {
            const std::size_t at = scenario.find(from);
            ASSERT_NE(at, std::string::npos) << from;
            scenario.replace(at, from.size(), to);
        }
        FlightHarness flight(scenario, TestFolder() / std::to_string(&c - cases));
        flight.Start();
        if (!c.pilot.empty()) {
            PilotProfile entered = flight.form().Pilot();
            entered.PilotName = c.pilot;
            flight.form().RunGuarded([&] { flight.form().SavePilotProfile(entered); });
        }
        flight.Connect();
        flight.FlyUntilTimerStops();
        ASSERT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
        const Row book = OnlyLogbookRow(flight);
        ASSERT_FALSE(book.empty());
        c.check(flight.form().FlightTrace(), book);
        EXPECT_EQ(flight.ReadFile(flight.form().TraceFilePath()),
                  TraceCsvText(flight.form().FlightTrace()));
    }
}

// The situation is saved at BBB's registration, the 51st tick; the program ends after `ticks`
// ticks and a second run resumes.
void FlyResumed(FlightHarness& flight, int ticks) {
    flight.Start();
    flight.Connect();
    for (int i = 0; i < ticks; ++i) {
        flight.Tick();
    }
    flight.Restart();
    flight.Start();
    flight.window().answerYes = true;
    flight.Connect();
    ASSERT_EQ(flight.window().questions.size(), 1u);
    flight.FlyUntilTimerStops();
    ASSERT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
}

TEST(RecorderTest, AResumedFlightGoesOnInOneTraceWithNoGapAndNoTickTwice) {
    FlightHarness straight(kBouncedFlight, TestFolder() / "straight");
    straight.Start();
    straight.Connect();
    straight.FlyUntilTimerStops();
    const std::string trace = straight.ReadFile(straight.form().TraceFilePath());
    const std::string book = "/Logbook/2026-12-06_1000_AAAA-CCCC";
    const std::string kml = straight.ReadFile(straight.LogFolder() + book + ".kml");

    // Ended right after the save, and after ticks (the touchdown among them) that the saved
    // flight flies again.
    for (int ticks : {51, 60}) {
        SCOPED_TRACE(ticks);
        FlightHarness flight(kBouncedFlight, TestFolder() / ("resumed-" + std::to_string(ticks)));
        FlyResumed(flight, ticks);
        EXPECT_EQ(flight.ReadFile(flight.form().TraceFilePath()), trace);
        EXPECT_EQ(flight.form().FlightTrace().size(), straight.form().FlightTrace().size());
        // The marks of the first run came through the situation.
        EXPECT_EQ(flight.ReadFile(flight.LogFolder() + book + ".kml"), kml);
    }
}

// After the arrival the pilot connects again and, with the timer running but no engine started,
// loads the last situation to fly the end of the flight again: its trace is the one the save
// counted on, not the rows of the ticks since the connect, so the flight closes in one entry
// with the same trace.
TEST(RecorderTest, AClosedFlightLoadedAgainAfterAReconnectKeepsItsTrace) {
    FlightHarness straight(kBouncedFlight, TestFolder() / "straight");
    straight.Start();
    straight.Connect();
    straight.FlyUntilTimerStops();
    const std::string trace = straight.ReadFile(straight.form().TraceFilePath());

    FlightHarness flight(kBouncedFlight, TestFolder() / "again");
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    flight.Connect();
    for (int i = 0; i < 3; ++i) {
        flight.Tick();
    }
    flight.form().RunGuarded([&] { flight.form().CaricaSitClick(); });
    ASSERT_TRUE(flight.window().standardMessages.empty());
    flight.FlyUntilTimerStops();
    ASSERT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    EXPECT_EQ(flight.ReadFile(flight.form().TraceFilePath()), trace);
    EXPECT_EQ(OnlyLogbookRow(flight), OnlyLogbookRow(straight));
}

// The pilot saves the situation on the ground after the bounced landing and the program stops:
// the resumed flight, which starts on the ground, keeps the landing report of the touchdown
// it did not see again.
TEST(RecorderTest, ALandingBeforeTheSavedSituationIsKeptByTheResumedFlight) {
    FlightHarness flight(kBouncedFlight, TestFolder());
    flight.Start();
    flight.Connect();
    const int touchdownTick = 2 + 12 + 12 + 24 + 2 + 6 + 1;
    for (int i = 0; i < touchdownTick + 6; ++i) {
        flight.Tick();
    }
    flight.form().RunGuarded([&] { flight.form().SalvaSitClick(); });
    flight.Restart();
    flight.Start();
    flight.window().answerYes = true;
    flight.Connect();
    flight.FlyUntilTimerStops();
    ASSERT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    LogbookRow book = OnlyLogbookRow(flight);
    EXPECT_EQ(book["Touchdown (ft/min)"], "-420");
    EXPECT_EQ(book["G"], "1.90");
    EXPECT_EQ(book["Bounces"], "1");
}

// A trace that lost rows the situation counted (cut short, or rows turned to garbage) is kept
// aside; the flight goes on in a new trace from the rows that could be read, and the logbook's
// trace holds those rows and the ones after the resume, none out of place or twice. A trace
// without only the row of the save's own tick (the program stopped between the save and that
// row) is not damaged: that row is the tick being written, and the flight goes on in it.
TEST(RecorderTest, ADamagedTraceIsKeptAsideAndTheFlightGoesOnInANewOne) {
    FlightHarness straight(kBouncedFlight, TestFolder() / "straight");
    straight.Start();
    straight.Connect();
    straight.FlyUntilTimerStops();
    const std::vector<TraceRow> all = straight.form().FlightTrace();
    const std::size_t saved = 51;  // the rows at the situation save at BBB, its tick's row last
    ASSERT_GT(all.size(), saved);

    const struct {
        const char* what;
        std::size_t kept;  // rows still readable
        bool damaged;
        void (*spoil)(std::string& trace);
        int after = 0;                   // ticks flown after the save, before the stop
        std::size_t gapAt = 0, gap = 0;  // rows lost among the kept ones
        bool phases = true;  // the phases go on from the rows kept (none kept: they start anew)
    } cases[] = {
        {"cut short after 20 rows", 20, true,
         [](std::string& trace) {
             std::size_t at = 0;
             for (int line = 0; line < 21; ++line) {
                 at = trace.find('\n', at) + 1;
             }
             trace.resize(at);
         }},
        {"every row after the 30th garbled", 30, true,
         [](std::string& trace) {
             std::size_t at = 0;
             for (int line = 0; line < 31; ++line) {
                 at = trace.find('\n', at) + 1;
             }
             for (std::size_t i = at; i < trace.size(); ++i) {
                 trace[i] = trace[i] == '\n' || trace[i] == '\r' ? trace[i] : '#';
             }
         }},
        {"stopped before the save's row", saved - 1, false,
         [](std::string& trace) { trace.resize(trace.rfind('\n', trace.size() - 2) + 1); }},
        // Zero bytes over rows 20 and 21 (a power cut) run into row 22, with rows after the
        // save that would otherwise hide the loss: the rows up to the save's last one are kept.
        {"zero bytes among the saved rows", saved - 4, true,
         [](std::string& trace) {
             std::size_t at = 0;
             for (int line = 0; line < 21; ++line) {
                 at = trace.find('\n', at) + 1;
             }
             std::size_t end = at;
             for (int line = 0; line < 2; ++line) {
                 end = trace.find('\n', end) + 1;
             }
             std::fill(trace.begin() + static_cast<long>(at),
                       trace.begin() + static_cast<long>(end), '\0');
         },
         5, 20, 3},
        // The trace of a flight begun since the save (dated a day earlier here): none of its
        // rows is this flight's.
        {"another flight's trace", 0, true,
         [](std::string& trace) {
             for (std::size_t at = trace.find("2026-12-06,"); at != std::string::npos;
                  at = trace.find("2026-12-06,", at)) {
                 trace.replace(at, 11, "2026-12-05,");
             }
         },
         0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FlightHarness flight(kBouncedFlight, TestFolder() / c.what);
        flight.Start();
        flight.Connect();
        for (std::size_t i = 0; i < saved + static_cast<std::size_t>(c.after); ++i) {
            flight.Tick();
        }
        flight.Restart();
        flight.Start();
        const std::string path = flight.form().TraceFilePath();
        std::string trace = flight.ReadFile(path);
        c.spoil(trace);
        ASSERT_EQ(ReplaceFileContents(path, trace), 0);
        flight.window().answerYes = true;
        flight.Connect();
        flight.FlyUntilTimerStops();

        if (c.damaged) {
            ASSERT_EQ(flight.window().errors.size(), 1u);
            EXPECT_EQ(flight.window().errors[0],
                      "Trace damaged: " + std::to_string(saved - c.kept) + " of its " +
                          std::to_string(saved) +
                          " rows could not be read. The flight goes on in a new trace; the "
                          "damaged one is kept as " +
                          DamagedTracePath(path));
            EXPECT_EQ(flight.ReadFile(DamagedTracePath(path)), trace);
        } else {
            EXPECT_TRUE(flight.window().errors.empty());
            EXPECT_FALSE(FileExists(DamagedTracePath(path)));
        }
        // The rows kept, then the ticks after the resume, each with the simulator's time.
        std::vector<TraceRow> expected(all.begin(),
                                       all.begin() + static_cast<long>(c.kept + c.gap));
        expected.erase(expected.begin() + static_cast<long>(c.gapAt),
                       expected.begin() + static_cast<long>(c.gapAt + c.gap));
        expected.insert(expected.end(), all.begin() + static_cast<long>(saved), all.end());
        const std::vector<TraceRow>& resumed = flight.form().FlightTrace();
        ASSERT_EQ(resumed.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            TraceRow row = resumed[i];
            row.phase = c.phases ? row.phase : expected[i].phase;
            EXPECT_EQ(TraceCsvText({row}), TraceCsvText({expected[i]})) << i;
        }
        EXPECT_EQ(flight.ReadFile(path), TraceCsvText(resumed));
        const std::string book = flight.LogFolder() + "/Logbook/";
        const std::vector<CsvFields> records = CsvOf(flight.ReadFile(book + "logbook.csv"));
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(flight.ReadFile(book + records[1].back() + ".csv"), TraceCsvText(resumed));
    }
}

// The trace cannot be written for a new flight's first rows (a full disk; here a folder in its
// way): once it can, it holds every row of the flight, with no gap where the writes failed.
TEST(RecorderTest, RowsThatCouldNotBeWrittenAreInTheTraceOnceItCanBe) {
    FlightHarness flight(kBouncedFlight, TestFolder());
    flight.Start();
    flight.Connect();
    const fs::path trace = NativePath(flight.form().TraceFilePath());
    fs::create_directory(trace);
    for (int i = 0; i < 3; ++i) {
        flight.Tick();
    }
    EXPECT_EQ(flight.window().errors.size(), 1u);
    fs::remove(trace);
    flight.FlyUntilTimerStops();
    const std::vector<TraceRow>& rows = flight.form().FlightTrace();
    EXPECT_GT(rows.size(), 60u);
    EXPECT_EQ(flight.ReadFile(trace.string()), TraceCsvText(rows));
}

}  // namespace
}  // namespace aerolinker
