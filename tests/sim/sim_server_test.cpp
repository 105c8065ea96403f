// The server core against hand-built request areas: reads, writes, versions, refused
// batches and the transcript.
#include "sim/sim_server.h"

#include <gtest/gtest.h>

#include <cstring>

#include "link/fsuipc_offsets.h"
#include "request_area.h"
#include "sim_test_support.h"

namespace aerolinker {
namespace {

using testing::RequestArea;
using testing::ScenarioFrom;

SimServer ServerFor(const std::string& scenarioText) {
    return SimServer(ScenarioFrom(scenarioText), SimServer::Options{});
}

std::uintptr_t Serve(SimServer& server, RequestArea& area) {
    return server.Serve(area.data(), RequestArea::kSize);
}

TEST(SimServerTest, ReadsFillEachRecordFromTheOffsetSpaceLittleEndian) {
    SimServer server = ServerFor(
        "u16 0x0F8C 0x1234\n"
        "s16 0x0366 -2\n"
        "u32 0x616C 0xA1B2C3D4\n"
        "f64 0x6038 4.36332\n"
        "prev EGKK\n"
        "next ABCDEF\n");
    RequestArea area;
    const std::size_t visibility = area.Read(offsets::kVisibility, 2);
    const std::size_t onGround = area.Read(offsets::kOnGround, 2);
    const std::size_t active = area.Read(offsets::kActiveWaypoint, 4);
    const std::size_t heading = area.Read(offsets::kTrueHeading, 8);
    const std::size_t previous = area.Read(offsets::kPreviousWaypoint, 6);
    const std::size_t next = area.Read(offsets::kNextWaypoint, 6);
    const std::size_t nothing = area.Read(offsets::kVisibility, 0);
    const std::size_t afterNothing = area.Read(offsets::kVisibility, 1);
    ASSERT_EQ(Serve(server, area), SimServer::kServed);

    EXPECT_EQ(area.bytes()[visibility], 0x34);
    EXPECT_EQ(area.bytes()[visibility + 1], 0x12);
    EXPECT_EQ(area.Value(onGround, 2), 0xFFFEu);
    EXPECT_EQ(area.Value(active, 4), 0xA1B2C3D4u);
    double value = 0;
    const std::uint64_t bits = area.Value(heading, 8);
    std::memcpy(&value, &bits, sizeof value);
    EXPECT_EQ(value, 4.36332);
    EXPECT_EQ(area.Text(previous, 6), "EGKK");
    // A full six-character field has no terminating zero.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&area.bytes()[next]), 6), "ABCDEF");
    // A read of no bytes is a bare header: the next record's data follow at once.
    EXPECT_EQ(afterNothing, nothing + 16);
    EXPECT_EQ(area.bytes()[afterNothing], 0x34);
}

TEST(SimServerTest, WritesApplyInOrderWithinTheBatch) {
    SimServer server = ServerFor("");
    RequestArea area;
    const std::size_t before = area.Read(0x4000, 4);
    area.WriteU32(0x4000, 0x01020304);
    const std::size_t after = area.Read(0x4000, 4);
    area.WriteU16(0x4002, 0xBEEF);
    ASSERT_EQ(Serve(server, area), SimServer::kServed);

    EXPECT_EQ(area.Value(before, 4), 0u);
    EXPECT_EQ(area.Value(after, 4), 0x01020304u);
    EXPECT_EQ(server.offsets().U32(0x4000), 0xBEEF0304u);
}

// The versions are the scenario's (FSUIPC's own by default); a client's write to them is kept
// out, so a second handshake, as after a reconnect, still finds FSUIPC's signature.
TEST(SimServerTest, ReportsTheScenariosVersionsThatTheClientCannotOverwrite) {
    const struct {
        const char* scenario;
        std::uint32_t serverVersion;
        std::uint32_t simulatorVersion;
    } cases[] = {
        {"", 0x19990000, 0xFADE0007},
        {"server_version 0x19980004\nsimulator_code 6\n", 0x19980004, 0xFADE0006},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        SimServer server = ServerFor(c.scenario);
        for (int handshake = 0; handshake < 2; ++handshake) {
            RequestArea area;
            const std::size_t serverVersion = area.Read(offsets::kServerVersion, 4);
            const std::size_t simulatorVersion = area.Read(offsets::kSimulatorVersion, 4);
            if (handshake == 0) {
                area.WriteU16(offsets::kLibraryVersion, 1004);
                area.WriteU32(offsets::kServerVersion, 0);
            }
            ASSERT_EQ(Serve(server, area), SimServer::kServed);
            EXPECT_EQ(area.Value(serverVersion, 4), c.serverVersion) << handshake;
            EXPECT_EQ(area.Value(simulatorVersion, 4), c.simulatorVersion) << handshake;
        }
        const auto& entries = server.transcript().entries();
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[0].kind, TranscriptKind::LibraryVersion);
        EXPECT_EQ(entries[0].value, 1004u);
        EXPECT_EQ(entries[0].Line(), "tick 0: library version 1004");
        EXPECT_EQ(entries[1].kind, TranscriptKind::Write);
        EXPECT_EQ(entries[1].Line(),
                  "tick 0: write 0x3304: 4 bytes 00 00 00 00 (versions are read-only)");
    }
}

struct MalformedCase {
    const char* name;
    void (*build)(RequestArea&);
    std::size_t areaSize;
    const char* reason;
};

const MalformedCase kMalformed[] = {
    {"unknown type", [](RequestArea& a) { a.Put32(3); }, RequestArea::kSize,
     "unknown record type 3 at byte 34"},
    {"type with a high byte", [](RequestArea& a) { a.Put32(0x101); }, RequestArea::kSize,
     "unknown record type 257 at byte 34"},
    {"read past the offset space", [](RequestArea& a) { a.Read(0xFFFF, 2); }, RequestArea::kSize,
     "the record at byte 34 leaves the offset space"},
    {"read size wrapping around", [](RequestArea& a) { a.Read(0x10, 0xFFFFFFF0); },
     RequestArea::kSize, "the data of the record at byte 34 run past the area"},
    {"write data past the area",
     [](RequestArea& a) {
         a.Put32(2);
         a.Put32(0x4000);
         a.Put32(0x8000);
     },
     RequestArea::kSize, "the data of the record at byte 34 run past the area"},
    {"header past the area", [](RequestArea& a) { a.Put32(1); }, 44,
     "a record header runs past the area at byte 34"},
    {"no terminator", [](RequestArea& a) { a.Read(0x4000, 4); }, 56,
     "no terminator before the end of the area"},
    {"area smaller than a terminator", [](RequestArea&) {}, 3,
     "no terminator before the end of the area"},
    {"no area at all", [](RequestArea&) {}, 0, "no terminator before the end of the area"},
};

// A batch is done whole or not at all: a sample that starts it does not advance the scenario
// and a write before the bad record is not performed.
TEST(SimServerTest, RefusesMalformedBatchesWholeAndSaysWhy) {
    for (const MalformedCase& c : kMalformed) {
        SCOPED_TRACE(c.name);
        SimServer server = ServerFor("u32 0x4000 7\nframe\n");
        RequestArea area;
        area.Read(offsets::kClockHour, 2);
        area.WriteU32(0x4000, 99);
        c.build(area);
        EXPECT_EQ(server.Serve(c.areaSize == 0 ? nullptr : area.data(), c.areaSize),
                  SimServer::kRefused);
        EXPECT_EQ(server.player().position(), 0u);
        EXPECT_EQ(server.offsets().U32(0x4000), 7u);
        ASSERT_EQ(server.transcript().entries().size(), 1u);
        const TranscriptEntry& entry = server.transcript().entries()[0];
        EXPECT_EQ(entry.kind, TranscriptKind::RefusedBatch);
        EXPECT_EQ(entry.detail, c.reason);
    }
}

TEST(SimServerTest, TranscriptRecordsMessagesConnectValuesAndOtherWrites) {
    SimServer server = ServerFor("");
    RequestArea connect;
    connect.WriteU32(offsets::kConnectValueA, 66493);
    connect.WriteU32(offsets::kConnectValueB, 66494);
    connect.WriteText(offsets::kMessageText, offsets::kMessageTextSize, "Hello \"pilot\"\t!");
    connect.WriteU16(offsets::kMessageTime, 5);
    connect.WriteU16(0x0BC0, 0x1234);
    ASSERT_EQ(Serve(server, connect), SimServer::kServed);

    const auto& entries = server.transcript().entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].kind, TranscriptKind::ConnectValue);
    EXPECT_EQ(entries[0].offset, offsets::kConnectValueA);
    EXPECT_EQ(entries[0].value, 66493u);
    EXPECT_EQ(entries[1].Line(), "tick 0: connect value 0x3214 = 66494");
    EXPECT_EQ(entries[2].kind, TranscriptKind::Message);
    EXPECT_EQ(entries[2].text, "Hello \"pilot\"\t!");
    EXPECT_EQ(entries[2].value, 5u);
    EXPECT_EQ(entries[2].Line(), "tick 0: message for 5 s: \"Hello \\\"pilot\\\"\\x09!\"");
    EXPECT_EQ(entries[3].Line(), "tick 0: write 0x0BC0: 2 bytes 34 12");

    // Writing the display time again shows the text that is there now.
    RequestArea again;
    again.WriteU16(offsets::kMessageTime, 16);
    ASSERT_EQ(Serve(server, again), SimServer::kServed);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[4].text, "Hello \"pilot\"\t!");
    EXPECT_EQ(entries[4].value, 16u);
}

TEST(SimServerTest, OnlyABatchThatStartsByReadingTheClockHourAdvancesTheScenario) {
    SimServer server = ServerFor("frame\nu8 0x4000 1\nframe\nu8 0x4000 2\n");
    RequestArea connect;
    connect.Read(offsets::kAircraftTitle, 255);
    connect.Read(offsets::kClockHour, 2);
    ASSERT_EQ(Serve(server, connect), SimServer::kServed);
    RequestArea clockWrite;
    clockWrite.WriteU16(offsets::kClockHour, 0);
    ASSERT_EQ(Serve(server, clockWrite), SimServer::kServed);
    EXPECT_EQ(server.player().position(), 0u);

    RequestArea sample;
    sample.Read(offsets::kClockHour, 2);
    const std::size_t value = sample.Read(0x4000, 1);
    ASSERT_EQ(Serve(server, sample), SimServer::kServed);
    EXPECT_EQ(server.player().position(), 1u);
    EXPECT_EQ(sample.bytes()[value], 1);
}

// A hung simulator answers nothing, whatever is asked, and its scenario stands still; once
// the hang's requests have gone by, the frame after it plays.
TEST(SimServerTest, AHangLeavesItsRequestsUnansweredAndHoldsTheScenario) {
    SimServer server = ServerFor("frame\nu8 0x4000 1\nframe\nhang 3\nu8 0x4000 2\n");
    RequestArea sample;
    sample.Read(offsets::kClockHour, 2);
    const std::size_t value = sample.Read(0x4000, 1);
    ASSERT_EQ(Serve(server, sample), SimServer::kServed);
    RequestArea message;
    message.WriteU16(offsets::kMessageTime, 5);
    EXPECT_EQ(Serve(server, sample), SimServer::kNoAnswer);
    EXPECT_EQ(Serve(server, message), SimServer::kNoAnswer);
    EXPECT_EQ(Serve(server, sample), SimServer::kNoAnswer);
    EXPECT_EQ(server.player().position(), 1u);
    EXPECT_EQ(server.offsets().U16(offsets::kMessageTime), 0);
    ASSERT_EQ(Serve(server, sample), SimServer::kServed);
    EXPECT_EQ(server.player().position(), 2u);
    EXPECT_EQ(sample.bytes()[value], 2);
    ASSERT_FALSE(server.transcript().entries().empty());
    EXPECT_EQ(server.transcript().entries().front().Line(),
              "tick 1: hanging: the next 3 requests go unanswered");
}

}  // namespace
}  // namespace aerolinker
