// The link tests' FSUIPC server: serves read and write records against an in-memory offset
// space, records what it was sent, and answers 1 unless told otherwise.
#include "link/protocol_test_server.h"

#include <algorithm>
#include <cstring>

#include "common/little_endian.h"

namespace aerolinker::testing {

namespace {

constexpr std::size_t kOffsetSpaceSize = 0x10000;
constexpr std::size_t kAreaBytesKept = 0x200;
constexpr std::uint32_t kServerVersionOffset = 0x3304;
constexpr std::uint32_t kSimulatorVersionOffset = 0x3308;
constexpr std::uintptr_t kRefused = 0;

}  // namespace

ProtocolTestServer::ProtocolTestServer(LoopbackPlatform& platform, const std::string& className)
    : platform_(platform), space_(kOffsetSpaceSize) {
    message_ = platform_.RegisterMessage("FsasmLib:IPC");
    window_ = platform_.AddServerWindow(
        className, [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
            return Serve(message, wParam);
        });
}

ProtocolTestServer::~ProtocolTestServer() {
    Remove();
}

void ProtocolTestServer::Remove() {
    if (window_ != 0) {
        platform_.RemoveServerWindow(window_);
        window_ = 0;
    }
}

void ProtocolTestServer::Put(std::uint32_t offset, const void* bytes, std::size_t size) {
    std::memcpy(space_.data() + offset, bytes, size);
}

void ProtocolTestServer::Put16(std::uint32_t offset, std::uint16_t value) {
    le::Store(space_.data() + offset, value);
}

void ProtocolTestServer::Put32(std::uint32_t offset, std::uint32_t value) {
    le::Store(space_.data() + offset, value);
}

void ProtocolTestServer::PutDouble(std::uint32_t offset, double value) {
    le::Store(space_.data() + offset, value);
}

void ProtocolTestServer::PutText(std::uint32_t offset, const std::string& text) {
    Put(offset, text.data(), text.size());
}

std::vector<std::uint8_t> ProtocolTestServer::Get(std::uint32_t offset, std::size_t size) const {
    const std::uint8_t* from = space_.data() + offset;
    return std::vector<std::uint8_t>(from, from + size);
}

void ProtocolTestServer::ReportVersions(std::uint32_t server, std::uint32_t simulator,
                                        int fromMessage) {
    serverVersion_ = server;
    simulatorVersion_ = simulator;
    versionsFromMessage_ = fromMessage;
}

std::uintptr_t ProtocolTestServer::Serve(std::uint32_t message, std::uintptr_t wParam) {
    if (message != message_) {
        return kRefused;
    }
    lastMappingName_ = platform_.AtomName(static_cast<std::uint16_t>(wParam));
    std::uint32_t areaSize = 0;
    std::uint8_t* area = platform_.OpenMapping(lastMappingName_, &areaSize);
    if (area == nullptr) {
        return kRefused;
    }
    lastAreaBytes_.assign(area, area + std::min<std::size_t>(areaSize, kAreaBytesKept));
    batches_.emplace_back();
    std::vector<Record>& batch = batches_.back();

    // Versions are put in place before every message, as FSUIPC keeps them current; the
    // handshake's library-version write at 0x330A would otherwise overwrite the signature.
    if (versionsFromMessage_ > 0 && messages() >= versionsFromMessage_) {
        Put32(kServerVersionOffset, serverVersion_);
        Put32(kSimulatorVersionOffset, simulatorVersion_);
    }

    std::size_t at = 0;
    while (at + 4 <= areaSize && area[at] != 0) {  // a zero type byte ends the batch
        if (at + 12 > areaSize) {
            return kRefused;
        }
        Record record;
        record.type = le::Load<std::uint32_t>(area + at);
        record.offset = le::Load<std::uint32_t>(area + at + 4);
        record.size = le::Load<std::uint32_t>(area + at + 8);
        const std::size_t header = record.type == 1 ? 16 : 12;
        if (record.type != 1 && record.type != 2) {
            return kRefused;
        }
        if (at + header + record.size > areaSize ||
            std::size_t{record.offset} + record.size > space_.size()) {
            return kRefused;
        }
        std::uint8_t* data = area + at + header;
        if (record.type == 1) {
            record.target = le::Load<std::uint32_t>(area + at + 12);
            std::memcpy(data, space_.data() + record.offset, record.size);
        } else {
            record.data.assign(data, data + record.size);
            std::memcpy(space_.data() + record.offset, data, record.size);
        }
        batch.push_back(std::move(record));
        at += header + batch.back().size;
    }
    if (tamper_) {
        tamper_(area, areaSize);
    }
    return answer_;
}

}  // namespace aerolinker::testing
