// Whole flights through the main window's handlers against the substitute simulator: the log
// file compared byte for byte, and what the pilot and the simulator were shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "common/file_io.h"
#include "flight_harness.h"
#include "link/fsuipc_link.h"
#include "navlog/log_file.h"
#include "navlog/log_header.h"
#include "persistence/ini_file.h"
#include "recorder/track.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;
using testing_support::ExpectedFile;
using testing_support::FlightHarness;

// A short flight AAAA -> BBB -> CCCC: engine start 10:00, take-off 10:10, BBB passed at 10:20,
// landing 10:40, engines off 10:45.
const char* const kShortFlight = R"(
scenario "short flight"
title "Test Jet"
waypoint_count 3
route_distance 100000
prev AAAA
next BBB
destination CCCC
approach "ILS 27"
transition BBB
visibility 2000
qnh 16208
wind 270/12
temperature 3840
clouds 3/8
fuel centre 1 100
heading 90 deg
distance_to_next 30000
time_to_next 600
ground_speed 100
estimated_arrival 39600
altitude 1000
gps_fuel 20.4
active_waypoint 1
on_ground 1
engines 0 0 0 0

frame
clock 10:00 hold
engines 1 0 0 0
frame
clock 10:10 hold
on_ground 0
frame
clock 10:20 hold
active_waypoint 2
prev BBB
next CCCC
frame
clock 10:40 hold
on_ground 1
touchdown_rate -180 fpm
g 1.25
frame
clock 10:45 hold
engines 0 0 0 0
clouds 8/8
visibility 6000
fuel centre 0.8 100
)";

fs::path TestFolder() {
    return fs::temp_directory_path() /
           ("aerolinker-app-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
}

std::string Lines(const LogDocument& document, int from, int to) {
    std::string text;
    for (int i = from; i <= to && i < document.LineCount(); ++i) {
        text += document.Line(i) + "\n";
    }
    return text;
}

TEST(FlightTest, ShortFlightLogEqualsTheExpectedFileByteForByte) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    EXPECT_EQ(flight.window().status, "Okay");
    EXPECT_TRUE(flight.window().situationButtons);
    ASSERT_TRUE(flight.window().timer);

    EXPECT_EQ(flight.FlyUntilTimerStops(), 5);
    EXPECT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), ExpectedFile("short-flight.log"));
    EXPECT_FALSE(flight.link().IsOpen());
    EXPECT_FALSE(flight.form().State().EngineStarted);
    EXPECT_EQ(flight.window().sounds, 2);

    EXPECT_EQ(flight.SimulatorMessages(),
              (std::vector<std::string>{
                  "Welcome on board by Coralstraits Airlines and Navforge 2006. Depart from AAAA "
                  "within 10 minutes",
                  "Take off : Have a good flight # 1",
                  "BBB Registered. Next Waypoint -> CCCC # 2",
                  "Arrival estimated at CCCC 11:00 local time # 2",
                  "Touchdown -180 ft/min, 1.25 G, 0 bounces",
                  "Welcome at CCCC airport. End of Flight!",
              }));
    std::vector<std::uint32_t> seconds;
    for (const TranscriptEntry& entry : flight.simulator().server().transcript().entries()) {
        if (entry.kind == TranscriptKind::Message) {
            seconds.push_back(entry.value);
        }
    }
    EXPECT_EQ(seconds, (std::vector<std::uint32_t>{5, 16, 16, 16, 16, 21}))
        << "the greeting shows 5 seconds, the tracker's messages and the landing report 16, "
           "the farewell 21";
}

TEST(FlightTest, TheBundledLieoLirqFlightGivesItsLogByteForByte) {
    FlightHarness flight(testing_support::BundledScenario("lieo-lirq.scn"), TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    EXPECT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), ExpectedFile("lieo-lirq.log"));
    const std::vector<std::string> messages = flight.SimulatorMessages();
    ASSERT_EQ(messages.size(), 9u);
    EXPECT_EQ(messages[2], "OLB Registered. Next Waypoint -> ELB # 2");
    EXPECT_EQ(messages[3], "Arrival estimated at LIRQ 11:20 local time # 2");
    EXPECT_EQ(messages[4], "ELB Registered. Next Waypoint -> PRT # 3");
    EXPECT_EQ(messages[5], "PRT Registered. Next Waypoint -> LIRQ # 4");
    EXPECT_EQ(messages[6], "Arrival estimated at LIRQ 11:21 local time # 4");
    EXPECT_EQ(messages[7], "Touchdown -210 ft/min, 1.18 G, 0 bounces");
    EXPECT_EQ(messages[8], "Welcome at LIRQ airport. End of Flight!");
}

TEST(FlightTest, TheBundledEgkkEghiFlightGivesItsTakeOffAndMidRows) {
    FlightHarness flight(testing_support::BundledScenario("egkk-eghi.scn"), TestFolder());
    flight.Start();
    flight.Connect();
    while (flight.form().State().RegistrationCount < 2 && flight.window().timer) {
        flight.Tick();
    }
    const LogDocument& log = flight.form().Memo1();
    ASSERT_EQ(log.LineCount(), 17);
    EXPECT_EQ(log.Line(6), "DEPART      : EGKK");
    EXPECT_EQ(log.Line(8), "Take off    : 10:07");
    EXPECT_EQ(Lines(log, 13, 16),
              "EGKK    |     |      |250  |       |       |  -/0270|--:--|10:07|      \n"
              "MID     |     |      |     |       |       |025/0245|00:09|10:16|      \n"
              "        |     |      |035  |10000  |       |        |     |10:18|      \n"
              "SAM     |     |      |     |       |       |050/0195|00:12|10:30|      \n");
    EXPECT_NEAR(flight.form().State().RemainingAfterLeg, 194.871226, 1e-6);
    EXPECT_EQ(flight.form().State().RouteFlown, "EGKK->MID->");
    const std::vector<std::string> messages = flight.SimulatorMessages();
    ASSERT_GE(messages.size(), 4u);
    EXPECT_EQ(messages[1], "Take off : Have a good flight # 1");
    EXPECT_EQ(messages[2], "MID Registered. Next Waypoint -> SAM # 2");
    EXPECT_EQ(messages[3], "Arrival estimated at EGHI 11:05 local time # 2");
}

TEST(FlightTest, SecondRegistrationSavesTheSituationWithBothBackups) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    for (int i = 0; i < 2; ++i) {
        flight.Tick();  // engine start, take-off
    }
    const std::string afterTakeOff = flight.ReadFile(flight.form().LogFilePath());
    const std::string configBefore = flight.ReadFile(flight.SettingsFolder() + "\\Aerolinker.ini");
    flight.Tick();  // BBB: the second registration

    EXPECT_EQ(flight.ReadFile(flight.LogFolder() + kLogBackupName), afterTakeOff);
    EXPECT_EQ(flight.ReadFile(flight.SettingsFolder() + "\\Aerolinker.inibak"), configBefore);
    const std::string config = flight.ReadFile(flight.SettingsFolder() + "\\Aerolinker.ini");
    const std::string keys =
        "DateLog=06/12/2026\r\nDistanzaTotale=0054\r\nRemain=0022\r\n"
        "Clearance=AAAA->BBB->\r\nToTime=10:10:00\r\nFuelTO=00100\r\nNuvoleDecollo=Sct 3/8\r\n"
        "VisibDecollo=20\r\nPressioneDecollo=1013\r\nTempDecollo=15\r\nWdirDecollo=270\r\n"
        "WSpeedDecollo=12\r\nRiga=2\r\nWayp=3\r\nNPunti=3\r\n";
    EXPECT_NE(config.find(keys), std::string::npos) << config;

    // The tracker's own save follows with the next-leg row and the closing empty line.
    const std::string log = flight.ReadFile(flight.form().LogFilePath());
    EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
    EXPECT_NE(log.find("CCCC    |"), std::string::npos);
}

// A flight without a plan: the pilot is warned, nothing is tracked or written.
void FlyWithoutAPlan(const std::string& count) {
    FlightHarness flight("title \"Test Jet\"\nwaypoint_count " + count + "\nprev LIEO\nframe\n",
                         TestFolder());
    flight.Start();
    flight.Connect();
    EXPECT_EQ(flight.window().status, "Okay");
    EXPECT_EQ(flight.window().messageBoxes, std::vector<std::string>{"Not Plan. Attention!"});
    EXPECT_FALSE(flight.window().timer);
    EXPECT_TRUE(flight.window().situationButtons);
    EXPECT_EQ(flight.form().Memo1().LineCount(), 0);
    EXPECT_TRUE(flight.link().IsOpen());
    EXPECT_EQ(flight.SimulatorMessages(),
              (std::vector<std::string>{
                  "Welcome on board by Coralstraits Airlines and Navforge 2006. Depart from LIEO "
                  "within 10 minutes",
                  "Attention please !!! Plan not loaded.  # 0",
              }));
}

// A count below zero (a simulator's garbage) is no plan either.
TEST(FlightTest, NoFlightPlanWarnsAndWritesNothing) {
    for (const char* count : {"0", "-1"}) {
        SCOPED_TRACE(count);
        FlyWithoutAPlan(count);
    }
}

TEST(FlightTest, ConnectingAgainInFlightChangesNothingButTheStatus) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    flight.Tick();  // engine start
    flight.Tick();  // take-off
    const std::vector<std::string> before = flight.form().Memo1().Lines();
    flight.Connect();
    EXPECT_EQ(flight.window().status, "Attempt to Open when already Open");
    EXPECT_EQ(flight.form().Memo1().Lines(), before);
    EXPECT_EQ(flight.form().State().WaypointCounter, 2);
    EXPECT_EQ(flight.FlyUntilTimerStops(), 3);
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), ExpectedFile("short-flight.log"));
}

// The short flight, then the way back from CCCC to AAAA by BBB, an hour later.
const std::string kTwoFlights = std::string(kShortFlight) + R"(
frame
clock 11:30 hold
prev CCCC
next BBB
destination AAAA
approach "ILS 09"
active_waypoint 1
engines 1 0 0 0
frame
clock 11:40 hold
on_ground 0
frame
clock 11:50 hold
active_waypoint 2
prev BBB
next AAAA
frame
clock 12:10 hold
on_ground 1
frame
clock 12:15 hold
engines 0 0 0 0
)";

TEST(FlightTest, ASecondFlightInTheSameRunGetsADocumentOfItsOwn) {
    FlightHarness flight(kTwoFlights, TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    const std::string first = flight.ReadFile(flight.form().LogFilePath());
    EXPECT_EQ(first, ExpectedFile("short-flight.log"));
    // The pilot types a remark into the closed flight's log, then connects for the next one.
    flight.form().TextArea().Append("Remarks: smooth");
    flight.Connect();
    EXPECT_EQ(flight.form().Memo1().LineCount(), 10);
    EXPECT_EQ(flight.form().Memo1().Line(0), first.substr(0, first.find('\r')));
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), first + "Remarks: smooth\r\n");

    // The way back fills its own header, once, and closes with its own summary.
    EXPECT_EQ(flight.FlyUntilTimerStops(), 5);
    const std::string second = flight.ReadFile(flight.form().LogFilePath());
    const std::string header = Lines(flight.form().Memo1(), 6, 11);
    EXPECT_EQ(header,
              "DEPART      : CCCC\nEngine Start: 11:30\nTake off    : 11:40\n"
              "Arrival time: 12:10\nARRIVE      : AAAA\nEngine Shut : 12:15\n");
    EXPECT_EQ(second.find("AAAA->BBB->CCCC"), std::string::npos);
    EXPECT_NE(second.find("Clearance   :CCCC->BBB->AAAA"), std::string::npos) << second;
    EXPECT_EQ(second.find("Engine Start"), second.rfind("Engine Start"));
    // Its map marks its own route, not the first flight's.
    std::vector<std::string> marks;
    for (const TrackMark& mark : flight.form().FlightMarks()) {
        marks.push_back(mark.name);
    }
    EXPECT_EQ(marks, (std::vector<std::string>{"CCCC", "BBB", "AAAA"}));
    // Both flights are in the logbook.
    const std::string logbook = flight.ReadFile(flight.LogFolder() + "\\Logbook\\logbook.csv");
    EXPECT_EQ(std::count(logbook.begin(), logbook.end(), '\n'), 3) << logbook;
}

// Two flights AAAA -> CCCC with no waypoint between, the second from where the first began.
const char* const kTwoCircuits = R"(
scenario "two circuits"
title "Test Jet"
waypoint_count 2
route_distance 100000
prev AAAA
next CCCC
destination CCCC
approach "ILS 27"
fuel centre 1 100
heading 90 deg
distance_to_next 30000
time_to_next 600
ground_speed 100
estimated_arrival 39600
altitude 1000
active_waypoint 1
on_ground 1
engines 0 0 0 0

frame
clock 10:00 hold
engines 1 0 0 0
frame
clock 10:10 hold
on_ground 0
frame
clock 10:40 hold
on_ground 1
frame
clock 10:45 hold
engines 0 0 0 0
frame
clock 11:00 hold
engines 1 0 0 0
frame
clock 11:10 hold
on_ground 0
frame
clock 11:40 hold
on_ground 1
frame
clock 11:45 hold
engines 0 0 0 0
)";
TEST(FlightTest, ASecondFlightFromTheSameDepartureMarksItsTakeOff) {
    FlightHarness flight(kTwoCircuits, TestFolder());
    flight.Start();
    const auto marks = [&] {
        std::vector<std::string> names;
        for (const TrackMark& mark : flight.form().FlightMarks()) {
            names.push_back(mark.name);
        }
        return names;
    };
    for (int flown = 1; flown <= 2; ++flown) {
        flight.Connect();
        flight.FlyUntilTimerStops();
        EXPECT_EQ(marks(), (std::vector<std::string>{"AAAA", "CCCC"})) << "flight " << flown;
    }
}

TEST(FlightTest, AfterNoPlanTheNextConnectReadsThePlanOverTheOpenLink) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    LinkResult result = LinkOk;
    ASSERT_TRUE(flight.link().OpenLink(0, result));
    // The simulator does not answer the connect batch: a plan cannot be known.
    flight.platform().faults().failingSends = 1000;
    flight.Connect();
    EXPECT_EQ(flight.window().messageBoxes, std::vector<std::string>{"Not Plan. Attention!"});
    EXPECT_EQ(flight.form().Memo1().LineCount(), 0);
    EXPECT_FALSE(flight.window().timer);

    flight.platform().faults().failingSends = 0;
    flight.Connect();
    EXPECT_EQ(flight.form().Memo1().LineCount(), 10);
    EXPECT_EQ(flight.FlyUntilTimerStops(), 5);
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), ExpectedFile("short-flight.log"));
}

// The simulator's window gone (Windows' "invalid window handle") closes the link; each tick
// opens it again and says so, and the flight goes on once the simulator answers.
TEST(FlightTest, ALostSimulatorIsReconnectedAtEveryTickAndStepsNothingMeanwhile) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    flight.platform().faults().failingSends = 1000;
    flight.platform().faults().sendLastError = 1400;
    flight.Tick();
    EXPECT_EQ(flight.window().status,
              "IPC sendmessage failed all retries: the simulator has gone; reconnecting at every "
              "tick");
    EXPECT_EQ(flight.window().flightStatus, "Waiting for the simulator");
    EXPECT_FALSE(flight.link().IsOpen());
    flight.Tick();
    EXPECT_EQ(flight.window().status,
              "Simulator lost, reconnecting: IPC sendmessage failed all retries");
    // Nothing was read: no take-off at the gate.
    EXPECT_EQ(flight.form().Memo1().LineCount(), 10);
    EXPECT_EQ(flight.form().State().WaypointCounter, 1);

    flight.platform().faults().failingSends = 0;
    flight.Tick();
    EXPECT_EQ(flight.window().status, "Okay");
    EXPECT_TRUE(flight.window().questions.empty()) << "nothing saved yet to resume";
    EXPECT_EQ(flight.FlyUntilTimerStops(), 5);
    EXPECT_EQ(flight.window().status, "Touchdown -180 ft/min, 1.25 G, 0 bounces");
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), ExpectedFile("short-flight.log"));
}

// The short flight with some of its frames replaced.
std::string ShortFlightWith(const std::string& before, const std::string& after) {
    std::string text = kShortFlight;
    const size_t at = text.find(before);
    EXPECT_NE(at, std::string::npos) << before;
    return text.replace(at, before.size(), after);
}

TEST(FlightTest, TakeOffWithoutEngineStartLandsInsideTheTableHeader) {
    // Engines already running when the program connects... but never reported as firing
    // alone: flags 1 and 2 give an OR of 3, so no engine start is recorded.
    FlightHarness flight(ShortFlightWith("engines 1 0 0 0", "engines 1 2 0 0"), TestFolder());
    flight.Start();
    flight.Connect();
    flight.Tick();
    flight.Tick();
    const LogDocument& log = flight.form().Memo1();
    EXPECT_EQ(Lines(log, 6, 9), "DEPART      : AAAA\n" + std::string(71, '-') +
                                    "\nTake off    : 10:10\n"
                                    "CHK-PNT |Frequency   | HDG |  ALT  | Wind  |Distance| ETE | "
                                    "ETO |NOTE \n");
}

TEST(FlightTest, LandingWithEnginesOffClosesTheFlightInTheSameTick) {
    FlightHarness flight(ShortFlightWith("clock 10:40 hold\non_ground 1",
                                         "clock 10:40 hold\non_ground 1\nengines 0 0 0 0"),
                         TestFolder());
    flight.Start();
    flight.Connect();
    EXPECT_EQ(flight.FlyUntilTimerStops(), 4);
    EXPECT_EQ(flight.form().Memo1().Line(9), "Arrival time: 10:40");
    EXPECT_EQ(flight.form().Memo1().Line(11), "Engine Shut : 10:40");
    EXPECT_EQ(flight.form().State().WaypointCounter, -1);
}

TEST(FlightTest, ARouteOfTwoWaypointsLandsRightAfterTakeOff) {
    std::string text = ShortFlightWith("waypoint_count 3", "waypoint_count 2");
    text.replace(text.find("active_waypoint 2\n"), 18, "");
    FlightHarness flight(text, TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.form().State().RegistrationCount, 1);
    EXPECT_EQ(flight.form().Memo1().Line(13), "Clearance   :AAAA->CCCC");
}

TEST(FlightTest, AWaypointCountOfOneTakesTheFirstTickOnTheGroundAsTheLanding) {
    FlightHarness flight(ShortFlightWith("waypoint_count 3", "waypoint_count 1"), TestFolder());
    flight.Start();
    flight.Connect();
    flight.Tick();
    EXPECT_EQ(flight.form().State().WaypointCounter, -1);
    EXPECT_TRUE(flight.window().timer) << "engines still running";
}

TEST(FlightTest, ADirectToPastTheAwaitedWaypointRegistersOnceAndTheFlightCloses) {
    // Five waypoints; at BBB's passage the pilot goes direct to EEEE, skipping CCCC and DDDD.
    std::string text = ShortFlightWith("active_waypoint 2\nprev BBB\nnext CCCC",
                                       "active_waypoint 4\nprev BBB\nnext EEEE");
    text.replace(text.find("waypoint_count 3"), 16, "waypoint_count 5");
    FlightHarness flight(text, TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.form().State().RegistrationCount, 2);
    EXPECT_EQ(flight.form().State().WaypointCounter, -1);
    EXPECT_FALSE(flight.form().State().EngineStarted);
    const LogDocument& log = flight.form().Memo1();
    EXPECT_EQ(log.Line(log_places::kClearance), "Clearance   :AAAA->BBB->CCCC");
}

TEST(FlightTest, FrostAndBelowSeaLevelKeepTheirSigns) {
    std::string text = ShortFlightWith("clock 10:20 hold\n", "clock 10:20 hold\naltitude -30\n");
    text.replace(text.find("temperature 3840"), 16, "temperature -5 c");
    FlightHarness flight(text, TestFolder());
    flight.Start();
    flight.Connect();
    flight.Tick();
    flight.Tick();  // take-off
    flight.form().RunGuarded([&] { flight.form().SalvaSitClick(); });
    IniFile config(flight.SettingsFolder() + "\\Aerolinker.ini", RegionalSettings{});
    EXPECT_EQ(config.ReadText("Aerolinker", "TempDecollo", ""), "-5");
    flight.FlyUntilTimerStops();
    const LogDocument& log = flight.form().Memo1();
    EXPECT_NE(Lines(log, 0, log.LineCount()).find("|090  |-98    |"), std::string::npos);
    EXPECT_NE(Lines(log, 0, log.LineCount()).find("| 10:10 |270/12|"), std::string::npos);
    EXPECT_NE(Lines(log, 0, log.LineCount()).find("|    -5|1013 |"), std::string::npos);
}

TEST(FlightTest, TimesAcrossMidnightWrapAndTheSummaryCountsTheRealFlight) {
    std::string text = kShortFlight;
    for (auto [from, to] : {std::pair{"clock 10:00 hold", "clock 23:50 hold"},
                            {"clock 10:10 hold", "clock 23:55 hold"},
                            {"clock 10:20 hold", "clock 00:05 hold"},
                            {"clock 10:40 hold", "clock 00:25 hold"},
                            {"clock 10:45 hold", "clock 00:30 hold"}}) {
        text.replace(text.find(from), std::string(from).size(), to);
    }
    FlightHarness flight(text, TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    const LogDocument& log = flight.form().Memo1();
    EXPECT_EQ(log.Line(7), "Engine Start: 23:50");
    EXPECT_EQ(log.Line(19),
              "BBB     |     |      |     |       |       |016/0038|00:10|00:05|      ");
    EXPECT_EQ(log.Line(21),
              "CCCC    |     |      |     |       |       |016/0022|00:05|00:10|      ");
    EXPECT_EQ(log.Line(24), "TOTALS: DISTANCE = 0054 miles    Flight Time = 0:30");
    bool found = false;
    for (const LogLine& line : log.Lines()) {
        found = found || line == "Subtotal to first landing - Minutes/Gallons(Liters):30/20(76)";
    }
    EXPECT_TRUE(found);
}

TEST(FlightTest, ALongRouteWrapsTheClearanceAndMovesEverythingBelowDown) {
    const std::vector<std::string> route = {"LIEO",  "OLBIA", "ELBA1", "PRTVE", "ABCDE",
                                            "FGHIJ", "KLMNO", "PQRST", "UVWXY", "LIRQ"};
    std::string text =
        "title \"Test Jet\"\nwaypoint_count 10\nroute_distance 400000\nprev LIEO\nnext OLBIA\n"
        "active_waypoint 1\ndestination LIRQ\nclock 10:00\non_ground 1\nengines 1 0 0 0\n"
        "fuel centre 1 100\ndistance_to_next 30000\nground_speed 100\n"
        "frame\nframe\non_ground 0\n";
    for (size_t i = 2; i < route.size(); ++i) {
        text += "frame\nactive_waypoint " + std::to_string(i) + "\nprev " + route[i - 1] +
                "\nnext " + route[i] + "\n";
    }
    text += "frame\non_ground 1\nengines 0 0 0 0\n";
    FlightHarness flight(text, TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    ASSERT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    const LogDocument& log = flight.form().Memo1();
    EXPECT_EQ(Lines(log, 13, 15),
              "Clearance   :LIEO->OLBIA->ELBA1->PRTVE->ABCDE->FGHIJ->KLMNO->PQRST-\n"
              ">UVWXY->LIRQ\n" +
                  std::string(71, '-') + "\n");
    EXPECT_EQ(log.Line(16).substr(0, 8), "CHK-PNT ");
}

TEST(FlightTest, WithoutAnApproachTheNextWaypointIsTheArrival) {
    std::string text = kShortFlight;
    const std::string approach = "approach \"ILS 27\"\ntransition BBB\n";
    text.replace(text.find(approach), approach.size(), "");
    text.replace(text.find("prev BBB\nnext CCCC"), 18, "prev OLBIA1\nnext LIRQ");
    text.replace(text.find("prev AAAA\nnext BBB"), 18, "prev LIEOXX\nnext OLBIA1");
    FlightHarness flight(text, TestFolder());
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    const LogDocument& log = flight.form().Memo1();
    EXPECT_EQ(log.Line(10), "ARRIVE      : LIRQ");
    EXPECT_EQ(log.Line(13), "Clearance   :LIEOXX->OLBIA1->LIRQ");
    bool noApproach = false;
    for (const LogLine& line : log.Lines()) {
        noApproach = noApproach || line == "Approach   Name:";
    }
    EXPECT_TRUE(noApproach);
}

TEST(FlightTest, CommaAndDotRegionalSettings) {
    RegionalSettings regional;
    regional.decimalSeparator = ',';
    regional.timeSeparator = '.';
    regional.dateSeparator = '.';
    FlightHarness flight(ShortFlightWith("visibility 2000", "visibility 1250"), TestFolder(),
                         regional);
    flight.Start();
    flight.Connect();
    flight.FlyUntilTimerStops();
    const LogDocument& log = flight.form().Memo1();
    EXPECT_EQ(log.Line(4), "Date           : 06.12.2026");
    EXPECT_EQ(log.Line(7), "Engine Start: 10.00");
    EXPECT_EQ(log.Line(19),
              "BBB     |     |      |     |       |       |016/0038|00.10|10.20|      ");
    bool takeOffRow = false;
    for (const LogLine& line : log.Lines()) {
        takeOffRow = takeOffRow ||
                     line == "    |           | 10.10 |270/12|12,5 mi     | Sct 3/8|    15|1013 |";
    }
    EXPECT_TRUE(takeOffRow);
}

TEST(FlightTest, NoGroundSpeedLeavesTheTimesOfTheNextLegOpen) {
    FlightHarness flight(ShortFlightWith("active_waypoint 2", "active_waypoint 2\nground_speed 0"),
                         TestFolder());
    flight.Start();
    flight.Connect();
    for (int i = 0; i < 3; ++i) {
        flight.Tick();
    }
    EXPECT_TRUE(flight.window().errors.empty());
    EXPECT_EQ(flight.form().Memo1().Line(16),
              "CCCC    |     |      |     |       |       |016/0022|--:--|--:--|      ");
}

// The start's check of the log folder writes a file and removes it; one a start stopped in the
// middle left behind is removed by the next.
TEST(FlightTest, AFolderCheckAStoppedStartLeftIsRemoved) {
    FlightHarness flight(kShortFlight, TestFolder());
    const fs::path stale = fs::path(flight.LogFolder()) / "Navforge.check.tmp4242.1";
    std::ofstream(stale) << "";
    flight.Start();
    EXPECT_FALSE(fs::exists(stale));
}

TEST(FlightTest, AnUnwritableLogFolderIsNamedAtTheStartAndThePilotFormOpensAtIt) {
    FlightHarness flight(kShortFlight, TestFolder());
    // A file where the folder should be: nothing can be written into it.
    fs::remove_all(flight.LogFolder());
    ASSERT_EQ(ReplaceFileContents(flight.LogFolder(), "x"), 0);
    flight.Start();
    const std::string named = "The log folder " + flight.LogFolder() + " cannot be written: ";
    EXPECT_EQ(flight.window().status.rfind(named, 0), 0u) << flight.window().status;
    ASSERT_EQ(flight.window().messageBoxes.size(), 1u);
    EXPECT_EQ(flight.window().messageBoxes[0].rfind(named, 0), 0u);
    EXPECT_EQ(flight.window().logFolderEdits, 1);
}

// The folder read at the start cannot be written; the pilot corrects it on the pilot form in
// flight, and the next save goes there. A writable folder read at the start stays the log's.
TEST(FlightTest, ALogFolderCorrectedInFlightIsUsedWhenTheStartOneCannotBeWritten) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    const std::string good = flight.form().LogFolder();
    // A file where a folder should be: the log folder under it can be neither made nor written.
    ASSERT_EQ(ReplaceFileContents(good + "\\blocked", "x"), 0);
    const std::string gone = good + "\\blocked\\logs";
    flight.form().SetLogFolder(gone);
    flight.Connect();
    flight.Tick();
    flight.Tick();  // the take-off's save fails
    ASSERT_FALSE(flight.window().errors.empty());

    PilotProfile entered = flight.form().Pilot();
    entered.Flightdir = good;
    flight.form().RunGuarded([&] { flight.form().SavePilotProfile(entered); });
    EXPECT_EQ(flight.form().LogFolder(), good);
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.ReadFile(good + "/Navforge.log"), ExpectedFile("short-flight.log"));

    // Saved again with the start folder writable, the log stays where it is.
    entered.Flightdir = gone;
    flight.form().RunGuarded([&] { flight.form().SavePilotProfile(entered); });
    EXPECT_EQ(flight.form().LogFolder(), good);
}

TEST(FlightTest, FailedSavesNeitherStopTrackingNorDropRows) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    flight.Tick();
    // The folder goes away under the program (a network drive lost, say) for the take-off and
    // BBB's registration with its situation save.
    const std::string folder = flight.form().LogFolder();
    flight.form().SetLogFolder(folder + "\\gone");
    flight.Tick();
    flight.Tick();
    ASSERT_EQ(flight.window().errors.size(), 2u) << "one box for each kind of save";
    EXPECT_EQ(
        flight.window().errors[0].rfind(
            "Log save failed: Cannot create file \"" + folder + "\\gone\\Navforge.log\". ", 0),
        0u)
        << flight.window().errors[0];
    EXPECT_EQ(flight.window().errors[1].rfind("Situation save failed: ", 0), 0u);
    EXPECT_TRUE(flight.window().timer);
    EXPECT_EQ(flight.window().status, flight.window().errors[0]);
    EXPECT_EQ(flight.form().State().WaypointCounter, 3);

    // The folder is back: the arrival's save writes every row of the flight.
    flight.form().SetLogFolder(folder);
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.window().errors.size(), 2u);
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), ExpectedFile("short-flight.log"));
}

// The short flight, closed in flight after BBB's registration with its situation save, and
// started again: the question at connect resumes it.
void FlyUntilClosedAfterBbb(FlightHarness& flight) {
    flight.Start();
    flight.Connect();
    for (int i = 0; i < 3; ++i) {
        flight.Tick();  // engine start, take-off, BBB with its situation save
    }
    flight.Restart();
    flight.Start();
}

TEST(SituationTest, AFlightInterruptedAfterItsSecondRegistrationResumesToTheSameLog) {
    FlightHarness straight(kShortFlight, TestFolder() / "straight");
    straight.Start();
    straight.Connect();
    straight.FlyUntilTimerStops();
    const std::string uninterrupted = straight.ReadFile(straight.form().LogFilePath());

    FlightHarness flight(kShortFlight, TestFolder() / "resumed");
    FlyUntilClosedAfterBbb(flight);
    flight.window().answerYes = true;
    flight.Connect();
    ASSERT_EQ(flight.window().questions.size(), 1u);
    EXPECT_NE(flight.window().questions[0].find("AAAA->BBB->"), std::string::npos);
    EXPECT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    EXPECT_TRUE(flight.window().timer);
    EXPECT_EQ(flight.window().pausedMs, 2000u);
    EXPECT_EQ(flight.form().State().RegistrationCount, 2);
    EXPECT_EQ(flight.form().State().EngineStartTime, straight.form().State().EngineStartTime);

    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), uninterrupted);
    // A closed flight is not offered again.
    flight.Restart();
    flight.Start();
    flight.Connect();
    EXPECT_EQ(flight.window().questions.size(), 0u);
}

// No to the question: the new flight's saves replace the log and the trace, so the unfinished
// flight's are kept beside them first, as far as the trace's last row. The new flight stops
// after its engine start and the question comes again: its rows are not the unfinished flight's.
TEST(SituationTest, ANewFlightInsteadOfTheUnfinishedOneKeepsItsLogAndTrace) {
    FlightHarness flight(kShortFlight, TestFolder());
    FlyUntilClosedAfterBbb(flight);
    const std::string log = flight.ReadFile(flight.form().LogFilePath());
    std::string trace = flight.ReadFile(flight.form().TraceFilePath());
    trace.erase(trace.find_last_not_of('\0') + 1);
    ASSERT_FALSE(trace.empty());
    flight.Connect();
    ASSERT_EQ(flight.window().questions.size(), 1u);
    EXPECT_NE(flight.window().questions[0].find("Navforge.unfinished.log"), std::string::npos);
    flight.Tick();  // the engine start: the new flight's rows go to the trace
    flight.Restart();
    flight.Start();
    flight.Connect();
    ASSERT_EQ(flight.window().questions.size(), 1u);
    flight.FlyUntilTimerStops();
    EXPECT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    EXPECT_NE(flight.ReadFile(flight.form().LogFilePath()), log) << "the new flight's log";
    EXPECT_EQ(flight.ReadFile(flight.LogFolder() + "/Navforge.unfinished.log"), log);
    EXPECT_EQ(flight.ReadFile(flight.LogFolder() + "/Navforge.unfinished.trace.csv"), trace);
}

// No, then a new flight's engine start takes the trace, then the program stops and the pilot
// resumes the first flight after all: its trace is the one kept at the No, whole.
TEST(SituationTest, AFlightResumedAfterANoGoesOnInItsOwnTrace) {
    FlightHarness straight(kShortFlight, TestFolder() / "straight");
    straight.Start();
    straight.Connect();
    straight.FlyUntilTimerStops();

    FlightHarness flight(kShortFlight, TestFolder() / "resumed");
    FlyUntilClosedAfterBbb(flight);
    flight.Connect();
    flight.Tick();
    flight.Restart();
    flight.Start();
    flight.window().answerYes = true;
    flight.Connect();
    flight.FlyUntilTimerStops();
    EXPECT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    EXPECT_EQ(flight.ReadFile(flight.form().TraceFilePath()),
              straight.ReadFile(straight.form().TraceFilePath()));
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()),
              straight.ReadFile(straight.form().LogFilePath()));
}

TEST(SituationTest, FilesOfAnOlderCopyResumeFromWhatRemained) {
    FlightHarness flight(kShortFlight, TestFolder());
    FlyUntilClosedAfterBbb(flight);
    fs::remove(flight.LogFolder() + "/Navforge.situation");
    flight.Connect();
    EXPECT_TRUE(flight.window().questions.empty());
    flight.form().RunGuarded([&] { flight.form().CaricaSitClick(); });
    EXPECT_TRUE(flight.window().errors.empty()) << flight.window().errors.front();
    EXPECT_TRUE(flight.form().State().EngineStarted);
    EXPECT_EQ(flight.form().State().RegistrationCount, 2);
    // The configuration keeps whole miles: the flight goes on from the 22 that remained after
    // BBB, not from the route's total of 54.
    EXPECT_EQ(flight.form().State().RemainingAfterLeg, 22);
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.form().Memo1().Line(log_places::kClearance), "Clearance   :AAAA->BBB->CCCC");
}

// Every way a resume can fail shows one message and leaves the new flight the pilot started
// (its document, its timer, its state) exactly as it was.
TEST(SituationTest, AFailedResumeChangesNothing) {
    const struct {
        const char* what;
        std::function<void(FlightHarness&)> spoil;
        const char* shown;
    } cases[] = {
        {"a damaged situation file",
         [](FlightHarness& f) {
             const std::string path = f.LogFolder() + "/Navforge.situation";
             std::string text = f.ReadFile(path);
             text.replace(text.find("WaypointCounter="), 17, "WaypointCounter=x");
             ASSERT_EQ(ReplaceFileContents(path, text), 0);
         },
         "The saved situation cannot be resumed: WaypointCounter is not a whole number."},
        {"a situation file cut short inside the log's text",
         [](FlightHarness& f) {
             const std::string path = f.LogFolder() + "/Navforge.situation";
             const std::string text = f.ReadFile(path);
             ASSERT_EQ(ReplaceFileContents(path, text.substr(0, text.find("NAVIGATION LOG"))), 0);
         },
         "The saved situation cannot be resumed: the file is cut short."},
        {"a value that is no number",
         [](FlightHarness& f) {
             const std::string path = f.LogFolder() + "/Navforge.situation";
             std::string text = f.ReadFile(path);
             const std::size_t at = text.find("DepartureWindSpeed=");
             text.replace(at, text.find('\n', at) - at, "DepartureWindSpeed=nan");
             ASSERT_EQ(ReplaceFileContents(path, text), 0);
         },
         "The saved situation cannot be resumed: DepartureWindSpeed is not a number."},
        {"counters outside the plan, in an older copy's files",
         [](FlightHarness& f) {
             fs::remove(f.LogFolder() + "/Navforge.situation");
             IniFile ini(f.SettingsFolder() + "/Aerolinker.ini", RegionalSettings{});
             ini.WriteText("Aerolinker", "Wayp", "9");
         },
         "The saved situation cannot be resumed: the saved waypoint counter lies outside the "
         "flight plan."},
        {"a simulator that cannot load the flight",
         [](FlightHarness& f) {
             for (const auto& file : fs::directory_iterator(f.FlightsFolder())) {
                 fs::remove(file.path());
             }
         },
         "The simulator did not load the saved flight: nothing was resumed."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FlightHarness flight(kShortFlight, TestFolder());
        FlyUntilClosedAfterBbb(flight);
        c.spoil(flight);
        flight.Restart();
        flight.Start();
        flight.Connect();  // answered No, or not asked: a new flight
        const std::vector<std::string> before = flight.form().Memo1().Lines();
        ASSERT_TRUE(flight.window().timer);
        flight.form().RunGuarded([&] { flight.form().CaricaSitClick(); });
        EXPECT_EQ(flight.window().messageBoxes, std::vector<std::string>{c.shown});
        EXPECT_EQ(flight.form().Memo1().Lines(), before);
        EXPECT_TRUE(flight.window().timer);
        EXPECT_FALSE(flight.form().State().EngineStarted);
        EXPECT_EQ(flight.form().State().WaypointCounter, 1);
    }
}

TEST(SituationTest, AnUnwritableConfigurationLosesNoRowOfTheRegistration) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    // A folder where the settings file should be: every write of the flight state is refused.
    const std::string ini = flight.SettingsFolder() + "/Aerolinker.ini";
    fs::remove(ini);
    fs::create_directories(ini);
    flight.Connect();
    EXPECT_EQ(flight.FlyUntilTimerStops(), 5);
    ASSERT_EQ(flight.window().errors.size(), 1u);
    EXPECT_EQ(flight.window().errors[0].rfind("Situation save failed: Unable to write to ", 0), 0u);
    EXPECT_EQ(flight.ReadFile(flight.form().LogFilePath()), ExpectedFile("short-flight.log"));
    // The save's other steps were done all the same: the log's backup, and the news of it.
    EXPECT_TRUE(FileExists(flight.LogFolder() + "/Navforge.bak"));
    const std::vector<FlightEvent>& events = flight.window().events;
    EXPECT_EQ(std::count(events.begin(), events.end(), FlightEvent::SituationSaved), 1);
}

TEST(SituationTest, ASituationSavedBeforeTakeOffResumesWithTheWholeRoute) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    flight.Tick();  // engine start, still at the gate
    flight.form().RunGuarded([&] { flight.form().SalvaSitClick(); });
    flight.Restart();
    flight.Start();
    flight.Connect();  // answered No: a new flight
    flight.form().RunGuarded([&] { flight.form().CaricaSitClick(); });
    EXPECT_TRUE(flight.form().State().EngineStarted);
    flight.FlyUntilTimerStops();
    EXPECT_EQ(flight.form().Memo1().Line(18),
              "AAAA    |     |      |090  |       |       |  -/0054|--:--|10:10|      ");
}

TEST(SituationTest, SavingBeforeAnyEngineStartTouchesNoFile) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    const std::string config = flight.ReadFile(flight.SettingsFolder() + "\\Aerolinker.ini");
    flight.form().RunGuarded([&] { flight.form().SalvaSitClick(); });
    EXPECT_EQ(flight.window().messageBoxes,
              std::vector<std::string>{"Plane on ground. Nothing saved!!"});
    EXPECT_EQ(flight.ReadFile(flight.SettingsFolder() + "\\Aerolinker.ini"), config);
    EXPECT_FALSE(fs::exists(flight.SettingsFolder() + "/Aerolinker.inibak"));
    EXPECT_FALSE(fs::exists(flight.LogFolder() + "/Navforge.log"));
}

TEST(SituationTest, LoadingIsRefusedInFlightAndRestoresNothingWhenDisconnected) {
    FlightHarness flight(kShortFlight, TestFolder());
    flight.Start();
    flight.Connect();
    flight.form().RunGuarded([&] { flight.form().LChiudiClick(); });
    const int lines = flight.form().Memo1().LineCount();
    flight.form().RunGuarded([&] { flight.form().CaricaSitClick(); });
    EXPECT_EQ(flight.form().Memo1().LineCount(), lines);
    EXPECT_FALSE(flight.window().timer);
    EXPECT_TRUE(flight.window().errors.empty());
    EXPECT_EQ(flight.window().messageBoxes,
              std::vector<std::string>{"There is no saved flight to resume."});

    flight.Connect();
    flight.Tick();  // engine start
    flight.form().RunGuarded([&] { flight.form().CaricaSitClick(); });
    EXPECT_EQ(flight.window().standardMessages, std::vector<std::string>{"Not Appliable"});
}

}  // namespace
}  // namespace aerolinker
