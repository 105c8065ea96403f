// The FSUIPC client: opening the shared area with the server, queuing request records into it,
// sending a batch with one blocking message and copying the answers back.
#include "link/fsuipc_link.h"

#include <cassert>
#include <cstdio>
#include <cstring>

#include "common/little_endian.h"
#include "link/fsuipc_offsets.h"

namespace aerolinker {

const char* const ResultTexts[kLinkResultCount] = {
    "Okay",
    "Attempt to Open when already Open",
    "Cannot link to FSUIPC or WideClient",
    "Failed to Register common message with Windows",
    "Failed to create Atom for mapping filename",
    "Failed to create a file mapping object",
    "Failed to open a view to the file map",
    "Incorrect version of FSUIPC, or not FSUIPC",
    "Sim is not version requested",
    "Call cannot execute, link not Open",
    "Call cannot execute: no requests accumulated",
    "IPC timed out all retries",
    "IPC sendmessage failed all retries",
    "IPC request contains bad data",
    "Maybe running on WideClient, but FS not running on Server, or wrong FSUIPC",
    "Read or Write request cannot be added, memory for Process is full",
};

const char* const SimulatorNames[7] = {"Any", "FS98", "FS2K", "CFS2", "CF1", "FLY", "FS2K2"};

namespace {

constexpr const char* kMappingPrefix = "FsasmLib:IPC";
constexpr std::uint32_t kInstance = 1;
constexpr std::uintptr_t kServerAnswerOk = 1;
constexpr std::uint32_t kSimulatorSignatureMask = 0xFFFF0000;
constexpr std::uint32_t kSimulatorCodeMask = 0x0000FFFF;

// Most reads one batch can hold: bare 16-byte headers up to the limit, terminator included.
constexpr std::size_t kMaxReadsPerBatch =
    (protocol::kAreaLimit - protocol::kTerminatorSize) / protocol::kReadHeaderSize;

}  // namespace

FsuipcLink::FsuipcLink(LinkPlatform& platform) : platform_(platform) {
    // Reserved once so that queuing never allocates, however full a batch gets.
    queuedReads_.reserve(kMaxReadsPerBatch);
}

FsuipcLink::~FsuipcLink() {
    CloseLink();
}

bool FsuipcLink::OpenLink(std::int32_t requestedSimulator, LinkResult& result) {
    if (state_.areaStart != nullptr) {
        result = LinkAlreadyOpen;
        return false;
    }
    state_.serverVersion = 0;
    state_.simulatorVersion = 0;

    bool viaNetworkClient = false;
    if (!FindServer(viaNetworkClient, result) || !CreateArea(result) || !ShakeHands(result) ||
        !AcceptVersions(viaNetworkClient, requestedSimulator, result)) {
        return false;
    }
    result = LinkOk;
    return true;
}

bool FsuipcLink::FindServer(bool& viaNetworkClient, LinkResult& result) {
    state_.serverWindow = platform_.FindTopLevelWindow(protocol::kServerClass);
    if (state_.serverWindow == 0) {
        state_.serverWindow = platform_.FindTopLevelWindow(protocol::kNetworkClientClass);
        viaNetworkClient = true;
    }
    if (state_.serverWindow == 0) {
        result = LinkNoServer;
        return false;
    }

    state_.message = platform_.RegisterMessage(protocol::kMessageName);
    if (state_.message == 0) {
        state_.serverWindow = 0;
        result = LinkNoMessage;
        return false;
    }
    return true;
}

bool FsuipcLink::CreateArea(LinkResult& result) {
    // The name carries the process id, so no two clients on one machine share an area.
    char mappingName[64];
    std::snprintf(mappingName, sizeof mappingName, "%s:%X:%X", kMappingPrefix,
                  static_cast<unsigned>(platform_.CurrentProcessId()),
                  static_cast<unsigned>(kInstance));

    state_.atom = platform_.AddGlobalAtom(mappingName);
    if (state_.atom == 0) {
        result = LinkNoAtom;
        CloseLink();
        return false;
    }

    // An area that already exists belongs to someone else (or to a stale client): its content
    // cannot be trusted, so it is refused. The handle is still recorded so that it is released.
    const LinkPlatform::NewMapping mapping =
        platform_.CreateNamedMapping(mappingName, protocol::kAreaSize);
    state_.mapping = mapping.handle;
    if (mapping.handle == 0 || mapping.alreadyExisted) {
        result = LinkNoMapping;
        CloseLink();
        return false;
    }

    state_.areaStart = platform_.MapView(state_.mapping);
    if (state_.areaStart == nullptr) {
        result = LinkNoView;
        CloseLink();
        return false;
    }
    state_.writeCursor = state_.areaStart;
    queuedReads_.clear();
    requestsQueued_ = 0;
    return true;
}

bool FsuipcLink::ShakeHands(LinkResult& result) {
    // The server may need a moment after the first message before it reports its versions,
    // so the handshake asks up to five times.
    std::uint8_t serverVersion[offsets::kVersionWordSize] = {};
    std::uint8_t simulatorVersion[offsets::kVersionWordSize] = {};
    const auto libraryVersion = le::Bytes(static_cast<std::uint16_t>(state_.libraryVersion));
    for (int pass = 1; pass <= protocol::kHandshakePasses &&
                       (state_.serverVersion == 0 || state_.simulatorVersion == 0);
         ++pass) {
        const bool exchanged =
            QueueRead(offsets::kServerVersion, sizeof serverVersion, serverVersion, result) &&
            QueueRead(offsets::kSimulatorVersion, sizeof simulatorVersion, simulatorVersion,
                      result) &&
            (pass != 1 || QueueWrite(offsets::kLibraryVersion, libraryVersion.size(),
                                     libraryVersion.data(), result)) &&
            ProcessRequests(result);
        if (!exchanged) {
            CloseLink();
            return false;
        }
        state_.serverVersion = le::Load<std::uint32_t>(serverVersion);
        state_.simulatorVersion = le::Load<std::uint32_t>(simulatorVersion);
        platform_.Sleep(protocol::kHandshakeSleepMs);
    }
    return true;
}

bool FsuipcLink::AcceptVersions(bool viaNetworkClient, std::int32_t requestedSimulator,
                                LinkResult& result) {
    if (state_.serverVersion <= protocol::kMinimumServerVersion ||
        (state_.simulatorVersion & kSimulatorSignatureMask) != protocol::kSimulatorSignature) {
        // WideClient answers even when the simulator behind it is not running.
        result = viaNetworkClient ? LinkServerNotRunning : LinkBadVersion;
        CloseLink();
        return false;
    }

    state_.simulatorVersion &= kSimulatorCodeMask;
    if (requestedSimulator != 0 && static_cast<std::int64_t>(requestedSimulator) !=
                                       static_cast<std::int64_t>(state_.simulatorVersion)) {
        result = LinkWrongSimulator;
        CloseLink();
        return false;
    }
    return true;
}

void FsuipcLink::CloseLink() {
    state_.serverWindow = 0;
    state_.message = 0;
    state_.writeCursor = nullptr;
    queuedReads_.clear();
    requestsQueued_ = 0;
    if (state_.atom != 0) {
        platform_.DeleteGlobalAtom(state_.atom);
        state_.atom = 0;
    }
    if (state_.areaStart != nullptr) {
        platform_.UnmapView(state_.areaStart);
        state_.areaStart = nullptr;
    }
    if (state_.mapping != 0) {
        platform_.CloseMapping(state_.mapping);
        state_.mapping = 0;
    }
}

bool FsuipcLink::QueueRead(std::uint32_t offset, std::uint32_t size, void* target,
                           LinkResult& result) {
    if (state_.areaStart == nullptr) {
        result = LinkNotOpen;
        return false;
    }
    // Sums are taken in 64 bits: a size near 4 GB must not wrap around and pass the test.
    const std::uint32_t used = static_cast<std::uint32_t>(state_.writeCursor - state_.areaStart);
    if (std::uint64_t{used} + protocol::kTerminatorSize + protocol::kReadHeaderSize + size >
        protocol::kAreaLimit) {
        result = LinkAreaFull;
        return false;
    }
    assert(queuedReads_.size() < queuedReads_.capacity());

    // The server never needs the target; the record carries the request's index in the batch
    // only as a reference, because a buffer address does not fit its 4 bytes.
    std::uint8_t* record = state_.writeCursor;
    le::Store<std::uint32_t>(record, protocol::kReadType);
    le::Store<std::uint32_t>(record + 4, offset);
    le::Store<std::uint32_t>(record + 8, size);
    le::Store<std::uint32_t>(record + 12, requestsQueued_);
    std::memset(record + protocol::kReadHeaderSize, 0, size);
    state_.writeCursor = record + protocol::kReadHeaderSize + size;

    // Filled in place: a record built aside and copied whole waited on its own stores.
    QueuedRead& read = queuedReads_.emplace_back();
    read.recordOffset = used;
    read.size = size;
    read.target = target;
    ++requestsQueued_;
    result = LinkOk;
    return true;
}

bool FsuipcLink::QueueWrite(std::uint32_t offset, std::uint32_t size, const void* source,
                            LinkResult& result) {
    if (state_.areaStart == nullptr) {
        result = LinkNotOpen;
        return false;
    }
    const std::uint32_t used = static_cast<std::uint32_t>(state_.writeCursor - state_.areaStart);
    if (std::uint64_t{used} + protocol::kTerminatorSize + protocol::kWriteHeaderSize + size >
        protocol::kAreaLimit) {
        result = LinkAreaFull;
        return false;
    }

    std::uint8_t* record = state_.writeCursor;
    le::Store<std::uint32_t>(record, protocol::kWriteType);
    le::Store<std::uint32_t>(record + 4, offset);
    le::Store<std::uint32_t>(record + 8, size);
    std::uint8_t* data = record + protocol::kWriteHeaderSize;
    if (source != nullptr) {
        std::memcpy(data, source, size);
    } else {
        // Nothing to copy from: the server gets zero bytes rather than whatever was there.
        std::memset(data, 0, size);
    }
    state_.writeCursor = data + size;

    ++requestsQueued_;
    result = LinkOk;
    return true;
}

bool FsuipcLink::ProcessRequests(LinkResult& result) {
    if (state_.areaStart == nullptr) {
        result = LinkNotOpen;
        return false;
    }
    if (state_.writeCursor == state_.areaStart) {
        result = LinkNothingQueued;
        return false;
    }

    // From here the batch is emptied whatever the outcome.
    le::Store<std::uint32_t>(state_.writeCursor, 0);
    state_.writeCursor = state_.areaStart;
    requestsQueued_ = 0;

    LinkPlatform::SendOutcome outcome;
    for (int attempt = 0; attempt < protocol::kSendAttempts; ++attempt) {
        outcome = platform_.SendWithTimeout(state_.serverWindow, state_.message, state_.atom, 0,
                                            protocol::kSendTimeoutMs);
        if (outcome.sent) {
            break;
        }
        platform_.Sleep(protocol::kRetrySleepMs);
    }
    if (!outcome.sent) {
        queuedReads_.clear();
        result = outcome.lastError == 0 ? LinkTimedOut : LinkSendFailed;
        return false;
    }
    if (outcome.answer != kServerAnswerOk) {
        queuedReads_.clear();
        result = LinkBadReply;
        return false;
    }

    // The area is shared with another process, which may have rewritten any record header.
    // So the answers are taken from where this client put each read record, in the order the
    // reads were queued, and never from the types, sizes or targets now found in the area.
    for (const QueuedRead& read : queuedReads_) {
        if (read.target == nullptr || read.size == 0) {
            continue;
        }
        const std::uint64_t dataStart =
            std::uint64_t{read.recordOffset} + protocol::kReadHeaderSize;
        assert(dataStart + read.size <= protocol::kAreaLimit);
        std::memcpy(read.target, state_.areaStart + dataStart, read.size);
    }
    queuedReads_.clear();
    result = LinkOk;
    return true;
}

}  // namespace aerolinker
