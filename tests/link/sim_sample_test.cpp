// The per-tick sample, the connect batch and the in-simulator messages, served by the test
// server through the loopback platform.
#include "link/sim_sample.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "common/little_endian.h"
#include "link/loopback/platform.h"
#include "link/protocol_test_server.h"

namespace aerolinker {
namespace {

using testing::ProtocolTestServer;
using Bytes = std::vector<std::uint8_t>;

class SimSampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        LinkResult opened = LinkNotOpen;
        ASSERT_TRUE(link.OpenLink(0, opened));
    }

    // A simulator in flight, every value distinct.
    void FillFlight() {
        server.Put(0x023B, "\x0D\x2D\x07", 3);  // 13:45, and a byte after the minute
        server.Put16(0x0F8C, 2500);
        server.Put16(0x0EC6, 16210);
        server.Put16(0x0F74, 0x4000);
        server.Put16(0x0F72, 12);
        server.Put16(0x0F42, 15 * 256);
        server.Put16(0x0EA6, 0x6000);
        for (std::uint32_t i = 0; i < 15; ++i) {
            server.Put32(0x0B74 + 4 * i, 1000 * i + 1);
        }
        server.Put32(0x0570, 0x80000000);
        server.Put32(0x0574, 1500);
        server.PutText(0x6081, std::string("LIRF\0", 5));
        server.PutText(0x60A4, std::string("ELB\0", 4));
        server.PutDouble(0x60F4, 12345.5);
        server.PutDouble(0x6038, 1.25);
        server.Put32(0x60E4, 600);
        server.Put32(0x619C, 45000);
        server.Put32(0x616C, 3);
        server.PutText(0x6140, std::string("ILS16L\0", 7));
        server.PutText(0x6154, std::string("TORRE\0", 6));
        server.PutText(0x6137, std::string("LIMC\0", 5));
        server.PutDouble(0x6030, 120.0);
        server.PutDouble(0x61A0, 500000.0);
        server.PutDouble(0x61A8, 1234.5);
        server.Put16(0x0894, 1);
        server.Put16(0x092C, 1);
        server.Put16(0x09C4, 0);
        server.Put16(0x0A5C, 0xFFFF);
        server.Put16(0x0366, 1);
        // Negative values check the sign of each recorder field.
        const auto latitude = le::Bytes(std::int64_t{-4503599627370496});
        server.Put(0x0560, latitude.data(), latitude.size());
        const auto longitude = le::Bytes(std::int64_t{0x0123456789ABCDEF});
        server.Put(0x0568, longitude.data(), longitude.size());
        server.Put32(0x02C8, static_cast<std::uint32_t>(-1280));
        server.Put32(0x030C, static_cast<std::uint32_t>(-256));
        server.Put16(0x0264, 1);
        server.Put16(0x05DC, 0);
        server.Put16(0x0C1A, 512);
        server.Put16(0x11BA, static_cast<std::uint16_t>(-625));
        // The clock block: local 14:45:37 on day 342 of 2026 (8 December), UTC 13:45.
        server.Put(0x0238, "\x0E\x2D\x25", 3);
        server.Put16(0x023E, 342);
        server.Put16(0x0240, 2026);
        server.Put32(0x02BC, 150 * 128 + 64);
        server.Put32(0x0020, static_cast<std::uint32_t>(-30 * 256));
        // The overspeed warning sounds, the stall warning beside it does not.
        server.Put(0x036C, "\x00\x01", 2);
        server.Put16(0x0D0C, 0x0005);
        server.Put16(0x0840, 1);
        server.Put32(0x0BE8, 16383);
    }

    LoopbackPlatform platform;
    ProtocolTestServer server{platform};
    FsuipcLink link{platform};
    SimSample sample;
    LinkResult lastLinkResult = LinkOk;
};

void ExpectSameSample(const SimSample& actual, const SimSample& expected) {
    EXPECT_EQ(actual.clockHour, expected.clockHour);
    EXPECT_EQ(actual.clockMinute, expected.clockMinute);
    EXPECT_EQ(actual.visibility, expected.visibility);
    EXPECT_EQ(actual.qnh, expected.qnh);
    EXPECT_EQ(actual.windDirection, expected.windDirection);
    EXPECT_EQ(actual.windSpeed, expected.windSpeed);
    EXPECT_EQ(actual.temperature, expected.temperature);
    EXPECT_EQ(actual.cloudCover, expected.cloudCover);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(actual.fuelTanks[i], expected.fuelTanks[i]) << "fuel value " << i;
    }
    EXPECT_EQ(actual.altitudeFraction, expected.altitudeFraction);
    EXPECT_EQ(actual.altitudeMetres, expected.altitudeMetres);
    EXPECT_EQ(actual.previousWaypoint.Text(), expected.previousWaypoint.Text());
    EXPECT_EQ(actual.nextWaypoint.Text(), expected.nextWaypoint.Text());
    EXPECT_EQ(actual.distanceToNext, expected.distanceToNext);
    EXPECT_EQ(actual.trueHeading, expected.trueHeading);
    EXPECT_EQ(actual.timeToNext, expected.timeToNext);
    EXPECT_EQ(actual.estimatedArrival, expected.estimatedArrival);
    EXPECT_EQ(actual.activeWaypoint, expected.activeWaypoint);
    EXPECT_EQ(actual.approachName.Text(), expected.approachName.Text());
    EXPECT_EQ(actual.approachTransition.Text(), expected.approachTransition.Text());
    EXPECT_EQ(actual.destination.Text(), expected.destination.Text());
    EXPECT_EQ(actual.groundSpeed, expected.groundSpeed);
    EXPECT_EQ(actual.routeDistance, expected.routeDistance);
    EXPECT_EQ(actual.gpsFuel, expected.gpsFuel);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(actual.engineCombustion[i], expected.engineCombustion[i]) << "engine " << i;
    }
    EXPECT_EQ(actual.onGround, expected.onGround);
    EXPECT_EQ(actual.recorder.latitude, expected.recorder.latitude);
    EXPECT_EQ(actual.recorder.touchdownSpeed, expected.recorder.touchdownSpeed);
    EXPECT_EQ(actual.recorder.pause, expected.recorder.pause);
    EXPECT_EQ(actual.approachLoaded, expected.approachLoaded);
    EXPECT_EQ(actual.aircraftTitle.Text(), expected.aircraftTitle.Text());
}

// --- The per-tick sample -----------------------------------------------------------------------

TEST_F(SimSampleTest, OneBatchOfTheTwentyNineReadsThenTheRecordersThenTheRules) {
    SampleSimulator(link, sample, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkOk);
    ASSERT_EQ(server.messages(), 2);  // the handshake, then the sample

    const std::pair<std::uint32_t, std::uint32_t> expected[] = {
        {0x023B, 2},
        {0x023C, 2},
        {0x0F8C, 2},
        {0x0EC6, 2},
        {0x0F74, 2},
        {0x0F72, 2},
        {0x0F42, 2},
        {0x0EA6, 2},
        {0x0B74, 60},
        {0x0570, 4},
        {0x0574, 4},
        {0x6081, 6},
        {0x60A4, 6},
        {0x60F4, 8},
        {0x6038, 8},
        {0x60E4, 4},
        {0x619C, 4},
        {0x616C, 4},
        {0x6140, 10},
        {0x6154, 10},
        {0x6137, 5},
        {0x6030, 8},
        {0x61A0, 8},
        {0x61A8, 8},
        {0x0894, 2},
        {0x092C, 2},
        {0x09C4, 2},
        {0x0A5C, 2},
        {0x0366, 2},
        // The flight recorder's, after the 29: latitude with longitude, the indicated airspeed
        // with the vertical speed 12 bytes on, each as one read.
        {0x0560, 16},
        {0x02BC, 16},
        {0x030C, 4},
        {0x0264, 2},
        {0x05DC, 2},
        {0x0C1A, 2},
        {0x11BA, 2},
        {0x0238, 16},
        {0x0020, 4},
        // The flight rules', after the recorder's: the stall and overspeed warnings as one.
        {0x0D0C, 2},
        {0x036C, 2},
        {0x0840, 2},
        {0x0BE8, 4},
    };
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), std::size(expected));
    for (std::size_t i = 0; i < batch.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(batch[i].type, 1u);
        EXPECT_EQ(batch[i].offset, expected[i].first);
        EXPECT_EQ(batch[i].size, expected[i].second);
    }
}

TEST_F(SimSampleTest, EveryFieldTakesItsValue) {
    FillFlight();
    SampleSimulator(link, sample, lastLinkResult);
    ASSERT_EQ(lastLinkResult, LinkOk);

    EXPECT_EQ(sample.clockHour, 13);
    EXPECT_EQ(sample.clockMinute, 45);  // the byte after it is not part of the minute
    EXPECT_EQ(sample.visibility, 2500);
    EXPECT_EQ(sample.qnh, 16210);
    EXPECT_EQ(sample.windDirection, 0x4000);
    EXPECT_EQ(sample.windSpeed, 12);
    EXPECT_EQ(sample.temperature, 15 * 256);
    EXPECT_EQ(sample.cloudCover, 0x6000);
    EXPECT_EQ(sample.fuelTanks[kCentreLevel], 1u);
    EXPECT_EQ(sample.fuelTanks[kRightAuxCapacity], 11001u);
    EXPECT_EQ(sample.fuelTanks[kFuelBeyond], 14001u);
    EXPECT_EQ(sample.altitudeFraction, 0x80000000u);
    EXPECT_EQ(sample.altitudeMetres, 1500u);
    EXPECT_EQ(sample.previousWaypoint.Text(), "LIRF");
    EXPECT_EQ(sample.nextWaypoint.Text(), "ELB");
    EXPECT_EQ(sample.distanceToNext, 12345.5);
    EXPECT_EQ(sample.trueHeading, 1.25);
    EXPECT_EQ(sample.timeToNext, 600u);
    EXPECT_EQ(sample.estimatedArrival, 45000u);
    EXPECT_EQ(sample.activeWaypoint, 3u);
    EXPECT_EQ(sample.approachName.Text(), "ILS16L");
    EXPECT_EQ(sample.approachTransition.Text(), "TORRE");
    EXPECT_EQ(sample.destination.Text(), "LIMC");
    EXPECT_EQ(sample.groundSpeed, 120.0);
    EXPECT_EQ(sample.routeDistance, 500000.0);
    EXPECT_EQ(sample.gpsFuel, 1234.5);
    EXPECT_EQ(sample.engineCombustion[0], 1);
    EXPECT_EQ(sample.engineCombustion[1], 1);
    EXPECT_EQ(sample.engineCombustion[2], 0);
    EXPECT_EQ(sample.engineCombustion[3], -1);
    EXPECT_EQ(sample.onGround, 1);
    EXPECT_TRUE(sample.approachLoaded);
    EXPECT_EQ(sample.recorder.latitude, -4503599627370496);
    EXPECT_EQ(sample.recorder.longitude, 0x0123456789ABCDEF);
    EXPECT_EQ(sample.recorder.verticalSpeed, -1280);
    EXPECT_EQ(sample.recorder.touchdownSpeed, -256);
    EXPECT_EQ(sample.recorder.pause, 1);
    EXPECT_EQ(sample.recorder.slew, 0);
    EXPECT_EQ(sample.recorder.simulationRate, 512);
    EXPECT_EQ(sample.recorder.gForce, -625);
    EXPECT_EQ(sample.recorder.localHour, 14);
    EXPECT_EQ(sample.recorder.localMinute, 45);
    EXPECT_EQ(sample.recorder.second, 37);
    EXPECT_EQ(sample.recorder.utcHour, 13);
    EXPECT_EQ(sample.recorder.utcMinute, 45);
    EXPECT_EQ(sample.recorder.dayOfYear, 342);
    EXPECT_EQ(sample.recorder.year, 2026);
    EXPECT_EQ(sample.recorder.indicatedAirspeed, 150u * 128 + 64);
    EXPECT_EQ(sample.recorder.groundAltitude, -30 * 256);
    EXPECT_EQ(sample.rules.stallWarning, 0);
    EXPECT_EQ(sample.rules.overspeedWarning, 1);
    EXPECT_EQ(sample.rules.lights, 0x0005);
    EXPECT_EQ(sample.rules.crashed, 1);
    EXPECT_EQ(sample.rules.gearControl, 16383u);
}

// The look at the landing between ticks: its own small batch, on-ground first (the substitute
// simulator tells the look by it), the position and altitude as one read.
TEST_F(SimSampleTest, TheLookAtTheLandingReadsItsOwnBatch) {
    FillFlight();
    SimSample look;
    ASSERT_TRUE(LookAtLanding(link, look, lastLinkResult));
    const std::pair<std::uint32_t, std::uint32_t> expected[] = {
        {0x0366, 2},  {0x030C, 4}, {0x11BA, 2},  {0x02C8, 4},
        {0x0560, 24}, {0x6030, 8}, {0x0238, 16}, {0x0020, 4},
    };
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), std::size(expected));
    for (std::size_t i = 0; i < batch.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(batch[i].offset, expected[i].first);
        EXPECT_EQ(batch[i].size, expected[i].second);
    }
    EXPECT_EQ(look.onGround, 1);
    EXPECT_EQ(look.recorder.latitude, -4503599627370496);
    EXPECT_EQ(look.recorder.longitude, 0x0123456789ABCDEF);
    EXPECT_EQ(look.altitudeFraction, 0x80000000u);
    EXPECT_EQ(look.altitudeMetres, 1500u);
    EXPECT_EQ(look.recorder.verticalSpeed, -1280);
    EXPECT_EQ(look.recorder.touchdownSpeed, -256);
    EXPECT_EQ(look.recorder.gForce, -625);
    EXPECT_EQ(look.recorder.second, 37);
    EXPECT_EQ(look.recorder.groundAltitude, -30 * 256);
}

TEST_F(SimSampleTest, FullWaypointIdentifiersGiveExactlySixCharacters) {
    server.PutText(0x6081, "ABCDEFX");  // the seventh byte is beyond the field
    server.PutText(0x60A4, "GHIJKLY");
    server.PutText(0x6137, "LIMCZ9");
    SampleSimulator(link, sample, lastLinkResult);
    ASSERT_EQ(lastLinkResult, LinkOk);
    EXPECT_EQ(sample.previousWaypoint.Text(), "ABCDEF");
    EXPECT_EQ(sample.nextWaypoint.Text(), "GHIJKL");
    EXPECT_EQ(sample.destination.Text(), "LIMCZ");
}

TEST_F(SimSampleTest, ApproachFlagFollowsTheApproachName) {
    EXPECT_FALSE(sample.approachLoaded);
    server.PutText(0x6140, std::string("VOR34\0", 6));
    SampleSimulator(link, sample, lastLinkResult);
    EXPECT_TRUE(sample.approachLoaded);

    server.PutText(0x6140, std::string(10, '\0'));
    SampleSimulator(link, sample, lastLinkResult);
    EXPECT_FALSE(sample.approachLoaded);
    EXPECT_EQ(sample.approachName.Text(), "");
}

TEST_F(SimSampleTest, FailedSampleKeepsEveryField) {
    FillFlight();
    sample.aircraftTitle.Set("Boeing 737-800");
    SampleSimulator(link, sample, lastLinkResult);
    ASSERT_EQ(lastLinkResult, LinkOk);
    const SimSample good = sample;

    // The simulator changes, but its answers never arrive.
    server.Put(0x023B, "\x0E\x00", 2);
    server.PutText(0x6140, std::string(10, '\0'));
    server.Put16(0x0366, 0);
    platform.faults().failingSends = 10;
    SampleSimulator(link, sample, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkTimedOut);
    ExpectSameSample(sample, good);

    server.AnswerWith(0);
    SampleSimulator(link, sample, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkBadReply);
    ExpectSameSample(sample, good);

    link.CloseLink();
    SampleSimulator(link, sample, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkNotOpen);
    ExpectSameSample(sample, good);
}

// --- The connect batch -------------------------------------------------------------------------

TEST_F(SimSampleTest, ConnectBatchReadsTitleRouteWaypointCountAndDeparture) {
    const std::string title(255, 'T');
    server.PutText(0x3D00, title + "!");  // a 256th byte the field must not take
    server.PutDouble(0x61A0, 812345.0);
    server.Put32(0x6120, 7);
    server.PutText(0x6081, std::string("KJFK\0", 5));
    std::int32_t waypointCount = -1;

    ReadConnectBatch(link, sample, waypointCount, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkOk);
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), 4u);
    EXPECT_EQ(batch[0].offset, 0x3D00u);
    EXPECT_EQ(batch[0].size, 255u);
    EXPECT_EQ(batch[1].offset, 0x61A0u);
    EXPECT_EQ(batch[1].size, 8u);
    EXPECT_EQ(batch[2].offset, 0x6120u);
    EXPECT_EQ(batch[2].size, 4u);
    EXPECT_EQ(batch[3].offset, 0x6081u);
    EXPECT_EQ(batch[3].size, 6u);

    EXPECT_EQ(sample.aircraftTitle.Text(), title);
    EXPECT_EQ(sample.aircraftTitle.bytes[255], 0);
    EXPECT_EQ(sample.routeDistance, 812345.0);
    EXPECT_EQ(waypointCount, 7);
    EXPECT_EQ(sample.previousWaypoint.Text(), "KJFK");
}

TEST_F(SimSampleTest, FailedConnectBatchKeepsItsFields) {
    sample.aircraftTitle.Set("Cessna 172");
    sample.routeDistance = 1000.0;
    sample.previousWaypoint.Set("LIRF");
    std::int32_t waypointCount = 4;
    server.PutText(0x3D00, std::string("Learjet\0", 8));
    server.Put32(0x6120, 9);

    platform.faults().failingSends = 10;
    platform.faults().sendLastError = 5;
    ReadConnectBatch(link, sample, waypointCount, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkSendFailed);
    EXPECT_EQ(sample.aircraftTitle.Text(), "Cessna 172");
    EXPECT_EQ(sample.routeDistance, 1000.0);
    EXPECT_EQ(sample.previousWaypoint.Text(), "LIRF");
    EXPECT_EQ(waypointCount, 4);
}

// --- Messages in the simulator ---------------------------------------------------------------

// The text field the server received: text bytes up to the zero, and whether the rest is zero.
std::string MessageText(const Bytes& field) {
    std::string text;
    std::size_t i = 0;
    for (; i < field.size() && field[i] != 0; ++i) {
        text += static_cast<char>(field[i]);
    }
    for (; i < field.size(); ++i) {
        if (field[i] != 0) {
            text += "<garbage after the zero>";
            break;
        }
    }
    return text;
}

TEST_F(SimSampleTest, MessageGoesWithItsSequenceAndSixteenSecondsInOneBatch) {
    ShowSimMessage(link, "Attention please !!! Plan not loaded. ", 10, 0, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkOk);
    ASSERT_EQ(server.messages(), 2);
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[0].type, 2u);
    EXPECT_EQ(batch[0].offset, 0x3380u);
    ASSERT_EQ(batch[0].size, 128u);
    EXPECT_EQ(MessageText(batch[0].data), "Attention please !!! Plan not loaded.  # 0");
    EXPECT_EQ(batch[1].type, 2u);
    EXPECT_EQ(batch[1].offset, 0x32FAu);
    EXPECT_EQ(batch[1].data, (Bytes{16, 0}));
}

TEST_F(SimSampleTest, DisplayCodeDigitsAreReadAsHexadecimal) {
    const std::pair<std::int16_t, std::uint16_t> cases[] = {{10, 16}, {5, 5},     {15, 21},
                                                            {0, 0},   {99, 0x99}, {1234, 0x1234}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ShowSimMessage(link, "Take off : Have a good flight", c.first, 1, lastLinkResult);
        EXPECT_EQ(lastLinkResult, LinkOk);
        const Bytes expected = {static_cast<std::uint8_t>(c.second),
                                static_cast<std::uint8_t>(c.second >> 8)};
        EXPECT_EQ(server.lastBatch()[1].data, expected);
    }
}

TEST_F(SimSampleTest, SequenceNumbersAreDecimalWithTheirSign) {
    ShowSimMessage(link, "Waypoint", 10, 12, lastLinkResult);
    EXPECT_EQ(MessageText(server.lastBatch()[0].data), "Waypoint # 12");
    ShowSimMessage(link, "Waypoint", 10, -3, lastLinkResult);
    EXPECT_EQ(MessageText(server.lastBatch()[0].data), "Waypoint # -3");
}

TEST_F(SimSampleTest, LongMessagesAreCutTo127Characters) {
    // " # 0" adds four characters.
    const std::string fits(123, 'a');
    ShowSimMessage(link, fits, 10, 0, lastLinkResult);
    EXPECT_EQ(MessageText(server.lastBatch()[0].data), fits + " # 0");

    ShowSimMessage(link, fits + "b", 10, 0, lastLinkResult);
    EXPECT_EQ(MessageText(server.lastBatch()[0].data), fits + "b # ");
    EXPECT_EQ(server.lastBatch()[0].data[127], 0);

    const std::string longer(300, 'c');
    WriteSimMessage(link, longer, 21, lastLinkResult);
    EXPECT_EQ(MessageText(server.lastBatch()[0].data), std::string(127, 'c'));
}

TEST_F(SimSampleTest, DirectMessageHasNoSuffixAndItsOwnTime) {
    WriteSimMessage(link, "Welcome at LIMC airport. End of Flight!", 21, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkOk);
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[0].offset, 0x3380u);
    EXPECT_EQ(MessageText(batch[0].data), "Welcome at LIMC airport. End of Flight!");
    EXPECT_EQ(batch[1].offset, 0x32FAu);
    EXPECT_EQ(batch[1].data, (Bytes{21, 0}));
}

TEST_F(SimSampleTest, MessagesOnAClosedLinkReportNotOpen) {
    link.CloseLink();
    ShowSimMessage(link, "Take off : Have a good flight", 10, 1, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkNotOpen);
    lastLinkResult = LinkOk;
    WriteSimMessage(link, "Welcome", 21, lastLinkResult);
    EXPECT_EQ(lastLinkResult, LinkNotOpen);
    EXPECT_EQ(server.messages(), 1);
}

}  // namespace
}  // namespace aerolinker
