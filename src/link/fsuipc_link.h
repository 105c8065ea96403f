// The FSUIPC client: the program's only channel to the simulator. Reads and writes are queued
// into a shared memory area and sent to the server (FSUIPC in the simulator, or WideClient)
// in one blocking message by ProcessRequests. The link never throws and never shows
// anything: every operation stores a LinkResult and the failing ones return false.
#pragma once

#include <cstdint>
#include <vector>

#include "link/link_platform.h"

namespace aerolinker {

enum LinkResult : std::int32_t {
    LinkOk = 0,
    LinkAlreadyOpen = 1,
    LinkNoServer = 2,
    LinkNoMessage = 3,
    LinkNoAtom = 4,
    LinkNoMapping = 5,
    LinkNoView = 6,
    LinkBadVersion = 7,
    LinkWrongSimulator = 8,
    LinkNotOpen = 9,
    LinkNothingQueued = 10,
    LinkTimedOut = 11,
    LinkSendFailed = 12,
    LinkBadReply = 13,
    LinkServerNotRunning = 14,
    LinkAreaFull = 15,
};

constexpr int kLinkResultCount = 16;
// The status-bar text of each result, indexed by code.
extern const char* const ResultTexts[kLinkResultCount];
// Names of the simulator codes 0 to 6 ("Any", "FS98", ...).
extern const char* const SimulatorNames[7];

// Protocol constants shared by the client and the substitute simulator's server.
namespace protocol {
constexpr const char* kServerClass = "UIPCMAIN";
constexpr const char* kNetworkClientClass = "FS98MAIN";
constexpr const char* kMessageName = "FsasmLib:IPC";
// The message names the client's area by a global atom, and atoms go no higher.
constexpr std::uintptr_t kLargestAtom = 0xFFFF;
constexpr std::uint32_t kAreaSize = 0x8000;
constexpr std::uint32_t kAreaLimit = 0x7F00;  // requests and terminator end at or below this
constexpr std::uint32_t kReadType = 1;
constexpr std::uint32_t kWriteType = 2;
constexpr std::uint32_t kReadHeaderSize = 16;
constexpr std::uint32_t kWriteHeaderSize = 12;
constexpr std::uint32_t kTerminatorSize = 4;
constexpr std::uint32_t kLibraryVersion = 1004;
constexpr std::uint32_t kMinimumServerVersion = 0x19980004;  // the server must be above this
constexpr std::uint32_t kSimulatorSignature = 0xFADE0000;
constexpr std::uint32_t kSendTimeoutMs = 2000;
constexpr int kSendAttempts = 10;
constexpr std::uint32_t kRetrySleepMs = 100;
constexpr int kHandshakePasses = 5;
constexpr std::uint32_t kHandshakeSleepMs = 100;
}  // namespace protocol

// The link's own state, one per link.
struct LinkState {
    std::uint32_t serverVersion = 0;
    std::uint32_t simulatorVersion = 0;
    std::uint32_t libraryVersion = protocol::kLibraryVersion;
    WindowHandle serverWindow = 0;
    std::uint32_t message = 0;
    std::uint16_t atom = 0;
    MappingHandle mapping = 0;
    std::uint8_t* areaStart = nullptr;
    std::uint8_t* writeCursor = nullptr;
};

class FsuipcLink {
public:
    explicit FsuipcLink(LinkPlatform& platform);
    ~FsuipcLink();  // closes the link
    FsuipcLink(const FsuipcLink&) = delete;
    FsuipcLink& operator=(const FsuipcLink&) = delete;

    bool OpenLink(std::int32_t requestedSimulator, LinkResult& result);
    void CloseLink();
    bool QueueRead(std::uint32_t offset, std::uint32_t size, void* target, LinkResult& result);
    bool QueueWrite(std::uint32_t offset, std::uint32_t size, const void* source,
                    LinkResult& result);
    bool ProcessRequests(LinkResult& result);

    bool IsOpen() const { return state_.areaStart != nullptr; }
    const LinkState& state() const { return state_; }

private:
    // The steps of OpenLink. Each stores the result of a failure and releases what was made.
    bool FindServer(bool& viaNetworkClient, LinkResult& result);
    bool CreateArea(LinkResult& result);
    bool ShakeHands(LinkResult& result);
    bool AcceptVersions(bool viaNetworkClient, std::int32_t requestedSimulator, LinkResult& result);

    // A read this client queued: where its record starts in the area, its size and where the
    // answer goes. After the reply the data are copied from these positions, never from what
    // the server may have left in the record headers.
    struct QueuedRead {
        std::uint32_t recordOffset;
        std::uint32_t size;
        void* target;
    };

    LinkPlatform& platform_;
    LinkState state_;
    std::vector<QueuedRead> queuedReads_;
    std::uint32_t requestsQueued_ = 0;  // reads and writes in the current batch
};

}  // namespace aerolinker
