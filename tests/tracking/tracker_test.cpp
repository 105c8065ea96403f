// The tracker stepped by hand, sample by sample, with its effects recorded: no window, no
// link, no files.
#include "tracking/tracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
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
    void OnFlightEvent(FlightEvent event, const std::string& detail) override {
        effects.push_back("event " + detail);
        events.push_back(event);
    }
    std::vector<std::string> Take() { return std::exchange(effects, {}); }
    std::ptrdiff_t Count(FlightEvent event) const {
        return std::count(events.begin(), events.end(), event);
    }
    std::ptrdiff_t Count(const std::string& effect) const {
        return std::count(effects.begin(), effects.end(), effect);
    }

    std::vector<std::string> effects;
    std::vector<FlightEvent> events;  // all of them, never taken
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
    passage.altitudeMetres = 3048;
    passage.trueHeading = 0.610865;
    passage.timeToNext = 9999;  // the leg's time comes from its distance and the ground speed
    tracker.Step(passage);
    EXPECT_EQ(out.Take(), (std::vector<std::string>{
                              "show BBB Registered. Next Waypoint -> CCCC [10/2]",
                              "show Arrival estimated at CCCC 10:00 local time [10/2]",
                              "situation save", "tracker save", "event BBB at 09:50, next CCCC"}));
    EXPECT_EQ(tracker.State().WaypointCounter, 3);
    EXPECT_EQ(tracker.State().RouteFlown, "AAAA->BBB->");
    const int rows = tracker.Log().LineCount();
    EXPECT_EQ(tracker.Log().Line(rows - 2),
              "        |     |      |035  |10000  |       |        |     |09:50|      ");
    EXPECT_EQ(tracker.Log().Line(rows - 1),
              "CCCC    |     |      |     |       |       |016/0027|00:05|09:55|      ");

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

// A flight plan of `waypoints` waypoints connected, its log's header written.
struct ConnectedFlight {
    explicit ConnectedFlight(std::int32_t waypoints) {
        tracker.BeginConnect();
        tracker.Connected(waypoints, 100000);
        tracker.WriteHeader("Plane", "Pilot", LocalDateTime{2026, 12, 7, 9, 0, 0, 0});
    }
    int LogLinesStartingWith(const std::string& prefix) const {
        int count = 0;
        for (const std::string& line : tracker.Log().Lines()) {
            count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        }
        return count;
    }

    RegionalSettings regional;
    PilotProfile pilot;
    RecordedOutput out;
    Tracker tracker{regional, pilot, out};
};

using Engines = std::array<std::int16_t, 4>;

SimSample OnTheGround(int minute, const Engines& engines) {
    SimSample s = At(9, minute, false, true);
    std::copy(engines.begin(), engines.end(), s.engineCombustion);
    return s;
}

TEST(TrackerTest, TheEngineStartIsNotedOnceUntilTheShutDown) {
    const struct {
        const char* what;
        std::vector<Engines> ticks;  // one a minute from 09:30, on the ground
        int startedAt;               // the tick noted, or -1
    } cases[] = {
        {"engine 1 alone", {{0, 0, 0, 0}, {1, 0, 0, 0}}, 1},
        {"engine 4 alone", {{0, 0, 0, 1}}, 0},
        {"two engines", {{1, 1, 0, 0}, {1, 1, 1, 1}}, 0},
        {"stopped and started again before the take-off",
         {{1, 0, 0, 0}, {0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}},
         0},
        {"never started", {{0, 0, 0, 0}, {0, 0, 0, 0}}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConnectedFlight flight(3);
        for (std::size_t tick = 0; tick < c.ticks.size(); ++tick) {
            flight.tracker.Step(OnTheGround(30 + static_cast<int>(tick), c.ticks[tick]));
        }
        const int noted = c.startedAt >= 0 ? 1 : 0;
        EXPECT_EQ(flight.out.Count(FlightEvent::EngineStart), noted);
        EXPECT_EQ(flight.LogLinesStartingWith("Engine Start:"), noted);
        if (noted) {
            EXPECT_EQ(flight.tracker.Log().Line(log_places::kEngineStart),
                      "Engine Start: 09:3" + std::to_string(c.startedAt));
        }
        // Engines stopped before the take-off close nothing.
        EXPECT_EQ(flight.out.Count(FlightEvent::Arrival), 0);
        EXPECT_EQ(flight.out.Count("close link"), 0);
    }
}

// After the landing, one engine still firing, whichever it is, keeps the flight open; an
// engine stopped in flight closes nothing either.
TEST(TrackerTest, TheArrivalWaitsForAllFourEnginesToStop) {
    for (std::size_t running = 0; running < 4; ++running) {
        SCOPED_TRACE(running);
        ConnectedFlight flight(2);  // AAAA to CCCC: the landing counts right after the take-off
        flight.tracker.Step(At(9, 30, true, true));
        flight.tracker.Step(Leg(At(9, 40, true, false), 1, "AAAA", "CCCC", 20000));
        flight.tracker.Step(Leg(At(9, 45, false, false), 1, "AAAA", "CCCC", 10000));
        EXPECT_EQ(flight.out.Count("close link"), 0);

        SimSample down = Leg(At(10, 0, false, true), 1, "AAAA", "CCCC", 0);
        down.engineCombustion[running] = 1;
        flight.tracker.Step(down);
        down.clockMinute = 2;
        flight.tracker.Step(down);
        EXPECT_EQ(flight.out.Count(FlightEvent::Landing), 1);
        EXPECT_EQ(flight.out.Count(FlightEvent::Arrival), 0);

        down.engineCombustion[running] = 0;
        down.clockMinute = 5;
        flight.tracker.Step(down);
        EXPECT_EQ(flight.out.Count(FlightEvent::Arrival), 1);
        EXPECT_EQ(flight.out.Count("close link"), 1);
        EXPECT_EQ(flight.tracker.Log().Line(log_places::kArrivalTime), "Arrival time: 10:00");
        EXPECT_EQ(flight.tracker.Log().Line(log_places::kEngineShut), "Engine Shut : 10:05");
    }
}

// The GPS's active waypoint and the on-ground flag tick by tick, engines running: which ticks
// register a waypoint, whether the landing counts, and where the flight phase ends up.
TEST(TrackerTest, WaypointsAndTheLandingFollowTheGpsWhateverThePilotDoes) {
    const struct {
        std::int32_t waypoints;
        const char* ticks;  // from the take-off on: the active index, then airborne or on ground
        int registrations;
        int landings;
        std::int32_t counter;  // the phase at the end
        const char* route;
    } cases[] = {
        // Each waypoint in turn, down on the last leg.
        {5, "1a 2a 3a 4a 4g", 3, 1, -1, "WP0->WP1->WP2->WP3->"},
        // No registration in the take-off tick, even with the GPS already on the next leg.
        {4, "2a", 0, 0, 2, "WP1->"},
        // The next waypoint made active while on the ground is no passage.
        {5, "1a 2g", 0, 0, 2, "WP0->"},
        // A touch-and-go before the last leg is no landing.
        {4, "1a 1g 2a 3a 3g", 2, 1, -1, "WP0->WP1->WP2->"},
        // A direct-to past two waypoints registers the one flown to, then the plan goes on.
        {6, "1a 4a 5a 5g", 2, 1, -1, "WP0->WP3->WP4->"},
        // The GPS sent back to a waypoint already passed.
        {5, "1a 2a 1a 2a 3a", 2, 0, 4, "WP0->WP1->WP2->"},
        // A bounce after the touchdown lands once.
        {3, "1a 2a 2g 2a 2g", 1, 1, -1, "WP0->WP1->"},
    };
    const char* const idents[] = {"WP0", "WP1", "WP2", "WP3", "WP4", "WP5"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticks);
        ConnectedFlight flight(c.waypoints);
        flight.tracker.Step(At(9, 30, true, true));
        int minute = 40;
        for (const char* tick = c.ticks; *tick != '\0'; tick += tick[2] == ' ' ? 3 : 2) {
            const auto active = static_cast<std::uint32_t>(tick[0] - '0');
            flight.tracker.Step(Leg(At(9, minute++, true, tick[1] == 'g'), active,
                                    idents[active - 1], idents[active], 10000));
        }
        EXPECT_EQ(flight.out.Count(FlightEvent::TakeOff), 1);
        EXPECT_EQ(flight.out.Count(FlightEvent::WaypointRegistered), c.registrations);
        EXPECT_EQ(flight.tracker.State().RegistrationCount, 1 + c.registrations);
        // Every second registration of the flight, the take-off counted as the first.
        EXPECT_EQ(flight.out.Count("situation save"), (c.registrations + 1) / 2);
        EXPECT_EQ(flight.out.Count(FlightEvent::Landing), c.landings);
        EXPECT_EQ(flight.tracker.State().WaypointCounter, c.counter);
        EXPECT_EQ(flight.tracker.State().RouteFlown, c.route);
    }
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

// A GPS index past the plan's end (all ones when the plan is cleared in flight) is no passage:
// counted as one, the awaited waypoint wrapped to 0 and the flight never closed.
TEST(TrackerTest, AnActiveIndexThatIsNoWaypointRegistersNothing) {
    ConnectedFlight flight(4);
    flight.tracker.Step(At(9, 30, true, true));
    flight.tracker.Step(Leg(At(9, 40, true, false), 1, "WP0", "WP1", 10000));
    SimSample lost = Leg(At(9, 45, true, false), 1, "WP0", "WP1", 10000);
    lost.activeWaypoint = 0xFFFFFFFFu;
    flight.tracker.Step(lost);
    EXPECT_EQ(flight.out.Count(FlightEvent::WaypointRegistered), 0);
    flight.tracker.Step(Leg(At(9, 50, true, false), 2, "WP1", "WP2", 10000));
    flight.tracker.Step(Leg(At(9, 55, true, false), 3, "WP2", "WP3", 10000));
    flight.tracker.Step(Leg(At(10, 0, false, true), 3, "WP2", "WP3", 0));
    EXPECT_EQ(flight.out.Count(FlightEvent::Arrival), 1);
}

}  // namespace
}  // namespace aerolinker
