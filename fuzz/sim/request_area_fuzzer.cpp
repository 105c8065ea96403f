// Arbitrary bytes as the shared area a client hands the server: every batch is either
// served (answer 1) or refused (answer 0), and a refused one changes nothing.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "link/fsuipc_link.h"
#include "sim/scenario_parser.h"
#include "sim/sim_server.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace aerolinker;
    static const auto scenario = std::make_shared<const Scenario>(
        ParseScenario("title \"Fuzz\"\nclock 10:00\nframe 3\nu16 0x4000 7\nframe\non_ground 1\n"));
    // Saves go to a folder that does not exist, so names from the input never make files.
    SimServer server(scenario, SimServer::Options{"/nonexistent-aerolinker-fuzz"});
    const std::size_t areaSize = size < protocol::kAreaSize ? size : protocol::kAreaSize;
    std::vector<std::uint8_t> area(data, data + areaSize);
    const std::vector<std::uint8_t> before = area;
    const std::uintptr_t answer = server.Serve(area.data(), area.size());
    if (answer == SimServer::kRefused) {
        if (area != before || server.player().position() != 0 ||
            server.offsets().U16(0x4000) != 0) {
            std::abort();
        }
    } else if (answer != SimServer::kServed) {
        std::abort();
    }
    return 0;
}
