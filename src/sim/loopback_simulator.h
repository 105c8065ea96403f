// The substitute simulator in the same process: a server window on a LoopbackPlatform that
// serves the FSUIPC protocol from a scenario, so the program's link can be driven end to end
// without Windows or another process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "link/fsuipc_link.h"
#include "link/loopback/platform.h"
#include "sim/scenario.h"
#include "sim/sim_server.h"

namespace aerolinker {

class LoopbackSimulator {
public:
    struct Options {
        // "UIPCMAIN" as FSUIPC in the simulator, or "FS98MAIN" as WideClient.
        std::string windowClass = protocol::kServerClass;
        std::string flightsFolder = ".";
        std::uint32_t ticksPerSample = 1;  // the speed, as fsim's
    };

    LoopbackSimulator(LoopbackPlatform& platform, std::shared_ptr<const Scenario> scenario,
                      Options options);
    LoopbackSimulator(LoopbackPlatform& platform, std::shared_ptr<const Scenario> scenario);
    ~LoopbackSimulator();  // the window goes away with the simulator
    LoopbackSimulator(const LoopbackSimulator&) = delete;
    LoopbackSimulator& operator=(const LoopbackSimulator&) = delete;

    SimServer& server() { return server_; }
    WindowHandle window() const { return window_; }

private:
    std::uintptr_t OnMessage(std::uint32_t message, std::uintptr_t wParam);

    LoopbackPlatform& platform_;
    SimServer server_;
    std::uint32_t ipcMessage_ = 0;
    WindowHandle window_ = 0;
};

}  // namespace aerolinker
