// A small FSUIPC server for the link's tests: it answers the protocol on the loopback platform
// from an offset space held in memory, and can be told to misbehave.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/loopback/platform.h"

namespace aerolinker::testing {

class ProtocolTestServer {
public:
    static constexpr std::uint32_t kDefaultServerVersion = 0x36000000;
    static constexpr std::uint32_t kDefaultSimulatorVersion = 0xFADE0006;

    // One request record as the server found it in the area.
    struct Record {
        std::uint32_t type = 0;
        std::uint32_t offset = 0;
        std::uint32_t size = 0;
        std::uint32_t target = 0;        // reads only
        std::vector<std::uint8_t> data;  // writes only
    };

    explicit ProtocolTestServer(LoopbackPlatform& platform,
                                const std::string& className = "UIPCMAIN");
    ~ProtocolTestServer();
    ProtocolTestServer(const ProtocolTestServer&) = delete;
    ProtocolTestServer& operator=(const ProtocolTestServer&) = delete;

    // The offset space.
    void Put(std::uint32_t offset, const void* bytes, std::size_t size);
    void Put16(std::uint32_t offset, std::uint16_t value);
    void Put32(std::uint32_t offset, std::uint32_t value);
    void PutDouble(std::uint32_t offset, double value);
    void PutText(std::uint32_t offset, const std::string& text);  // without a zero byte
    std::vector<std::uint8_t> Get(std::uint32_t offset, std::size_t size) const;

    // Behaviour. By default the versions are reported from the first message on.
    void ReportVersions(std::uint32_t server, std::uint32_t simulator, int fromMessage = 1);
    void NeverReportVersions() { versionsFromMessage_ = 0; }
    void AnswerWith(std::uintptr_t answer) { answer_ = answer; }
    // Runs after the requests were served, with the whole area: a hostile server's chance.
    void TamperWith(std::function<void(std::uint8_t* area, std::uint32_t size)> tamper) {
        tamper_ = std::move(tamper);
    }
    void Remove();  // the server window goes away

    // Observations.
    int messages() const { return static_cast<int>(batches_.size()); }
    const std::vector<std::vector<Record>>& batches() const { return batches_; }
    const std::vector<Record>& lastBatch() const { return batches_.back(); }
    // The first bytes of the area as the last message found them.
    const std::vector<std::uint8_t>& lastAreaBytes() const { return lastAreaBytes_; }
    const std::string& lastMappingName() const { return lastMappingName_; }

private:
    std::uintptr_t Serve(std::uint32_t message, std::uintptr_t wParam);

    LoopbackPlatform& platform_;
    WindowHandle window_ = 0;
    std::uint32_t message_ = 0;
    std::vector<std::uint8_t> space_;
    std::uint32_t serverVersion_ = kDefaultServerVersion;
    std::uint32_t simulatorVersion_ = kDefaultSimulatorVersion;
    int versionsFromMessage_ = 1;
    std::uintptr_t answer_ = 1;
    std::function<void(std::uint8_t*, std::uint32_t)> tamper_;
    std::vector<std::vector<Record>> batches_;
    std::vector<std::uint8_t> lastAreaBytes_;
    std::string lastMappingName_;
};

}  // namespace aerolinker::testing
