// The cost of one batch on the loopback platform: the program's per-tick sample through its
// link and the in-process simulator, and the server core's share of it.
#include <benchmark/benchmark.h>

#include <memory>

#include "link/fsuipc_link.h"
#include "link/sim_sample.h"
#include "sim/loopback_simulator.h"
#include "sim/scenario_parser.h"

namespace aerolinker {
namespace {

constexpr const char* kScenario =
    "title \"Generic Twin Turboprop\"\nwaypoint_count 5\nroute_distance 250000\nprev LIEO\n"
    "next OLB\nclock 09:50\nwind 270/12\nfuel left_main 0.6875 64\nheading 4.36332\n"
    "frame 100000\nengines 1 1 0 0\n";

std::shared_ptr<const Scenario> BenchScenario() {
    return std::make_shared<const Scenario>(ParseScenario(kScenario));
}

// The whole tick's batch: 29 reads queued, sent, served and copied back.
void SampleBatch(benchmark::State& state) {
    LoopbackPlatform platform;
    LoopbackSimulator simulator(platform, BenchScenario());
    FsuipcLink link(platform);
    LinkResult result = LinkOk;
    if (!link.OpenLink(0, result)) {
        state.SkipWithError("the link did not open");
        return;
    }
    SimSample sample;
    for (auto _ : state) {
        SampleSimulator(link, sample, result);
        benchmark::DoNotOptimize(sample);
    }
    if (result != LinkOk) {
        state.SkipWithError("a sample failed");
    }
}
BENCHMARK(SampleBatch);

// The server core alone on a sample's request area, as the link leaves it.
void ServeSampleArea(benchmark::State& state) {
    LoopbackPlatform platform;
    LoopbackSimulator simulator(platform, BenchScenario());
    std::vector<std::uint8_t> area(protocol::kAreaSize, 0);
    // Capture the area the link sends for one sample.
    platform.RemoveServerWindow(simulator.window());
    platform.AddServerWindow(
        protocol::kServerClass, [&](std::uint32_t, std::uintptr_t wParam, std::intptr_t) {
            const std::string name = platform.AtomName(static_cast<std::uint16_t>(wParam));
            std::uint32_t size = 0;
            std::uint8_t* shared = platform.OpenMapping(name, &size);
            std::copy(shared, shared + size, area.begin());
            return simulator.server().Serve(shared, size);
        });
    FsuipcLink link(platform);
    LinkResult result = LinkOk;
    SimSample sample;
    if (!link.OpenLink(0, result)) {
        state.SkipWithError("the link did not open");
        return;
    }
    SampleSimulator(link, sample, result);
    for (auto _ : state) {
        benchmark::DoNotOptimize(simulator.server().Serve(area.data(), area.size()));
    }
}
BENCHMARK(ServeSampleArea);

}  // namespace
}  // namespace aerolinker

BENCHMARK_MAIN();
