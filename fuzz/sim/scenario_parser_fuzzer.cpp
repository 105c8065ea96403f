// Arbitrary bytes as a scenario file: the reader either refuses them with a line number
// inside the text, or gives a scenario that plays, and whose every position rebuilt from the
// start equals the position played to.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sim/scenario_parser.h"
#include "sim/scenario_player.h"

namespace {
// Enough ticks to cross many frames without letting one input run for long.
constexpr std::uint64_t kMostTicks = 3000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace aerolinker;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::shared_ptr<const Scenario> scenario;
    try {
        scenario = std::make_shared<const Scenario>(ParseScenario(text));
    } catch (const ScenarioError& error) {
        std::size_t lines = 1;
        for (const char c : text) {
            lines += c == '\n';
        }
        if (error.line() < 1 || static_cast<std::size_t>(error.line()) > lines) {
            std::abort();
        }
        return 0;
    }
    ScenarioPlayer played(scenario);
    OffsetSpace playedSpace;
    played.Reset(playedSpace);
    const std::uint64_t ticks =
        played.totalTicks() < kMostTicks ? played.totalTicks() + 1 : kMostTicks;
    for (std::uint64_t i = 0; i < ticks; ++i) {
        played.Advance(playedSpace);
    }
    ScenarioPlayer rebuilt(scenario);
    OffsetSpace rebuiltSpace;
    rebuilt.Rewind(rebuiltSpace, played.position());
    if (rebuilt.position() != played.position() ||
        rebuilt.clockSeconds() != played.clockSeconds()) {
        std::abort();
    }
    for (std::uint32_t offset = 0; offset < OffsetSpace::kSize; ++offset) {
        if (rebuiltSpace.U8(offset) != playedSpace.U8(offset)) {
            std::abort();
        }
    }
    return 0;
}
