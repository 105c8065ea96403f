// The flight's phases and the airline's rules beside the recorder's tick they ride on: the
// recorder's tick (the landing watcher, the row with its phase, its line appended to the trace
// file) against the phase tracker's step and the rules' checks of the same tick.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "link/sim_sample.h"
#include "recorder/flight_phases.h"
#include "recorder/flight_recorder.h"
#include "rules/flight_rules.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

constexpr int kFlightTicks = 12 * 720;  // 12 hours of 5-second ticks

// A 12-hour flight's samples: at the gate, the take-off, a climb and a long cruise with its
// slow drift of position and fuel, the descent and the landing, the clock running 5 s a tick.
std::vector<SimSample> FlightSamples() {
    std::vector<SimSample> samples(kFlightTicks);
    for (int tick = 0; tick < kFlightTicks; ++tick) {
        SimSample& s = samples[static_cast<std::size_t>(tick)];
        const int seconds = 6 * 3600 + 5 * tick;
        RecorderValues& r = s.recorder;
        r.utcHour = static_cast<std::uint8_t>(seconds / 3600 % 24);
        r.utcMinute = static_cast<std::uint8_t>(seconds / 60 % 60);
        r.second = static_cast<std::uint8_t>(seconds % 60);
        r.localHour = r.utcHour;
        r.localMinute = r.utcMinute;
        r.dayOfYear = 340;
        r.year = 2026;
        const bool airborne = tick > 120 && tick < kFlightTicks - 120;
        s.onGround = airborne ? 0 : 1;
        s.engineCombustion[0] = tick > 12 && tick < kFlightTicks - 12 ? 1 : 0;
        s.groundSpeed = tick < 12 ? 0.0 : airborne ? 230.0 : 60.0;
        r.latitude = 2'000'000'000'000'000LL + 1'000'000'000'000LL * tick;
        r.longitude = 1'000'000'000'000'000LL + 3'000'000'000'000LL * tick;
        s.altitudeMetres = airborne ? 11000u : 100u;
        r.verticalSpeed = airborne && tick < 600 ? 2000 : 0;
        r.indicatedAirspeed = 250u * 128u;
        r.gForce = 625;
        r.simulationRate = 256;
        s.fuelTanks[0] = static_cast<std::uint32_t>(8'000'000 - 500 * tick);
        s.fuelTanks[1] = 20000;
        s.rules.lights = offsets::kNavigationLights | offsets::kBeaconLight;
    }
    return samples;
}

void BM_RecorderTick(benchmark::State& state) {
    const std::vector<SimSample> samples = FlightSamples();
    const std::string trace = (fs::temp_directory_path() / "aerolinker-phases-bench.csv").string();
    FlightRecorder recorder;
    recorder.Start(trace);
    std::size_t tick = 0;
    for (auto _ : state) {
        if (tick == samples.size()) {
            state.PauseTiming();
            recorder.Start(trace);
            tick = 0;
            state.ResumeTiming();
        }
        const SimSample& sample = samples[tick++];
        benchmark::DoNotOptimize(recorder.BeforeStep(sample));
        benchmark::DoNotOptimize(recorder.Record(sample));
    }
    fs::remove(trace);
}
BENCHMARK(BM_RecorderTick);

// The phase tracker's step and the rules' checks on the rows such a flight gives.
void BM_PhasesAndRules(benchmark::State& state) {
    const std::vector<SimSample> samples = FlightSamples();
    const std::string trace = (fs::temp_directory_path() / "aerolinker-phases-bench.csv").string();
    FlightRecorder recorder;
    recorder.Start(trace);
    for (const SimSample& sample : samples) {
        recorder.BeforeStep(sample);
        recorder.Record(sample);
    }
    const std::vector<TraceRow> rows = recorder.Rows();
    fs::remove(trace);
    PhaseTracker phases;
    RuleChecker rules;
    std::size_t tick = 0;
    for (auto _ : state) {
        if (tick == rows.size()) {
            tick = 0;
        }
        const TraceRow& row = rows[tick];
        const SimSample& sample = samples[tick];
        const FlightPhase phase = phases.Step({row.utcSeconds,
                                               row.onGround,
                                               true,
                                               row.groundSpeedKnots,
                                               row.verticalSpeedFpm,
                                               row.heightFeet,
                                               row.altitudeFeet,
                                               {}});
        benchmark::DoNotOptimize(
            rules.Check({row, phase, sample.rules, true}, tick > 0 ? &rows[tick - 1] : nullptr));
        ++tick;
    }
}
BENCHMARK(BM_PhasesAndRules);

}  // namespace
}  // namespace aerolinker

BENCHMARK_MAIN();
