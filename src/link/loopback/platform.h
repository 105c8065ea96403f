// An in-process stand-in for the Windows calls of the link: servers registered by window
// class answer sends synchronously, atoms and named mappings live in memory, and sleeping
// only adds up the time asked for, so retry paths run instantly. Every failure the link must
// handle can be injected.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/link_platform.h"

namespace aerolinker {

class LoopbackPlatform : public LinkPlatform {
public:
    // What a server window does with a message sent to it: the answer of SendMessage.
    using ServerProc = std::function<std::uintptr_t(std::uint32_t message, std::uintptr_t wParam,
                                                    std::intptr_t lParam)>;
    // A server procedure's answer that is none: the window does not answer in time, and the
    // send times out as with a hung simulator.
    static constexpr std::uintptr_t kNoReply = ~std::uintptr_t{0};

    // Faults to inject; all off by default.
    struct Faults {
        bool registerMessageFails = false;  // RegisterMessage gives 0
        bool addAtomFails = false;          // AddGlobalAtom gives 0
        bool mappingFails = false;          // CreateNamedMapping gives no handle
        bool mappingAlreadyExists = false;  // ...or reports that the name existed
        bool mapViewFails = false;          // MapView gives nullptr
        int failingSends = 0;               // the next n sends fail without reaching the server
        std::uint32_t sendLastError = 0;    // GetLastError after a failed send
    };

    LoopbackPlatform();
    ~LoopbackPlatform() override;

    // Server side ------------------------------------------------------------------------
    WindowHandle AddServerWindow(const std::string& className, ServerProc proc);
    void RemoveServerWindow(WindowHandle window);
    // GlobalGetAtomName: the text of an atom, empty when the atom does not exist.
    std::string AtomName(std::uint16_t atom) const;
    // OpenFileMapping + MapViewOfFile: the memory of an existing named mapping, or nullptr.
    std::uint8_t* OpenMapping(const std::string& name, std::uint32_t* size = nullptr);

    // Test controls and observations ---------------------------------------------------------
    Faults& faults() { return faults_; }
    std::uint32_t totalSleptMs() const { return totalSleptMs_; }
    // The time the caller would have been held: its sleeps plus the full time-out of every
    // send that timed out (a failed send with last-error 0).
    std::uint64_t elapsedMs() const { return elapsedMs_; }
    int sendAttempts() const { return sendAttempts_; }
    std::uint32_t lastSendTimeoutMs() const { return lastSendTimeoutMs_; }
    std::size_t atomCount() const { return atoms_.size(); }
    std::size_t mappingCount() const { return mappings_.size(); }
    std::size_t mappedViewCount() const { return views_.size(); }
    void setProcessId(std::uint32_t pid) { processId_ = pid; }

    // LinkPlatform --------------------------------------------------------------------------
    WindowHandle FindTopLevelWindow(const char* className) override;
    std::uint32_t RegisterMessage(const char* name) override;
    std::uint32_t CurrentProcessId() override { return processId_; }
    std::uint16_t AddGlobalAtom(const char* text) override;
    void DeleteGlobalAtom(std::uint16_t atom) override;
    NewMapping CreateNamedMapping(const char* name, std::uint32_t size) override;
    std::uint8_t* MapView(MappingHandle mapping) override;
    void UnmapView(std::uint8_t* view) override;
    void CloseMapping(MappingHandle mapping) override;
    SendOutcome SendWithTimeout(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam, std::uint32_t timeoutMs) override;
    void Sleep(std::uint32_t milliseconds) override {
        totalSleptMs_ += milliseconds;
        elapsedMs_ += milliseconds;
    }

private:
    struct Mapping {
        std::string name;
        std::vector<std::uint8_t> memory;
    };

    Faults faults_;
    std::uint32_t processId_ = 0xABC;
    std::uint32_t totalSleptMs_ = 0;
    std::uint64_t elapsedMs_ = 0;
    int sendAttempts_ = 0;
    std::uint32_t lastSendTimeoutMs_ = 0;
    WindowHandle nextWindow_ = 0x100;
    std::map<WindowHandle, std::pair<std::string, ServerProc>> windows_;
    std::map<std::string, std::uint32_t> messages_;
    std::map<std::uint16_t, std::string> atoms_;
    std::uint16_t nextAtom_ = 0xC000;
    MappingHandle nextMapping_ = 0x10;
    std::map<MappingHandle, std::shared_ptr<Mapping>> mappings_;
    // A multimap because mapping one object twice gives the same address here.
    std::multimap<std::uint8_t*, std::shared_ptr<Mapping>> views_;
};

}  // namespace aerolinker
