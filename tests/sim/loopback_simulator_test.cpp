// The program's own link end to end against the in-process simulator: open, connect batch,
// samples, messages, the network client's window class and saved flights.
#include "sim/loopback_simulator.h"

#include <gtest/gtest.h>

#include "link/fsuipc_link.h"
#include "link/sim_sample.h"
#include "sim_test_support.h"

namespace aerolinker {
namespace {

using testing::ScenarioFrom;
using testing::ScratchFolder;

constexpr const char* kScenario =
    "scenario \"Loopback\"\n"
    "title \"Generic Twin Turboprop\"\n"
    "waypoint_count 5\n"
    "route_distance 250000\n"
    "prev LIEO\n"
    "next OLB\n"
    "clock 09:52\n"
    "frame\n"
    "engines 1 0 0 0\n"
    "on_ground 1\n"
    "frame 2\n"
    "on_ground 0\n"
    "heading 4.36332\n";

TEST(LoopbackSimulatorTest, LinkOpensReadsTheFlightPlanSamplesAndShowsMessages) {
    LoopbackPlatform platform;
    LoopbackSimulator simulator(platform, ScenarioFrom(kScenario));
    FsuipcLink link(platform);
    LinkResult result = LinkNoServer;
    ASSERT_TRUE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkOk);
    EXPECT_EQ(link.state().serverVersion, 0x19990000u);
    EXPECT_EQ(link.state().simulatorVersion, 7u);

    SimSample sample;
    std::int32_t waypointCount = 0;
    ReadConnectBatch(link, sample, waypointCount, result);
    EXPECT_EQ(result, LinkOk);
    EXPECT_EQ(sample.aircraftTitle.Text(), "Generic Twin Turboprop");
    EXPECT_EQ(waypointCount, 5);
    EXPECT_EQ(sample.routeDistance, 250000.0);
    EXPECT_EQ(sample.previousWaypoint.Text(), "LIEO");
    EXPECT_EQ(simulator.server().player().position(), 0u);

    SampleSimulator(link, sample, result);
    EXPECT_EQ(result, LinkOk);
    EXPECT_EQ(simulator.server().player().position(), 1u);
    EXPECT_EQ(sample.clockHour, 9);
    EXPECT_EQ(sample.clockMinute, 52);
    EXPECT_EQ(sample.engineCombustion[0], 1);
    EXPECT_EQ(sample.onGround, 1);
    EXPECT_EQ(sample.nextWaypoint.Text(), "OLB");

    ShowSimMessage(link, "Take off : Have a good flight", 10, 1, result);
    EXPECT_EQ(result, LinkOk);
    SampleSimulator(link, sample, result);
    EXPECT_EQ(sample.onGround, 0);
    EXPECT_EQ(sample.trueHeading, 4.36332);

    const auto& entries = simulator.server().transcript().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, TranscriptKind::LibraryVersion);
    EXPECT_EQ(entries[0].value, 1004u);
    EXPECT_EQ(entries[1].kind, TranscriptKind::Message);
    EXPECT_EQ(entries[1].text, "Take off : Have a good flight # 1");
    EXPECT_EQ(entries[1].value, 16u);
    EXPECT_EQ(entries[1].tick, 1u);
    EXPECT_EQ(entries[1].Line(), "tick 1: message for 16 s: \"Take off : Have a good flight # 1\"");

    // Closing and opening again: the handshake still sees FSUIPC's versions.
    link.CloseLink();
    ASSERT_TRUE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkOk);
}

// The simulator under either window class, with the versions its scenario gives: the link
// tells FSUIPC from WideClient and a simulator too old or of another kind from a good one.
TEST(LoopbackSimulatorTest, ServesAsTheNetworkClientAndReportsItsVersions) {
    const struct {
        const char* windowClass;
        const char* scenario;
        std::int32_t requested;
        LinkResult expected;
    } cases[] = {
        {protocol::kNetworkClientClass, "simulator_code 6\n", 6, LinkOk},
        {protocol::kNetworkClientClass, "simulator_code 6\n", 2, LinkWrongSimulator},
        {protocol::kNetworkClientClass, "server_version 0x19980004\n", 0, LinkServerNotRunning},
        {protocol::kServerClass, "server_version 0x19980004\n", 0, LinkBadVersion},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.windowClass) + " " + c.scenario);
        LoopbackPlatform platform;
        LoopbackSimulator::Options options;
        options.windowClass = c.windowClass;
        LoopbackSimulator simulator(platform, ScenarioFrom(c.scenario), options);
        FsuipcLink link(platform);
        LinkResult result = LinkNotOpen;  // none of the expected results
        EXPECT_EQ(link.OpenLink(c.requested, result), c.expected == LinkOk);
        EXPECT_EQ(result, c.expected);
    }
}

TEST(LoopbackSimulatorTest, WindowGoesAwayWithTheSimulator) {
    LoopbackPlatform platform;
    {
        LoopbackSimulator simulator(platform, ScenarioFrom(""));
        EXPECT_EQ(platform.FindTopLevelWindow(protocol::kServerClass), simulator.window());
    }
    EXPECT_EQ(platform.FindTopLevelWindow(protocol::kServerClass), 0u);
    FsuipcLink link(platform);
    LinkResult result = LinkOk;
    EXPECT_FALSE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkNoServer);
}

// The situation save and load as the program sends them: the save's control byte and name in
// one batch; the load's name in one batch and its control byte in the next.
void SaveSituation(FsuipcLink& link) {
    LinkResult result = LinkOk;
    const std::uint8_t save = 1;
    char name[offsets::kFlightFileNameSize] = "navforge";
    link.QueueWrite(offsets::kFlightFileControl, 1, &save, result);
    link.QueueWrite(offsets::kFlightFileName, sizeof name, name, result);
    ASSERT_TRUE(link.ProcessRequests(result));
}

void LoadSituation(FsuipcLink& link) {
    LinkResult result = LinkOk;
    char name[offsets::kFlightFileNameSize] = "navforge.flt";
    link.QueueWrite(offsets::kFlightFileName, sizeof name, name, result);
    ASSERT_TRUE(link.ProcessRequests(result));
    const std::uint8_t load = 0;
    link.QueueWrite(offsets::kFlightFileControl, 1, &load, result);
    ASSERT_TRUE(link.ProcessRequests(result));
}

TEST(LoopbackSimulatorTest, SituationSavedInOneRunIsLoadedInTheNext) {
    ScratchFolder flights;
    const auto scenario = ScenarioFrom(kScenario);
    LoopbackSimulator::Options options;
    options.flightsFolder = flights.path();
    SimSample sample;
    LinkResult result = LinkOk;
    {
        LoopbackPlatform platform;
        LoopbackSimulator simulator(platform, scenario, options);
        FsuipcLink link(platform);
        ASSERT_TRUE(link.OpenLink(0, result));
        SampleSimulator(link, sample, result);
        SampleSimulator(link, sample, result);
        SaveSituation(link);
        EXPECT_TRUE(simulator.server().transcript().entries().back().done);
    }
    LoopbackPlatform platform;
    LoopbackSimulator simulator(platform, scenario, options);
    FsuipcLink link(platform);
    ASSERT_TRUE(link.OpenLink(0, result));
    LoadSituation(link);
    const TranscriptEntry& loaded = simulator.server().transcript().entries().back();
    EXPECT_EQ(loaded.kind, TranscriptKind::FlightLoad);
    EXPECT_TRUE(loaded.done) << loaded.detail;
    SampleSimulator(link, sample, result);
    EXPECT_EQ(simulator.server().player().position(), 3u);
    EXPECT_EQ(sample.onGround, 0);
    EXPECT_EQ(sample.clockMinute, 52);
}

}  // namespace
}  // namespace aerolinker
