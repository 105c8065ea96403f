// Keeping the clients' views between messages: every batch must be served from the area the
// client wrote it in, whether the kept view still is that area or the client has made a new one.
#include "sim/client_area_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "link/fsuipc_offsets.h"
#include "request_area.h"
#include "sim_test_support.h"

namespace aerolinker {
namespace {

using testing::RequestArea;
using testing::ScenarioFrom;

using Mapping = std::vector<std::uint8_t>;

// Named mappings as the system keeps them: a client creates and closes its mapping under its
// atom; a view keeps the memory it shows alive after the client has closed the mapping, and
// the name then names nothing until the client creates a new one.
class FakeMappings : public AreaMapper {
public:
    // The test holds on to what it creates, as the client's own view would.
    std::shared_ptr<Mapping> Create(std::uintptr_t atom, std::size_t size = RequestArea::kSize) {
        auto mapping = std::make_shared<Mapping>(size, 0);
        named_[atom] = mapping;
        return mapping;
    }
    void Close(std::uintptr_t atom) { named_.erase(atom); }

    MappedArea Map(std::uintptr_t atom) override {
        ++maps;
        const auto found = named_.find(atom);
        if (found == named_.end()) {
            return {};
        }
        views_[found->second->data()] = found->second;
        return {found->second->data(), found->second->size()};
    }
    void Unmap(const MappedArea& area) override {
        ++unmaps;
        EXPECT_EQ(views_.erase(area.data), 1u) << "unmapped a view that was not mapped";
    }

    int maps = 0;
    int unmaps = 0;

private:
    std::map<std::uintptr_t, std::shared_ptr<Mapping>> named_;
    std::map<std::uint8_t*, std::shared_ptr<Mapping>> views_;
};

// The client's side: a batch is written into its mapping from the start, data spaces zeroed.
void Put(Mapping& mapping, RequestArea& batch) {
    batch.Terminate();
    const std::uint8_t* written = batch.bytes().data();
    std::copy(written, written + batch.cursor() + 4, mapping.begin());
}

std::uint64_t Value(const Mapping& mapping, std::size_t position, std::uint32_t width) {
    return le::LoadBytes(mapping.data() + position, width);
}

constexpr std::uintptr_t kAtom = 0xC123;
constexpr std::uintptr_t kOtherAtom = 0xC124;

class ClientAreaCacheTest : public ::testing::Test {
protected:
    ClientAreaCacheTest()
        : server_(ScenarioFrom("u16 0x0F8C 7000\nframe\nu16 0x0F8C 6000\nframe\n"
                               "u16 0x0F8C 5000\nframe\nu16 0x0F8C 4000\n"),
                  SimServer::Options{}) {}

    // A tick's sample: its first read is the clock hour, so each one plays the next frame.
    struct Sample {
        RequestArea batch;
        std::size_t visibility;
        Sample() {
            batch.Read(offsets::kClockHour, 2);
            visibility = batch.Read(offsets::kVisibility, 2);
        }
    };

    // The handshake's first pass, byte for byte the same every time a link opens.
    struct Handshake {
        RequestArea batch;
        std::size_t serverVersion;
        std::size_t simulatorVersion;
        Handshake() {
            serverVersion = batch.Read(offsets::kServerVersion, 4);
            simulatorVersion = batch.Read(offsets::kSimulatorVersion, 4);
            batch.WriteU16(offsets::kLibraryVersion, 1004);
        }
    };

    std::size_t Count(TranscriptKind kind) const {
        std::size_t count = 0;
        for (const TranscriptEntry& entry : server_.transcript().entries()) {
            count += entry.kind == kind ? 1 : 0;
        }
        return count;
    }

    FakeMappings mappings_;
    SimServer server_;
};

TEST_F(ClientAreaCacheTest, OneViewServesEveryBatchOfALink) {
    ClientAreaCache cache(mappings_);
    const auto areaMapping = mappings_.Create(kAtom);
    Mapping& area = *areaMapping;
    for (const std::uint64_t expected : {6000u, 5000u, 4000u}) {
        Sample sample;
        Put(area, sample.batch);
        ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
        EXPECT_EQ(Value(area, sample.visibility, 2), expected);
    }
    EXPECT_EQ(mappings_.maps, 1);
}

// The same handshake bytes before and after a reconnect in the same process: the kept view
// still shows the first link's area exactly as it was answered, and must not be served.
TEST_F(ClientAreaCacheTest, ALinkOpenedAgainIsServedInItsNewArea) {
    ClientAreaCache cache(mappings_);
    const auto firstMapping = mappings_.Create(kAtom);
    Mapping& first = *firstMapping;
    Handshake opening;
    Put(first, opening.batch);
    ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    EXPECT_EQ(Value(first, opening.serverVersion, 4), 0x19990000u);
    const Mapping firstAsAnswered = first;
    mappings_.Close(kAtom);

    const auto secondMapping = mappings_.Create(kAtom);
    Mapping& second = *secondMapping;
    Handshake reopening;
    Put(second, reopening.batch);
    ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    EXPECT_EQ(Value(second, reopening.serverVersion, 4), 0x19990000u);
    EXPECT_EQ(Value(second, reopening.simulatorVersion, 4), 0xFADE0007u);
    EXPECT_EQ(first, firstAsAnswered);
    EXPECT_EQ(Count(TranscriptKind::LibraryVersion), 2u);
    EXPECT_EQ(mappings_.unmaps, 1);

    // And the new area is the one kept from then on.
    Sample sample;
    Put(second, sample.batch);
    ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    EXPECT_EQ(Value(second, sample.visibility, 2), 6000u);
    EXPECT_EQ(mappings_.maps, 2);
}

TEST_F(ClientAreaCacheTest, ANewLinkWithAnotherBatchIsServedInItsNewArea) {
    ClientAreaCache cache(mappings_);
    Handshake opening;
    const auto firstMapping = mappings_.Create(kAtom);
    Put(*firstMapping, opening.batch);
    ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    mappings_.Close(kAtom);

    const auto secondMapping = mappings_.Create(kAtom);
    Mapping& second = *secondMapping;
    Sample sample;
    Put(second, sample.batch);
    ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    EXPECT_EQ(Value(second, sample.visibility, 2), 6000u);
}

TEST_F(ClientAreaCacheTest, TheSameWritesSentTwiceAreBothPerformed) {
    ClientAreaCache cache(mappings_);
    const auto areaMapping = mappings_.Create(kAtom);
    Mapping& area = *areaMapping;
    for (int i = 0; i < 2; ++i) {
        RequestArea batch;
        batch.WriteU32(offsets::kConnectValueA, 66493);
        Put(area, batch);
        ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    }
    EXPECT_EQ(Count(TranscriptKind::ConnectValue), 2u);
}

TEST_F(ClientAreaCacheTest, AClientWhoseAreaIsGoneIsRefusedAndForgotten) {
    ClientAreaCache cache(mappings_);
    EXPECT_EQ(cache.Serve(server_, kAtom), SimServer::kRefused);
    EXPECT_EQ(cache.size(), 0u);

    Sample sample;
    const auto mapping = mappings_.Create(kAtom);
    Put(*mapping, sample.batch);
    ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    mappings_.Close(kAtom);
    EXPECT_EQ(cache.Serve(server_, kAtom), SimServer::kRefused);
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(mappings_.unmaps, 1);
}

TEST_F(ClientAreaCacheTest, ARefusedBatchIsFollowedByAServedOne) {
    ClientAreaCache cache(mappings_);
    const auto areaMapping = mappings_.Create(kAtom);
    Mapping& area = *areaMapping;
    RequestArea malformed;
    malformed.Put32(9);
    Put(area, malformed);
    EXPECT_EQ(cache.Serve(server_, kAtom), SimServer::kRefused);
    Sample sample;
    Put(area, sample.batch);
    ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
    EXPECT_EQ(Value(area, sample.visibility, 2), 6000u);
}

TEST_F(ClientAreaCacheTest, ClientsAreServedEachInTheirOwnArea) {
    ClientAreaCache cache(mappings_, 1);
    const auto oneMapping = mappings_.Create(kAtom);
    Mapping& one = *oneMapping;
    const auto otherMapping = mappings_.Create(kOtherAtom);
    Mapping& other = *otherMapping;
    for (int round = 0; round < 2; ++round) {
        Handshake first;
        Put(one, first.batch);
        RequestArea second;
        const std::size_t visibility = second.Read(offsets::kVisibility, 2);
        Put(other, second);
        ASSERT_EQ(cache.Serve(server_, kAtom), SimServer::kServed);
        ASSERT_EQ(cache.Serve(server_, kOtherAtom), SimServer::kServed);
        EXPECT_EQ(Value(one, first.serverVersion, 4), 0x19990000u);
        EXPECT_EQ(Value(other, visibility, 2), 7000u);  // no tick: the initial value
        EXPECT_EQ(Value(one, visibility, 2), 0u) << "the other client's read landed here";
    }
    // One view at a time: the least recently served client's view is let go.
    EXPECT_EQ(cache.size(), 1u);
    EXPECT_EQ(mappings_.maps, 4);
    EXPECT_EQ(mappings_.unmaps, 3);
}

TEST_F(ClientAreaCacheTest, ASmallerMappingBoundsTheWalk) {
    ClientAreaCache cache(mappings_);
    const auto areaMapping = mappings_.Create(kAtom, 24);
    Mapping& area = *areaMapping;
    RequestArea batch;
    batch.Read(offsets::kVisibility, 8);  // its data would end 24 bytes in: no room for the end
    std::copy(batch.bytes().begin(), batch.bytes().begin() + 24, area.begin());
    EXPECT_EQ(cache.Serve(server_, kAtom), SimServer::kRefused);
}

TEST_F(ClientAreaCacheTest, EveryKeptViewIsLetGoWithTheCache) {
    {
        ClientAreaCache cache(mappings_);
        for (const std::uintptr_t atom : {kAtom, kOtherAtom}) {
            Sample sample;
            const auto mapping = mappings_.Create(atom);
            Put(*mapping, sample.batch);
            ASSERT_EQ(cache.Serve(server_, atom), SimServer::kServed);
        }
        EXPECT_EQ(mappings_.unmaps, 0);
    }
    EXPECT_EQ(mappings_.unmaps, mappings_.maps);
}

}  // namespace
}  // namespace aerolinker
