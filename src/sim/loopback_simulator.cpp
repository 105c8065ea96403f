// The in-process host of the substitute simulator.
#include "sim/loopback_simulator.h"

#include <utility>

namespace aerolinker {

LoopbackSimulator::LoopbackSimulator(LoopbackPlatform& platform,
                                     std::shared_ptr<const Scenario> scenario)
    : LoopbackSimulator(platform, std::move(scenario), Options()) {}

LoopbackSimulator::LoopbackSimulator(LoopbackPlatform& platform,
                                     std::shared_ptr<const Scenario> scenario, Options options)
    : platform_(platform),
      server_(std::move(scenario),
              SimServer::Options{options.flightsFolder, options.ticksPerSample}),
      ipcMessage_(platform.RegisterMessage(protocol::kMessageName)) {
    window_ = platform_.AddServerWindow(
        options.windowClass, [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
            return OnMessage(message, wParam);
        });
}

LoopbackSimulator::~LoopbackSimulator() {
    platform_.RemoveServerWindow(window_);
}

// The same steps as the fsim window: the atom names the mapping, the mapping is the area.
std::uintptr_t LoopbackSimulator::OnMessage(std::uint32_t message, std::uintptr_t wParam) {
    if (ipcMessage_ == 0 || message != ipcMessage_ || wParam > protocol::kLargestAtom) {
        return 0;
    }
    const std::string name = platform_.AtomName(static_cast<std::uint16_t>(wParam));
    if (name.empty()) {
        return SimServer::kRefused;
    }
    std::uint32_t size = 0;
    std::uint8_t* area = platform_.OpenMapping(name, &size);
    if (area == nullptr) {
        return SimServer::kRefused;
    }
    const std::uintptr_t answer = server_.Serve(area, size);
    return answer == SimServer::kNoAnswer ? LoopbackPlatform::kNoReply : answer;
}

}  // namespace aerolinker
