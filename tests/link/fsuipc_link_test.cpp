// The FSUIPC client against the loopback platform and the test server: opening and its
// failures, the record format, the batch limits, retries and servers that misbehave.
#include "link/fsuipc_link.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/little_endian.h"
#include "link/loopback/platform.h"
#include "link/protocol_test_server.h"

namespace aerolinker {
namespace {

using testing::ProtocolTestServer;
using Bytes = std::vector<std::uint8_t>;

// Anything but a code the link might store, to see that a call stored something.
constexpr LinkResult kUnset = static_cast<LinkResult>(-1);

class FsuipcLinkTest : public ::testing::Test {
protected:
    void Open() {
        LinkResult opened = kUnset;
        ASSERT_TRUE(link.OpenLink(0, opened));
        ASSERT_EQ(opened, LinkOk);
    }

    // The link holds nothing any more.
    void ExpectReleased() {
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(platform.atomCount(), 0u);
        EXPECT_EQ(platform.mappingCount(), 0u);
        EXPECT_EQ(platform.mappedViewCount(), 0u);
        EXPECT_EQ(link.state().atom, 0);
        EXPECT_EQ(link.state().mapping, 0u);
        EXPECT_EQ(link.state().writeCursor, nullptr);
    }

    LoopbackPlatform platform;
    ProtocolTestServer server{platform};
    FsuipcLink link{platform};
    LinkResult result = kUnset;
};

// The status bar shows ResultTexts[result]: a pilot must be able to tell every outcome from
// every other. The texts the pilot guide names are checked where their paths are taken.
TEST(LinkTextsTest, EveryResultAndSimulatorHasATextOfItsOwn) {
    const auto expectDistinct = [](const char* const* texts, int count) {
        std::set<std::string> seen;
        for (int code = 0; code < count; ++code) {
            ASSERT_NE(texts[code], nullptr) << "code " << code;
            EXPECT_NE(std::string(texts[code]), "") << "code " << code;
            EXPECT_TRUE(seen.insert(texts[code]).second) << "code " << code << ": " << texts[code];
        }
    };
    expectDistinct(ResultTexts, kLinkResultCount);
    expectDistinct(SimulatorNames, static_cast<int>(std::size(SimulatorNames)));
}

// --- Opening -------------------------------------------------------------------------------

TEST_F(FsuipcLinkTest, OpenShakesHandsOnceWithAWillingServer) {
    ASSERT_TRUE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkOk);
    EXPECT_STREQ(ResultTexts[result], "Okay");
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.state().serverVersion, ProtocolTestServer::kDefaultServerVersion);
    EXPECT_EQ(link.state().simulatorVersion, 6u);  // only the simulator code remains
    EXPECT_EQ(link.state().writeCursor, link.state().areaStart);

    ASSERT_EQ(server.messages(), 1);
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), 3u);
    EXPECT_EQ(batch[0].type, 1u);
    EXPECT_EQ(batch[0].offset, 0x3304u);
    EXPECT_EQ(batch[0].size, 4u);
    EXPECT_EQ(batch[1].type, 1u);
    EXPECT_EQ(batch[1].offset, 0x3308u);
    EXPECT_EQ(batch[1].size, 4u);
    EXPECT_EQ(batch[2].type, 2u);
    EXPECT_EQ(batch[2].offset, 0x330Au);
    EXPECT_EQ(batch[2].data, (Bytes{0xEC, 0x03}));  // 1004
    EXPECT_EQ(platform.totalSleptMs(), 100u);
    EXPECT_EQ(platform.atomCount(), 1u);
    EXPECT_EQ(platform.mappingCount(), 1u);
    EXPECT_EQ(platform.mappedViewCount(), 1u);
}

TEST_F(FsuipcLinkTest, MappingNameCarriesTheProcessIdInUpperCaseHex) {
    platform.setProcessId(2748);
    Open();
    EXPECT_EQ(server.lastMappingName(), "FsasmLib:IPC:ABC:1");
    link.CloseLink();

    platform.setProcessId(0x1F00A);
    Open();
    EXPECT_EQ(server.lastMappingName(), "FsasmLib:IPC:1F00A:1");
}

TEST_F(FsuipcLinkTest, HandshakeAsksAgainUntilTheServerReportsItsVersions) {
    server.ReportVersions(0x19980005, 0xFADE0002, 3);
    ASSERT_TRUE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkOk);
    ASSERT_EQ(server.messages(), 3);
    // The library version goes only with the first pass.
    EXPECT_EQ(server.batches()[0].size(), 3u);
    EXPECT_EQ(server.batches()[1].size(), 2u);
    EXPECT_EQ(server.batches()[2].size(), 2u);
    EXPECT_EQ(platform.totalSleptMs(), 300u);
    EXPECT_EQ(link.state().simulatorVersion, 2u);
}

TEST_F(FsuipcLinkTest, ServerThatNeverReportsVersionsIsRefusedAfterFivePasses) {
    server.NeverReportVersions();
    EXPECT_FALSE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkBadVersion);
    EXPECT_EQ(server.messages(), 5);
    EXPECT_EQ(platform.totalSleptMs(), 500u);
    ExpectReleased();
}

struct VersionCase {
    const char* what;
    const char* serverClass;
    std::uint32_t serverVersion;
    std::uint32_t simulatorVersion;
    std::int32_t requested;
    LinkResult expected;
};

TEST(FsuipcLinkVersionTest, VersionTestAndRequestedSimulator) {
    const VersionCase cases[] = {
        {"lowest accepted server", "UIPCMAIN", 0x19980005, 0xFADE0006, 0, LinkOk},
        {"server too old", "UIPCMAIN", 0x19980004, 0xFADE0006, 0, LinkBadVersion},
        {"not the simulator signature", "UIPCMAIN", 0x36000000, 0xFADF0006, 0, LinkBadVersion},
        {"WideClient without a simulator", "FS98MAIN", 0x19980004, 0xFADE0006, 0,
         LinkServerNotRunning},
        {"WideClient, bad signature", "FS98MAIN", 0x36000000, 0x00000006, 0, LinkServerNotRunning},
        {"WideClient with a simulator", "FS98MAIN", 0x36000000, 0xFADE0006, 0, LinkOk},
        {"requested simulator present", "UIPCMAIN", 0x36000000, 0xFADE0006, 6, LinkOk},
        {"requested simulator absent", "UIPCMAIN", 0x36000000, 0xFADE0006, 2, LinkWrongSimulator},
        {"negative request", "UIPCMAIN", 0x36000000, 0xFADE0006, -1, LinkWrongSimulator},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackPlatform platform;
        ProtocolTestServer server(platform, c.serverClass);
        server.ReportVersions(c.serverVersion, c.simulatorVersion);
        FsuipcLink link(platform);
        LinkResult result = kUnset;
        EXPECT_EQ(link.OpenLink(c.requested, result), c.expected == LinkOk);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(link.IsOpen(), c.expected == LinkOk);
        if (c.expected != LinkOk) {
            EXPECT_EQ(platform.atomCount(), 0u);
            EXPECT_EQ(platform.mappingCount(), 0u);
            EXPECT_EQ(platform.mappedViewCount(), 0u);
        }
    }
}

TEST_F(FsuipcLinkTest, UipcmainIsPreferredOverWideClient) {
    ProtocolTestServer wideClient(platform, "FS98MAIN");
    Open();
    EXPECT_EQ(server.messages(), 1);
    EXPECT_EQ(wideClient.messages(), 0);
}

TEST_F(FsuipcLinkTest, OpenWhileOpenChangesNothing) {
    Open();
    const LinkState before = link.state();
    EXPECT_FALSE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkAlreadyOpen);
    EXPECT_STREQ(ResultTexts[result], "Attempt to Open when already Open");
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.state().areaStart, before.areaStart);
    EXPECT_EQ(link.state().atom, before.atom);
    EXPECT_EQ(server.messages(), 1);
    EXPECT_EQ(platform.atomCount(), 1u);
    EXPECT_EQ(platform.mappingCount(), 1u);
}

TEST(FsuipcLinkOpenFailureTest, EveryFailedOpenLeavesNothingBehind) {
    struct FailureCase {
        const char* what;
        std::function<void(LoopbackPlatform&, ProtocolTestServer&)> arrange;
        LinkResult expected;
        const char* statusText = nullptr;  // where the pilot guide names it
    };
    const FailureCase cases[] = {
        {"no server window", [](LoopbackPlatform&, ProtocolTestServer& s) { s.Remove(); },
         LinkNoServer, "Cannot link to FSUIPC or WideClient"},
        {"message not registered",
         [](LoopbackPlatform& p, ProtocolTestServer&) { p.faults().registerMessageFails = true; },
         LinkNoMessage},
        {"no atom",
         [](LoopbackPlatform& p, ProtocolTestServer&) { p.faults().addAtomFails = true; },
         LinkNoAtom},
        {"no mapping",
         [](LoopbackPlatform& p, ProtocolTestServer&) { p.faults().mappingFails = true; },
         LinkNoMapping},
        {"mapping exists",
         [](LoopbackPlatform& p, ProtocolTestServer&) { p.faults().mappingAlreadyExists = true; },
         LinkNoMapping},
        {"no view",
         [](LoopbackPlatform& p, ProtocolTestServer&) { p.faults().mapViewFails = true; },
         LinkNoView},
        {"handshake times out",
         [](LoopbackPlatform& p, ProtocolTestServer&) { p.faults().failingSends = 10; },
         LinkTimedOut},
        {"handshake send fails",
         [](LoopbackPlatform& p, ProtocolTestServer&) {
             p.faults().failingSends = 10;
             p.faults().sendLastError = 5;
         },
         LinkSendFailed},
        {"handshake refused", [](LoopbackPlatform&, ProtocolTestServer& s) { s.AnswerWith(0); },
         LinkBadReply},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackPlatform platform;
        ProtocolTestServer server(platform);
        c.arrange(platform, server);
        FsuipcLink link(platform);
        LinkResult result = kUnset;
        EXPECT_FALSE(link.OpenLink(0, result));
        EXPECT_EQ(result, c.expected);
        if (c.statusText != nullptr) {
            EXPECT_STREQ(ResultTexts[result], c.statusText);
        }
        EXPECT_FALSE(link.IsOpen());
        EXPECT_EQ(platform.atomCount(), 0u);
        EXPECT_EQ(platform.mappingCount(), 0u);
        EXPECT_EQ(platform.mappedViewCount(), 0u);
        EXPECT_EQ(link.state().atom, 0);
        EXPECT_EQ(link.state().mapping, 0u);
        EXPECT_EQ(link.state().message, 0u);
        // Nothing can be queued on a link that failed to open.
        std::uint8_t buffer[2] = {};
        EXPECT_FALSE(link.QueueRead(0x0366, 2, buffer, result));
        EXPECT_EQ(result, LinkNotOpen);
    }
}

TEST_F(FsuipcLinkTest, AreaNameTakenByAnotherObjectIsRefusedAndLeftAlone) {
    platform.setProcessId(2748);
    const auto other = platform.CreateNamedMapping("FsasmLib:IPC:ABC:1", 0x8000);
    ASSERT_NE(other.handle, 0u);
    EXPECT_FALSE(link.OpenLink(0, result));
    EXPECT_EQ(result, LinkNoMapping);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(platform.atomCount(), 0u);
    EXPECT_EQ(platform.mappingCount(), 1u);  // the other owner's handle only
    platform.CloseMapping(other.handle);
}

TEST_F(FsuipcLinkTest, CloseIsSafeWhenClosedAndReleasesEverythingOnce) {
    link.CloseLink();  // never opened
    ExpectReleased();

    Open();
    link.CloseLink();
    ExpectReleased();
    EXPECT_EQ(link.state().serverWindow, 0u);
    EXPECT_EQ(link.state().message, 0u);
    // The versions are kept for whoever wants to show them.
    EXPECT_EQ(link.state().serverVersion, ProtocolTestServer::kDefaultServerVersion);
    link.CloseLink();
    ExpectReleased();

    // And the link opens again under the same name.
    Open();
    EXPECT_TRUE(link.IsOpen());
}

TEST(FsuipcLinkLifetimeTest, DestroyingTheLinkClosesIt) {
    LoopbackPlatform platform;
    ProtocolTestServer server(platform);
    {
        FsuipcLink link(platform);
        LinkResult result = kUnset;
        ASSERT_TRUE(link.OpenLink(0, result));
        EXPECT_EQ(platform.atomCount(), 1u);
    }
    EXPECT_EQ(platform.atomCount(), 0u);
    EXPECT_EQ(platform.mappingCount(), 0u);
    EXPECT_EQ(platform.mappedViewCount(), 0u);
}

// --- Batches ---------------------------------------------------------------------------------

TEST_F(FsuipcLinkTest, CallsOnAClosedLinkReportNotOpen) {
    std::uint8_t buffer[4] = {};
    EXPECT_FALSE(link.QueueRead(0x0366, 2, buffer, result));
    EXPECT_EQ(result, LinkNotOpen);
    result = kUnset;
    EXPECT_FALSE(link.QueueWrite(0x32FA, 2, buffer, result));
    EXPECT_EQ(result, LinkNotOpen);
    result = kUnset;
    EXPECT_FALSE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkNotOpen);
    EXPECT_EQ(platform.sendAttempts(), 0);
}

TEST_F(FsuipcLinkTest, NothingQueuedRightAfterOpenSendsNothing) {
    Open();
    const int attempts = platform.sendAttempts();
    EXPECT_FALSE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkNothingQueued);
    EXPECT_EQ(platform.sendAttempts(), attempts);
    EXPECT_EQ(server.messages(), 1);
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(FsuipcLinkTest, RecordsArePackedLittleEndianWithATerminator) {
    // Distinctive versions leave non-zero bytes behind in the area after the handshake, so
    // the zero-filled data space of the first read shows.
    server.ReportVersions(0x36123456, 0xFADE0006);
    Open();
    std::uint8_t three[3];
    const std::uint8_t source[] = {0x11, 0x22};
    ASSERT_TRUE(link.QueueRead(0x1234, 3, three, result));
    ASSERT_TRUE(link.QueueWrite(0xABCD, 2, source, result));
    ASSERT_TRUE(link.QueueRead(0x0366, 0, nullptr, result));
    ASSERT_TRUE(link.ProcessRequests(result));

    const Bytes expected = {
        0x01, 0x00, 0x00, 0x00, 0x34, 0x12, 0x00, 0x00,  // read 0x1234
        0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 3 bytes, request 0
        0x00, 0x00, 0x00,                                // data space
        0x02, 0x00, 0x00, 0x00, 0xCD, 0xAB, 0x00, 0x00,  // write 0xABCD
        0x02, 0x00, 0x00, 0x00, 0x11, 0x22,              // 2 bytes
        0x01, 0x00, 0x00, 0x00, 0x66, 0x03, 0x00, 0x00,  // read 0x0366
        0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,  // 0 bytes, request 2
        0x00, 0x00, 0x00, 0x00,                          // terminator
    };
    const Bytes& area = server.lastAreaBytes();
    ASSERT_GE(area.size(), expected.size());
    EXPECT_EQ(Bytes(area.data(), area.data() + expected.size()), expected);
}

TEST_F(FsuipcLinkTest, ReadsGetTheServersValuesAndWritesReachIt) {
    server.Put32(0x0574, 1234);
    Open();
    const std::uint8_t value[] = {1, 2, 3, 4};
    std::uint8_t source[] = {9, 8, 7, 6};
    std::uint8_t written[4] = {};
    std::uint32_t altitude = 0;
    ASSERT_TRUE(link.QueueWrite(0x4000, 4, value, result));
    ASSERT_TRUE(link.QueueRead(0x4000, 4, written, result));
    ASSERT_TRUE(link.QueueWrite(0x5000, 4, source, result));
    source[0] = 0;  // the bytes were taken when the write was queued
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &altitude, result));
    result = kUnset;
    ASSERT_TRUE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkOk);

    EXPECT_EQ(Bytes(written, written + 4), (Bytes{1, 2, 3, 4}));  // served in queue order
    EXPECT_EQ(server.Get(0x5000, 4), (Bytes{9, 8, 7, 6}));
    EXPECT_EQ(altitude, 1234u);
    EXPECT_EQ(link.state().writeCursor, link.state().areaStart);
}

TEST_F(FsuipcLinkTest, EmptyReadsAndReadsWithoutTargetCopyNothing) {
    server.Put32(0x0100, 0x11111111);
    server.Put32(0x0200, 0x22222222);
    server.Put16(0x0300, 0x3333);
    Open();
    std::uint32_t untouched = 0xAAAAAAAA;
    std::uint16_t filled = 0;
    ASSERT_TRUE(link.QueueRead(0x0100, 0, &untouched, result));
    ASSERT_TRUE(link.QueueRead(0x0200, 4, nullptr, result));
    ASSERT_TRUE(link.QueueRead(0x0300, 2, &filled, result));
    ASSERT_TRUE(link.ProcessRequests(result));

    // All three travel; the empty read is a bare header.
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), 3u);
    EXPECT_EQ(batch[0].size, 0u);
    EXPECT_EQ(batch[1].size, 4u);
    EXPECT_EQ(batch[2].offset, 0x0300u);
    EXPECT_EQ(untouched, 0xAAAAAAAAu);
    EXPECT_EQ(filled, 0x3333);
}

TEST_F(FsuipcLinkTest, OverlappingTargetsEndWithTheLaterReadsBytes) {
    server.Put(0x0100, "\x01\x02\x03\x04", 4);
    server.Put(0x0200, "\x05\x06\x07\x08", 4);
    Open();

    std::uint8_t same[4] = {};
    ASSERT_TRUE(link.QueueRead(0x0100, 4, same, result));
    ASSERT_TRUE(link.QueueRead(0x0200, 4, same, result));
    ASSERT_TRUE(link.ProcessRequests(result));
    EXPECT_EQ(Bytes(same, same + 4), (Bytes{5, 6, 7, 8}));

    std::uint8_t shifted[6] = {};
    ASSERT_TRUE(link.QueueRead(0x0100, 4, shifted, result));
    ASSERT_TRUE(link.QueueRead(0x0200, 4, shifted + 2, result));
    ASSERT_TRUE(link.ProcessRequests(result));
    EXPECT_EQ(Bytes(shifted, shifted + 6), (Bytes{1, 2, 5, 6, 7, 8}));

    std::uint8_t reversed[6] = {};
    ASSERT_TRUE(link.QueueRead(0x0200, 4, reversed + 2, result));
    ASSERT_TRUE(link.QueueRead(0x0100, 4, reversed, result));
    ASSERT_TRUE(link.ProcessRequests(result));
    EXPECT_EQ(Bytes(reversed, reversed + 6), (Bytes{1, 2, 3, 4, 7, 8}));
}

// --- The area's limit --------------------------------------------------------------------------

TEST_F(FsuipcLinkTest, ReadFillingTheAreaExactlyIsAcceptedOneByteMoreIsNot) {
    server.Put(0x0600, "ABCDEFGH", 8);
    Open();
    const std::uint32_t n = 8;
    // One write brings the cursor to 0x7F00 - 20 - n.
    const std::uint32_t filler = 0x7F00 - 20 - n - 12;
    const std::vector<std::uint8_t> fill(filler, 0x5A);
    ASSERT_TRUE(link.QueueWrite(0x7000, filler, fill.data(), result));
    ASSERT_EQ(link.state().writeCursor - link.state().areaStart, 0x7F00 - 20 - n);

    std::uint8_t target[n + 1] = {};
    result = kUnset;
    EXPECT_FALSE(link.QueueRead(0x0600, n + 1, target, result));
    EXPECT_EQ(result, LinkAreaFull);
    EXPECT_EQ(link.state().writeCursor - link.state().areaStart, 0x7F00 - 20 - n);

    ASSERT_TRUE(link.QueueRead(0x0600, n, target, result));
    EXPECT_EQ(result, LinkOk);
    EXPECT_EQ(link.state().writeCursor - link.state().areaStart, 0x7F00 - 4);
    EXPECT_FALSE(link.QueueRead(0x0600, 0, target, result));
    EXPECT_EQ(result, LinkAreaFull);

    ASSERT_TRUE(link.ProcessRequests(result));
    const auto& batch = server.lastBatch();
    ASSERT_EQ(batch.size(), 2u);  // the refused requests left no trace
    EXPECT_EQ(batch[1].size, n);
    EXPECT_EQ(Bytes(target, target + n + 1), Bytes({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 0}));
}

TEST_F(FsuipcLinkTest, WriteFillingTheAreaExactlyIsAcceptedOneByteMoreIsNot) {
    Open();
    const std::uint32_t n = 8;
    const std::uint32_t filler = 0x7F00 - 16 - n - 12;
    const std::vector<std::uint8_t> fill(filler, 0x5A);
    ASSERT_TRUE(link.QueueWrite(0x7000, filler, fill.data(), result));

    const std::uint8_t bytes[n + 1] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_FALSE(link.QueueWrite(0x0600, n + 1, bytes, result));
    EXPECT_EQ(result, LinkAreaFull);
    ASSERT_TRUE(link.QueueWrite(0x0600, n, bytes, result));
    ASSERT_TRUE(link.ProcessRequests(result));
    ASSERT_EQ(server.lastBatch().size(), 2u);
    EXPECT_EQ(server.Get(0x0600, n + 1), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 0}));
}

TEST_F(FsuipcLinkTest, SizesThatWouldWrapAroundAreRefused) {
    Open();
    std::uint8_t buffer[4] = {};
    // 0xFFFFFFEC + 20 is 0 in 32 bits.
    for (std::uint32_t size : {0xFFFFFFFFu, 0xFFFFFFECu, 0x80000000u}) {
        SCOPED_TRACE(size);
        result = kUnset;
        EXPECT_FALSE(link.QueueRead(0x0100, size, buffer, result));
        EXPECT_EQ(result, LinkAreaFull);
        result = kUnset;
        EXPECT_FALSE(link.QueueWrite(0x0100, size, buffer, result));
        EXPECT_EQ(result, LinkAreaFull);
    }
    EXPECT_EQ(link.state().writeCursor, link.state().areaStart);
}

// --- Sending ---------------------------------------------------------------------------------

TEST_F(FsuipcLinkTest, TimedOutBatchTakesTwentyOneSecondsAndIsDiscarded) {
    server.Put32(0x0574, 1234);
    Open();
    const int attempts = platform.sendAttempts();
    const std::uint32_t slept = platform.totalSleptMs();
    const std::uint64_t elapsed = platform.elapsedMs();
    std::uint32_t altitude = 77;
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &altitude, result));
    platform.faults().failingSends = 10;
    platform.faults().sendLastError = 0;

    EXPECT_FALSE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkTimedOut);
    EXPECT_STREQ(ResultTexts[result], "IPC timed out all retries");
    EXPECT_EQ(platform.sendAttempts() - attempts, 10);
    EXPECT_EQ(platform.totalSleptMs() - slept, 1000u);  // after every attempt, the tenth too
    EXPECT_EQ(platform.elapsedMs() - elapsed, 21000u);
    EXPECT_EQ(platform.lastSendTimeoutMs(), 2000u);
    EXPECT_EQ(altitude, 77u);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(server.messages(), 1);

    EXPECT_FALSE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkNothingQueued);

    // The link still works once the server answers again.
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &altitude, result));
    ASSERT_TRUE(link.ProcessRequests(result));
    EXPECT_EQ(altitude, 1234u);
}

TEST_F(FsuipcLinkTest, FailedSendsWithAnErrorReportSendFailed) {
    Open();
    std::uint32_t altitude = 77;
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &altitude, result));
    platform.faults().failingSends = 10;
    platform.faults().sendLastError = 1400;
    EXPECT_FALSE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkSendFailed);
    EXPECT_STREQ(ResultTexts[result], "IPC sendmessage failed all retries");
    EXPECT_EQ(altitude, 77u);
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(FsuipcLinkTest, TenthAttemptStillCounts) {
    server.Put32(0x0574, 1234);
    Open();
    const std::uint32_t slept = platform.totalSleptMs();
    std::uint32_t altitude = 0;
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &altitude, result));
    platform.faults().failingSends = 9;
    ASSERT_TRUE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkOk);
    EXPECT_EQ(altitude, 1234u);
    EXPECT_EQ(platform.totalSleptMs() - slept, 900u);
}

TEST_F(FsuipcLinkTest, ServerGoneAwayGivesSendFailedAndTheLinkStaysOpen) {
    Open();
    server.Remove();
    std::uint32_t altitude = 77;
    ASSERT_TRUE(link.QueueRead(0x0574, 4, &altitude, result));
    EXPECT_FALSE(link.ProcessRequests(result));
    EXPECT_EQ(result, LinkSendFailed);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(altitude, 77u);
}

TEST_F(FsuipcLinkTest, AnswerOtherThanOneCopiesNothing) {
    server.Put32(0x0574, 1234);
    Open();
    for (std::uintptr_t answer : {std::uintptr_t{0}, std::uintptr_t{2}}) {
        SCOPED_TRACE(answer);
        server.AnswerWith(answer);
        std::uint32_t altitude = 77;
        ASSERT_TRUE(link.QueueRead(0x0574, 4, &altitude, result));
        EXPECT_FALSE(link.ProcessRequests(result));
        EXPECT_EQ(result, LinkBadReply);
        EXPECT_EQ(altitude, 77u);  // although the server did fill the area
        EXPECT_TRUE(link.IsOpen());
        EXPECT_FALSE(link.ProcessRequests(result));
        EXPECT_EQ(result, LinkNothingQueued);
    }
}

// --- Servers that rewrite the record headers -----------------------------------------------

// A buffer with guard bytes on both sides: a copy longer than the read shows in the guards.
struct Guarded {
    std::uint8_t before[8];
    std::uint8_t value[4];
    std::uint8_t after[8];
};

bool GuardsIntact(const Guarded& g) {
    const Bytes guard(8, 0xEE);
    return Bytes(g.before, g.before + 8) == guard && Bytes(g.after, g.after + 8) == guard;
}

// Two reads, of 4 bytes at 0x0100 and of `secondSize` at 0x0200: the first record at 0 with
// its data at 16, the second at 20 with its data at 36. Whatever the server rewrites after
// serving them, each buffer gets exactly what was served to it, and no byte more.
TEST_F(FsuipcLinkTest, RewrittenHeadersChangeNothingTheClientCopies) {
    using le::Store;
    const struct {
        const char* what;
        std::function<void(std::uint8_t* area, std::uint32_t size)> rewrite;
        std::uint32_t secondSize;
        Bytes second;  // the second buffer's value bytes after the batch
    } cases[] = {
        {"enlarged sizes",
         [](std::uint8_t* area, std::uint32_t) {
             Store<std::uint32_t>(area + 8, 12);  // would run over the first buffer's guard
             Store<std::uint32_t>(area + 28, 8);  // and over the second one's
         },
         2, Bytes{5, 6, 0xEE, 0xEE}},
        {"rewritten types, targets and huge sizes",
         [](std::uint8_t* area, std::uint32_t size) {
             Store<std::uint32_t>(area + 0, 2);            // the first read claims to be a write
             Store<std::uint32_t>(area + 8, 0x7FFFFFFF);   // far beyond the area
             Store<std::uint32_t>(area + 12, 1);           // pointing at the second read's buffer
             Store<std::uint32_t>(area + 20, 0x12345601);  // unknown type whose low byte is 1
             Store<std::uint32_t>(area + 28, size);        // exactly up to the end of the area
             Store<std::uint32_t>(area + 32, 0);
             Store<std::uint32_t>(area + 40, 1);  // no terminator after the records
         },
         4, Bytes{5, 6, 7, 8}},
        {"an early terminator",
         [](std::uint8_t* area, std::uint32_t) { Store<std::uint32_t>(area, 0); }, 4,
         Bytes{5, 6, 7, 8}},
    };
    server.Put(0x0100, "\x01\x02\x03\x04", 4);
    server.Put(0x0200, "\x05\x06\x07\x08", 4);
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.TamperWith(c.rewrite);
        Guarded first;
        Guarded second;
        std::memset(&first, 0xEE, sizeof first);
        std::memset(&second, 0xEE, sizeof second);
        ASSERT_TRUE(link.QueueRead(0x0100, 4, first.value, result));
        ASSERT_TRUE(link.QueueRead(0x0200, c.secondSize, second.value, result));
        result = kUnset;
        EXPECT_TRUE(link.ProcessRequests(result));
        EXPECT_EQ(result, LinkOk);
        EXPECT_EQ(Bytes(first.value, first.value + 4), (Bytes{1, 2, 3, 4}));
        EXPECT_EQ(Bytes(second.value, second.value + 4), c.second);
        EXPECT_TRUE(GuardsIntact(first));
        EXPECT_TRUE(GuardsIntact(second));
    }
}

}  // namespace
}  // namespace aerolinker
