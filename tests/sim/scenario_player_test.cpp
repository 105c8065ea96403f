// Playing a scenario through the server: one frame per sample, the running clock, holding
// at the end, and saved flights coming back in a new simulator.
#include "sim/scenario_player.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "common/calendar.h"
#include "common/file_io.h"
#include "link/fsuipc_offsets.h"
#include "request_area.h"
#include "sim/sim_server.h"
#include "sim_test_support.h"

namespace aerolinker {
namespace {

using testing::RequestArea;
using testing::ScenarioFrom;
using testing::ScratchFolder;

constexpr const char* kThreeFrames =
    "scenario \"Three frames\"\n"
    "clock 09:59:50\n"
    "u16 0x4000 100\n"
    "frame\n"
    "u16 0x4000 1\n"
    "frame 3\n"
    "u16 0x4000 2\n"
    "u16 0x4002 9\n"
    "frame\n"
    "u16 0x4000 3\n";

struct Sampled {
    std::uint16_t value;
    std::uint16_t kept;
    int hour;
    int minute;
};

// One tick's sample, as the program's first request of the batch starts it.
Sampled Sample(SimServer& server) {
    RequestArea area;
    const std::size_t hour = area.Read(offsets::kClockHour, 2);
    const std::size_t minute = area.Read(offsets::kClockMinute, 2);
    const std::size_t value = area.Read(0x4000, 2);
    const std::size_t kept = area.Read(0x4002, 2);
    EXPECT_EQ(server.Serve(area.data(), RequestArea::kSize), SimServer::kServed);
    return Sampled{static_cast<std::uint16_t>(area.Value(value, 2)),
                   static_cast<std::uint16_t>(area.Value(kept, 2)), area.bytes()[hour],
                   area.bytes()[minute]};
}

void SaveFlight(SimServer& server, const std::string& name) {
    RequestArea area;
    area.Write(offsets::kFlightFileControl, {1});
    area.WriteText(offsets::kFlightFileName, offsets::kFlightFileNameSize, name);
    ASSERT_EQ(server.Serve(area.data(), RequestArea::kSize), SimServer::kServed);
}

// The load names the flight in one batch and sets the control byte in the next.
void LoadFlight(SimServer& server, const std::string& name) {
    RequestArea naming;
    naming.WriteText(offsets::kFlightFileName, offsets::kFlightFileNameSize, name);
    ASSERT_EQ(server.Serve(naming.data(), RequestArea::kSize), SimServer::kServed);
    RequestArea control;
    control.Write(offsets::kFlightFileControl, {0});
    ASSERT_EQ(server.Serve(control.data(), RequestArea::kSize), SimServer::kServed);
}

TEST(ScenarioPlayerTest, EachSamplePlaysOneFrameTickAndTheLastFrameHolds) {
    SimServer server(ScenarioFrom(kThreeFrames), SimServer::Options{});
    EXPECT_EQ(server.player().totalTicks(), 5u);
    EXPECT_EQ(server.offsets().U16(0x4000), 100);  // before the first tick: initial values

    const int expected[] = {1, 2, 2, 2, 3, 3, 3};
    for (int tick = 0; tick < 7; ++tick) {
        SCOPED_TRACE(tick);
        const Sampled sampled = Sample(server);
        EXPECT_EQ(sampled.value, expected[tick]);
        EXPECT_EQ(sampled.kept, tick == 0 ? 0 : 9);  // frames keep what they do not change
    }
    EXPECT_EQ(server.player().position(), 5u);
    EXPECT_TRUE(server.player().holding());
}

// The clock the program reads at each sample: five seconds a tick from the first sample,
// still while the scenario holds at its end or a frame holds it, and through midnight.
TEST(ScenarioPlayerTest, ClockRunsFiveSecondsPerTickUnlessHeld) {
    const struct {
        const char* scenario;
        std::vector<std::uint32_t> seconds;  // the clock at each sample
    } cases[] = {
        {kThreeFrames, {35990, 35995, 36000, 36005, 36010, 36010}},
        {"clock 23:59:55\nframe 2\nframe 2\nclock 12:00 hold\nframe\nclock 08:00\n",
         {86395, 0, 43200, 43200, 28800}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        SimServer server(ScenarioFrom(c.scenario), SimServer::Options{});
        for (std::size_t tick = 0; tick < c.seconds.size(); ++tick) {
            SCOPED_TRACE(tick);
            const Sampled sampled = Sample(server);
            EXPECT_EQ(server.player().clockSeconds(), c.seconds[tick]);
            EXPECT_EQ(sampled.hour, static_cast<int>(c.seconds[tick] / 3600));
            EXPECT_EQ(sampled.minute, static_cast<int>(c.seconds[tick] / 60 % 60));
        }
    }
}

// The date and the local time beside the UTC clock: a zone ahead of UTC crosses into the next
// local day (and year) before UTC does; with the clock following the rate, 4x runs 20 seconds
// a tick and a pause stands still.
TEST(ScenarioPlayerTest, TheClockKeepsItsDateLocalTimeAndFollowsTheRateWhenAsked) {
    const struct {
        const char* scenario;
        std::vector<std::string> utc;  // ISO 8601 at each sample
        std::vector<int> localHour, dayOfYear, year;
        int zoneOffset;  // minutes behind UTC
    } cases[] = {
        {"clock 22:59:55\ndate 2026-12-31\nzone +01:00\nframe 3\n",
         {"2026-12-31T22:59:55Z", "2026-12-31T23:00:00Z", "2026-12-31T23:00:05Z"},
         {23, 0, 0},
         {365, 1, 1},
         {2026, 2027, 2027},
         -60},
        {"clock_follows_rate\nclock 12:09:30\ndate 2026-03-01\nzone -05:00\nsim_rate 4\n"
         "frame 2\nframe 2\npause 1\n",
         {"2026-03-01T12:09:30Z", "2026-03-01T12:09:50Z", "2026-03-01T12:10:10Z",
          "2026-03-01T12:10:10Z"},
         {7, 7, 7, 7},
         {60, 60, 60, 60},
         {2026, 2026, 2026, 2026},
         300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        SimServer server(ScenarioFrom(c.scenario), SimServer::Options{});
        for (std::size_t tick = 0; tick < c.utc.size(); ++tick) {
            SCOPED_TRACE(tick);
            Sample(server);
            const OffsetSpace& space = server.offsets();
            const long long utc = server.player().clockMilliseconds() / 1000;
            EXPECT_EQ(IsoUtcText(utc), c.utc[tick]);
            EXPECT_EQ(space.U8(offsets::kClockSecond), utc % 60);
            EXPECT_EQ(space.U8(offsets::kLocalHour), c.localHour[tick]);
            EXPECT_EQ(space.U16(offsets::kDayOfYear), c.dayOfYear[tick]);
            EXPECT_EQ(space.U16(offsets::kYear), c.year[tick]);
            EXPECT_EQ(space.S16(offsets::kZoneOffset), c.zoneOffset);
        }
    }
}

// Steps within a tick are made as the looks at the landing reach them, four a second, the
// clock showing each look's moment; the next tick makes whatever the looks did not reach.
TEST(ScenarioPlayerTest, LooksBetweenTicksSeeTheStepsOfTheTickInTime) {
    SimServer server(ScenarioFrom("clock 10:00\nu16 0x4000 0\nframe\nat 1.0\nu16 0x4000 1\n"
                                  "at 2.5\nu16 0x4000 2\nframe 2\n"),
                     SimServer::Options{});
    Sample(server);
    const struct {
        int looks;  // looks since the tick
        int value;
        int second;
    } expected[] = {{1, 0, 0}, {4, 1, 1}, {9, 1, 2}, {10, 2, 2}};
    int looked = 0;
    for (const auto& e : expected) {
        for (; looked < e.looks; ++looked) {
            RequestArea look;
            look.Read(offsets::kLandingLookFirst, 2);
            ASSERT_EQ(server.Serve(look.data(), RequestArea::kSize), SimServer::kServed);
        }
        EXPECT_EQ(server.offsets().U16(0x4000), e.value) << e.looks;
        EXPECT_EQ(server.offsets().U8(offsets::kClockSecond), e.second) << e.looks;
    }
    // A tick without looks still finds the frame's steps made.
    SimServer unlooked(ScenarioFrom("u16 0x4000 0\nframe\nat 4.5\nu16 0x4000 7\nframe\n"),
                       SimServer::Options{});
    Sample(unlooked);
    EXPECT_EQ(unlooked.offsets().U16(0x4000), 0);
    Sample(unlooked);
    EXPECT_EQ(unlooked.offsets().U16(0x4000), 7);
}

// Gliding, an airborne aircraft covers the way to the next position in equal steps, one a tick,
// the shorter way round (across the date line, not back over the world); on the ground it holds.
TEST(ScenarioPlayerTest, GlidingPositionsFlyStraightAndHoldOnTheGround) {
    const struct {
        const char* onGround;
        const char* from;
        const char* to;
        std::uint32_t offset;
        double unitsPerDegree;
        std::vector<double> degrees;  // at ticks 1 to 5
    } cases[] = {
        {"0",
         "0 0",
         "4 0",
         offsets::kLatitude,
         offsets::kLatitudeUnitsPerDegree,
         {0.8, 1.6, 2.4, 3.2, 4.0}},
        {"1",
         "0 0",
         "4 0",
         offsets::kLatitude,
         offsets::kLatitudeUnitsPerDegree,
         {0.0, 0.0, 0.0, 0.0, 4.0}},
        {"0",
         "0 179",
         "0 -179",
         offsets::kLongitude,
         offsets::kLongitudeUnitsPerDegree,
         {179.4, 179.8, -179.8, -179.4, -179.0}},
        {"0",
         "0 -10",
         "0 10",
         offsets::kLongitude,
         offsets::kLongitudeUnitsPerDegree,
         {-6.0, -2.0, 2.0, 6.0, 10.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.onGround) + " " + c.from + " to " + c.to);
        SimServer server(
            ScenarioFrom(std::string("positions_glide\nposition ") + c.from + "\non_ground " +
                         c.onGround + "\nframe\nframe 3\nframe\nposition " + c.to + "\n"),
            SimServer::Options{});
        for (const double degrees : c.degrees) {
            Sample(server);
            EXPECT_NEAR(static_cast<double>(server.offsets().S64(c.offset)) / c.unitsPerDegree,
                        degrees, 1e-9);
        }
    }
}

// Faster than the real pace, each sample plays several ticks: the scenario's values, its clock
// and its position move on together, and the end still holds.
TEST(ScenarioPlayerTest, AFasterSpeedPlaysThatManyTicksPerSample) {
    const struct {
        std::uint32_t ticksPerSample;
        std::vector<std::uint64_t> positions;  // after each sample
        std::vector<int> values;
        std::vector<std::uint32_t> seconds;
    } cases[] = {
        {1, {1, 2, 3}, {1, 2, 2}, {35990, 35995, 36000}},
        {4, {4, 5, 5}, {2, 3, 3}, {36005, 36010, 36010}},
        {16, {5, 5}, {3, 3}, {36010, 36010}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ticksPerSample);
        SimServer server(ScenarioFrom(kThreeFrames), SimServer::Options{".", c.ticksPerSample});
        for (std::size_t sample = 0; sample < c.positions.size(); ++sample) {
            SCOPED_TRACE(sample);
            const Sampled sampled = Sample(server);
            EXPECT_EQ(server.player().position(), c.positions[sample]);
            EXPECT_EQ(sampled.value, c.values[sample]);
            EXPECT_EQ(server.player().clockSeconds(), c.seconds[sample]);
        }
    }
}

// A fast sample stops before a frame that hangs, so the hang still leaves the next requests
// unanswered and the frame plays after it, not skipped over.
TEST(ScenarioPlayerTest, AFasterSpeedStillHangsBeforeTheFrameThatHangs) {
    SimServer server(ScenarioFrom("frame 2\nu16 0x4000 1\nframe\nhang 2\nu16 0x4000 2\nframe 30\n"),
                     SimServer::Options{".", 16});
    EXPECT_EQ(Sample(server).value, 1);
    EXPECT_EQ(server.player().position(), 2u);
    RequestArea area;
    area.Read(offsets::kClockHour, 2);
    EXPECT_EQ(server.Serve(area.data(), RequestArea::kSize), SimServer::kNoAnswer);
    EXPECT_EQ(server.Serve(area.data(), RequestArea::kSize), SimServer::kNoAnswer);
    EXPECT_EQ(Sample(server).value, 2);
    EXPECT_EQ(server.player().position(), 18u);
}

TEST(ScenarioPlayerTest, RewindRebuildsWhatPlayingProduced) {
    const auto scenario = ScenarioFrom(
        "clock 10:00\nframe 4\nu8 0x4000 1\nframe 1000\nu8 0x4001 2\nclock 11:00\n"
        "frame 3\nu8 0x4000 7\n");
    for (const std::uint64_t position : {0u, 1u, 3u, 4u, 5u, 600u, 1004u, 1005u, 1007u}) {
        SCOPED_TRACE(position);
        ScenarioPlayer played(scenario);
        OffsetSpace playedSpace;
        played.Reset(playedSpace);
        for (std::uint64_t i = 0; i < position; ++i) {
            played.Advance(playedSpace);
        }
        ScenarioPlayer rebuilt(scenario);
        OffsetSpace rebuiltSpace;
        rebuilt.Reset(rebuiltSpace);
        rebuilt.Advance(rebuiltSpace);  // somewhere else first
        rebuilt.Rewind(rebuiltSpace, position);
        EXPECT_EQ(rebuilt.position(), played.position());
        EXPECT_EQ(rebuilt.clockSeconds(), played.clockSeconds());
        for (std::uint32_t offset :
             {0x4000u, 0x4001u, offsets::kClockHour, offsets::kClockMinute}) {
            EXPECT_EQ(rebuiltSpace.U8(offset), playedSpace.U8(offset)) << offset;
        }
        // Continuing from there plays the same ticks.
        played.Advance(playedSpace);
        rebuilt.Advance(rebuiltSpace);
        EXPECT_EQ(rebuiltSpace.U8(0x4000), playedSpace.U8(0x4000));
        EXPECT_EQ(rebuilt.clockSeconds(), played.clockSeconds());
    }
    ScenarioPlayer beyond(scenario);
    OffsetSpace space;
    beyond.Rewind(space, 5000000);
    EXPECT_EQ(beyond.position(), 1007u);
}

TEST(ScenarioPlayerTest, SavedFlightComesBackInANewSimulator) {
    ScratchFolder flights;
    const auto scenario = ScenarioFrom(kThreeFrames);
    {
        SimServer first(scenario, SimServer::Options{flights.path()});
        Sample(first);
        Sample(first);
        SaveFlight(first, "navforge");
        const TranscriptEntry& saved = first.transcript().entries().back();
        EXPECT_EQ(saved.kind, TranscriptKind::FlightSave);
        EXPECT_TRUE(saved.done);
        EXPECT_EQ(saved.text, "navforge");
        EXPECT_EQ(saved.Line(), "tick 2: flight saved as \"navforge\" (navforge.flt, tick 2)");
        Sample(first);
        Sample(first);
    }
    EXPECT_TRUE(FileExists(flights.path() + "\\navforge.flt"));

    // The pilot ends everything and starts again: a fresh simulator, at the start.
    SimServer second(scenario, SimServer::Options{flights.path()});
    EXPECT_EQ(Sample(second).value, 1);
    LoadFlight(second, "navforge.flt");
    const TranscriptEntry& loaded = second.transcript().entries().back();
    EXPECT_EQ(loaded.kind, TranscriptKind::FlightLoad);
    EXPECT_TRUE(loaded.done) << loaded.detail;
    EXPECT_EQ(loaded.Line(), "tick 1: flight loaded from \"navforge.flt\" (navforge.flt, tick 2)");
    EXPECT_EQ(second.player().position(), 2u);
    // The next tick is the one after the saved position.
    const Sampled next = Sample(second);
    EXPECT_EQ(next.value, 2);
    EXPECT_EQ(second.player().position(), 3u);
    EXPECT_EQ(second.player().clockSeconds(), 9 * 3600u + 59 * 60 + 50 + 10);
}

TEST(ScenarioPlayerTest, LoadRestoresOffsetsTheProgramWroteToTheScenarioValues) {
    ScratchFolder flights;
    SimServer server(ScenarioFrom(kThreeFrames), SimServer::Options{flights.path()});
    Sample(server);
    SaveFlight(server, "navforge");
    RequestArea overwrite;
    overwrite.WriteU16(0x4000, 555);
    ASSERT_EQ(server.Serve(overwrite.data(), RequestArea::kSize), SimServer::kServed);
    LoadFlight(server, "navforge.flt");
    EXPECT_EQ(server.offsets().U16(0x4000), 1);
    EXPECT_EQ(server.offsets().U32(offsets::kSimulatorVersion), 0xFADE0007u);
}

struct RefusedFlight {
    const char* name;
    bool save;
    std::string detail;
};

TEST(ScenarioPlayerTest, FlightsThatCannotBeSavedOrLoadedAreRefusedAndChangeNothing) {
    ScratchFolder flights;
    const auto other = ScenarioFrom("scenario \"Another\"\nframe\n");
    {
        SimServer elsewhere(other, SimServer::Options{flights.path()});
        SaveFlight(elsewhere, "other");
    }
    {
        std::ofstream garbage(flights.file("garbage.flt"));
        garbage << "position twelve\n";
    }
    const RefusedFlight cases[] = {
        {"", true, "no flight name"},
        {"..\\escape", false, "the name starts with a dot"},
        {"missing.flt", false, "no flight missing.flt in " + flights.path()},
        {"other", false, "other.flt: saved from another scenario"},
        {"garbage", false, "garbage.flt: not a saved flight"},
    };
    for (const RefusedFlight& c : cases) {
        SCOPED_TRACE(c.name);
        SimServer server(ScenarioFrom(kThreeFrames), SimServer::Options{flights.path()});
        Sample(server);
        if (c.save) {
            SaveFlight(server, c.name);
        } else {
            LoadFlight(server, c.name);
        }
        const TranscriptEntry& entry = server.transcript().entries().back();
        EXPECT_EQ(entry.kind, c.save ? TranscriptKind::FlightSave : TranscriptKind::FlightLoad);
        EXPECT_FALSE(entry.done);
        EXPECT_EQ(entry.detail, c.detail);
        EXPECT_EQ(server.player().position(), 1u);
    }
}

TEST(ScenarioPlayerTest, SaveIntoAMissingFolderIsRefusedWithTheSystemsReason) {
    ScratchFolder flights;
    SimServer server(ScenarioFrom(kThreeFrames),
                     SimServer::Options{flights.path() + "\\not-there"});
    SaveFlight(server, "navforge");
    const TranscriptEntry& entry = server.transcript().entries().back();
    EXPECT_FALSE(entry.done);
    EXPECT_EQ(
        entry.detail.rfind("cannot write " + flights.path() + "\\not-there\\navforge.flt: ", 0), 0u)
        << entry.detail;
}

TEST(ScenarioPlayerTest, OtherControlValuesAreRecordedAndIgnored) {
    SimServer server(ScenarioFrom(kThreeFrames), SimServer::Options{});
    RequestArea area;
    area.WriteText(offsets::kFlightFileName, offsets::kFlightFileNameSize, "navforge");
    area.Write(offsets::kFlightFileControl, {7});
    ASSERT_EQ(server.Serve(area.data(), RequestArea::kSize), SimServer::kServed);
    ASSERT_EQ(server.transcript().entries().size(), 1u);
    EXPECT_EQ(server.transcript().entries()[0].Line(),
              "tick 0: flight control 7 ignored for \"navforge\"");
}

}  // namespace
}  // namespace aerolinker
