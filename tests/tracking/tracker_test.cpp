// The tracker stepped by hand, sample by sample, with its effects recorded: no window, no
// link, no files.
#include "tracking/tracker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navlog/log_header.h"

namespace aerolinker {
namespace {

// Every effect as one line of text, in the order the tracker asked for them.
class RecordedOutput : public TrackerOutput {
public:
    void ShowSimMessage(const std::string& text, std::int16_t code, std::int16_t seq) override {
        effects.push_back("show " + text + " [" + std::to_string(code) + "/" + std::to_string(seq) +
                          "]");
    }
    void WriteSimMessage(const std::string& text, std::uint16_t seconds) override {
        effects.push_back("write " + text + " [" + std::to_string(seconds) + " s]");
    }
    void PlaySound() override { effects.push_back("sound"); }
    void SetTimerEnabled(bool enabled) override {
        effects.push_back(enabled ? "timer on" : "timer off");
    }
    void SaveLog(LogSave kind) override {
        effects.push_back(kind == LogSave::Tracker ? "tracker save" : "direct save");
    }
    void SaveSituation() override { effects.push_back("situation save"); }
    void CloseLink() override { effects.push_back("close link"); }
    void OnFlightEvent(FlightEvent, const std::string& detail) override {
        effects.push_back("event " + detail);
    }
    std::vector<std::string> Take() { return std::exchange(effects, {}); }

    std::vector<std::string> effects;
};

SimSample At(int hour, int minute, bool engines, bool onGround) {
    SimSample s;
    s.clockHour = static_cast<std::uint8_t>(hour);
    s.clockMinute = static_cast<std::uint8_t>(minute);
    s.engineCombustion[0] = engines ? 1 : 0;
    s.onGround = onGround ? 1 : 0;
    s.groundSpeed = 100;
    s.destination.Set("CCCC");
    s.approachName.Set("ILS 05");
    s.approachLoaded = true;
    return s;
}

SimSample Leg(SimSample s, std::uint32_t active, const char* from, const char* to, double metres) {
    s.activeWaypoint = active;
    s.previousWaypoint.Set(from);
    s.nextWaypoint.Set(to);
    s.distanceToNext = metres;
    s.timeToNext = static_cast<std::uint32_t>(metres / s.groundSpeed);
    return s;
}

TEST(TrackerTest, AFlightSteppedSampleBySample) {
    RegionalSettings regional;
    PilotProfile pilot;
    pilot.Number = "17";
    RecordedOutput out;
    Tracker tracker(regional, pilot, out);
    const LocalDateTime today{2026, 12, 7, 9, 0, 0, 0};

    tracker.BeginConnect();
    tracker.Connected(3, 100000);  // AAAA, BBB, CCCC: 53.966 miles
    tracker.WriteHeader("Plane", "Pilot", today);
    ASSERT_EQ(tracker.Log().LineCount(), 10);

    tracker.Step(At(9, 25, false, true));
    EXPECT_TRUE(out.Take().empty());

    tracker.Step(At(9, 30, true, true));
    EXPECT_EQ(out.Take(), std::vector<std::string>{"event 09:30"});
    EXPECT_EQ(tracker.Log().Line(log_places::kEngineStart), "Engine Start: 09:30");

    tracker.Step(Leg(At(9, 40, true, false), 1, "AAAA", "BBB", 20000));
    EXPECT_EQ(out.Take(), (std::vector<std::string>{
                              "timer off", "show Take off : Have a good flight [10/1]", "sound",
                              "tracker save", "timer on", "event 09:40 from AAAA"}));
    EXPECT_EQ(tracker.Log().Line(log_places::kDepart), "DEPART      : AAAA");
    EXPECT_EQ(tracker.Log().Line(log_places::kTakeOff), "Take off    : 09:40");
    EXPECT_EQ(tracker.Log().Line(7), "Engine Start: 09:30");
    EXPECT_EQ(tracker.Log().Line(tracker.Log().LineCount() - 1),
              "BBB     |     |      |     |       |       |011/0043|00:03|09:43|      ");

    // Still on the first leg: nothing.
    tracker.Step(Leg(At(9, 41, true, false), 1, "AAAA", "BBB", 19000));
    EXPECT_TRUE(out.Take().empty());

    // The second registration of the flight saves the situation before the next leg's row.
    SimSample passage = Leg(At(9, 50, true, false), 2, "BBB", "CCCC", 30000);
    passage.estimatedArrival = 36000;
    tracker.Step(passage);
    EXPECT_EQ(out.Take(), (std::vector<std::string>{
                              "show BBB Registered. Next Waypoint -> CCCC [10/2]",
                              "show Arrival estimated at CCCC 10:00 local time [10/2]",
                              "situation save", "tracker save", "event BBB at 09:50, next CCCC"}));
    EXPECT_EQ(tracker.State().WaypointCounter, 3);
    EXPECT_EQ(tracker.State().RouteFlown, "AAAA->BBB->");

    // Down with the engines running, then shut down: the landing, then the arrival.
    tracker.Step(Leg(At(10, 0, true, true), 3, "BBB", "CCCC", 0));
    EXPECT_EQ(out.Take(), std::vector<std::string>{"event 10:00, heading 000"});
    tracker.Step(Leg(At(10, 5, false, true), 3, "BBB", "CCCC", 0));
    EXPECT_EQ(out.Take(),
              (std::vector<std::string>{
                  "timer off", "write Welcome at CCCC airport. End of Flight! [21 s]", "sound",
                  "close link", "direct save", "event CCCC, engines off at 10:05"}));
    const LogDocument& log = tracker.Log();
    EXPECT_EQ(log.Line(log_places::kArrivalTime), "Arrival time: 10:00");
    EXPECT_EQ(log.Line(log_places::kArrive), "ARRIVE      : CCCC");
    EXPECT_EQ(log.Line(log_places::kEngineShut), "Engine Shut : 10:05");
    EXPECT_EQ(log.Line(log_places::kClearance), "Clearance   :AAAA->BBB->CCCC");
    EXPECT_FALSE(tracker.State().EngineStarted);
}

TEST(TrackerTest, AResumeGoesOnFromWhatRemainedAndDropsTheTrackerSavesEmptyLine) {
    RegionalSettings regional;
    PilotProfile pilot;
    RecordedOutput out;
    Tracker tracker(regional, pilot, out);

    FlightState saved;
    saved.RemainingDistance = 135;
    saved.RemainingAfterLeg = 55.5;
    saved.WaypointCounter = 3;
    saved.WaypointCount = 5;
    tracker.Resume(saved, "first\r\nsecond\r\n\r\n");
    EXPECT_EQ(tracker.State().RemainingDistance, 55.5);
    EXPECT_TRUE(tracker.State().EngineStarted);
    EXPECT_EQ(tracker.Log().Lines(), (std::vector<std::string>{"first", "second"}));

    saved.WaypointCounter = 1;  // saved before the take-off: the whole route remains
    tracker.Resume(saved, "whole\r\n");
    EXPECT_EQ(tracker.State().RemainingDistance, 135);
    EXPECT_EQ(tracker.Log().Lines(), std::vector<std::string>{"whole"});
}

}  // namespace
}  // namespace aerolinker
