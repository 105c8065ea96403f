// fsim_roundtrip: times the program's per-tick sample batch against fsim.exe in another
// process, interleaved with a bare SendMessageTimeoutA round trip to the same window (the
// platform's floor), and reports the medians and their ratio. The goal: a sample batch costs
// at most 1.2 times the bare round trip.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/units.h"
#include "link/fsuipc_link.h"
#include "link/fsuipc_offsets.h"
#include "link/sim_sample.h"
#include "link/win32/platform.h"
#include "sim/win32/fsim_process.h"

namespace {

using namespace aerolinker;
namespace fs = std::filesystem;

constexpr int kDefaultIterations = 20000;
constexpr int kWarmUp = 500;
constexpr double kGoalRatio = 1.2;
constexpr UINT kSendTimeoutMs = 2000;

constexpr const char* kScenario =
    "scenario \"round trip\"\ntitle \"Generic Twin Turboprop\"\nwaypoint_count 5\n"
    "route_distance 250000\nprev LIEO\nnext OLB\nclock 09:50\nwind 270/12\n"
    "fuel left_main 0.6875 64\nheading 4.36332\nframe 100000\nengines 1 1 0 0\n";

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

class Stopwatch {
public:
    Stopwatch() { QueryPerformanceFrequency(&frequency_); }
    LONGLONG Now() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }
    double Microseconds(LONGLONG from, LONGLONG to) const {
        return static_cast<double>(to - from) * 1e6 / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_;
};

// The program's user and kernel time so far, in microseconds.
double ProcessCpuMicroseconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return 0.0;
    }
    const auto units = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    constexpr double kFileTimeUnitsPerMicrosecond = 10.0;
    return (units(kernel) + units(user)) / kFileTimeUnitsPerMicrosecond;
}

constexpr int kLooksPerSecond = units::kMillisecondsPerSecond / units::kLookMilliseconds;
constexpr double kLookGoalPercent = 2.0;

}  // namespace

int main(int argc, char** argv) {
    const int iterations = argc > 1 ? std::atoi(argv[1]) : kDefaultIterations;
    if (iterations < 1) {
        std::fprintf(stderr, "usage: fsim_roundtrip [ITERATIONS]\n");
        return 2;
    }
    const fs::path folder = fs::temp_directory_path() /
                            ("aerolinker_roundtrip_" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    const fs::path scenario = folder / "roundtrip.scn";
    std::ofstream(scenario, std::ios::binary) << kScenario;

    int status = 2;
    {
        FsimProcess fsim;
        Win32LinkPlatform platform;
        FsuipcLink link(platform);
        LinkResult result = LinkOk;
        std::string error;
        if (!fsim.Start("--flights \"" + folder.string() + "\" \"" + scenario.string() + "\"",
                        protocol::kServerClass, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
        } else if (link.OpenLink(0, result)) {
            SimSample sample;
            DWORD_PTR answer = 0;
            const auto bare = [&] {
                return SendMessageTimeoutA(fsim.window(), WM_NULL, 0, 0, SMTO_BLOCK, kSendTimeoutMs,
                                           &answer) != 0;
            };
            // The smallest batch the link sends: one read of no bytes. Against the sample it
            // shows what the 29 reads add. Sent twice in a row, the second one finds the area
            // exactly as fsim answered the first, so fsim maps the client's area anew for it
            // (atom name, open, map, close, and unmap the kept view): that one shows what
            // keeping the view saves.
            const auto minimal = [&] {
                LinkResult queued = LinkOk;
                return link.QueueRead(offsets::kClockMinute, 0, nullptr, queued) &&
                       link.ProcessRequests(result);
            };
            // The tick's 29 reads as they were before the flight recorder's 11 joined them: the
            // same offsets and sizes, in the same order, in one batch.
            const auto sample29 = [&] {
                struct Read {
                    std::uint32_t offset;
                    std::uint32_t size;
                };
                static const Read reads[] = {
                    {offsets::kClockHour, 2},
                    {offsets::kClockMinute, 2},
                    {offsets::kVisibility, 2},
                    {offsets::kQnh, 2},
                    {offsets::kWindDirection, 2},
                    {offsets::kWindSpeed, 2},
                    {offsets::kTemperature, 2},
                    {offsets::kCloudCover, 2},
                    {offsets::kFuelTanks, offsets::kFuelTankValues * 4},
                    {offsets::kAltitudeFraction, 4},
                    {offsets::kAltitudeMetres, 4},
                    {offsets::kPreviousWaypoint, offsets::kWaypointIdSize},
                    {offsets::kNextWaypoint, offsets::kWaypointIdSize},
                    {offsets::kDistanceToNext, 8},
                    {offsets::kTrueHeading, 8},
                    {offsets::kTimeToNext, 4},
                    {offsets::kEstimatedArrival, 4},
                    {offsets::kActiveWaypoint, 4},
                    {offsets::kApproachName, offsets::kApproachNameSize},
                    {offsets::kApproachTransition, offsets::kApproachNameSize},
                    {offsets::kDestination, offsets::kDestinationSize},
                    {offsets::kGroundSpeed, 8},
                    {offsets::kRouteDistance, 8},
                    {offsets::kGpsFuel, 8},
                    {offsets::kEngine1Combustion, 2},
                    {offsets::kEngine1Combustion + offsets::kEngineStride, 2},
                    {offsets::kEngine1Combustion + 2 * offsets::kEngineStride, 2},
                    {offsets::kEngine1Combustion + 3 * offsets::kEngineStride, 2},
                    {offsets::kOnGround, 2},
                };
                static std::uint8_t buffer[29][64];
                LinkResult queued = LinkOk;
                bool all = true;
                for (std::size_t r = 0; r < 29; ++r) {
                    all = link.QueueRead(reads[r].offset, reads[r].size, buffer[r], queued) && all;
                }
                return link.ProcessRequests(result) && all;
            };
            // The look at the landing between ticks, four a second near the ground.
            SimSample look;
            const auto lookAtLanding = [&] { return LookAtLanding(link, look, result); };
            bool ok = true;
            for (int i = 0; i < kWarmUp && ok; ++i) {
                SampleSimulator(link, sample, result);
                ok = result == LinkOk && bare() && minimal() && minimal();
            }
            // Interleaved, so that whatever else the machine does weighs on all alike.
            Stopwatch clock;
            std::vector<double> sampleTimes, bareTimes, minimalTimes, remappedTimes, sample29Times;
            std::vector<double> lookTimes;
            for (int i = 0; i < iterations && ok; ++i) {
                const LONGLONG l0 = clock.Now();
                ok = lookAtLanding();
                lookTimes.push_back(clock.Microseconds(l0, clock.Now()));
                const LONGLONG s0 = clock.Now();
                ok = sample29();
                sample29Times.push_back(clock.Microseconds(s0, clock.Now()));
                const LONGLONG t0 = clock.Now();
                SampleSimulator(link, sample, result);
                const LONGLONG t1 = clock.Now();
                ok = result == LinkOk && bare();
                const LONGLONG t2 = clock.Now();
                ok = ok && minimal();
                const LONGLONG t3 = clock.Now();
                ok = ok && minimal();
                const LONGLONG t4 = clock.Now();
                sampleTimes.push_back(clock.Microseconds(t0, t1));
                bareTimes.push_back(clock.Microseconds(t1, t2));
                minimalTimes.push_back(clock.Microseconds(t2, t3));
                remappedTimes.push_back(clock.Microseconds(t3, t4));
            }
            // The program's own CPU time over looks alone: the clock of process times is too
            // coarse for one look.
            const double cpu0 = ProcessCpuMicroseconds();
            for (int i = 0; i < iterations && ok; ++i) {
                ok = lookAtLanding();
            }
            const double lookCpuMicroseconds = ProcessCpuMicroseconds() - cpu0;
            if (!ok) {
                std::fprintf(stderr, "a round trip failed (link result %d)\n",
                             static_cast<int>(result));
            } else {
                const auto report = [](const char* what, const std::vector<double>& times) {
                    std::printf("%-40s median %7.1f us (p10 %7.1f, p90 %7.1f)\n", what,
                                Median(times), Percentile(times, 0.1), Percentile(times, 0.9));
                };
                const double ratio = Median(sampleTimes) / Median(bareTimes);
                std::printf("iterations: %d of each (after %d to warm up)\n", iterations, kWarmUp);
                report("bare SendMessageTimeoutA round trip:", bareTimes);
                report("minimal batch (one read of 0 bytes):", minimalTimes);
                report("the 29 reads alone:", sample29Times);
                report("sample batch (42 reads):", sampleTimes);
                report("same minimal batch again (mapped anew):", remappedTimes);
                std::printf("ratio sample / bare: %.2f (goal: at most %.1f): %s\n", ratio,
                            kGoalRatio, ratio <= kGoalRatio ? "met" : "not met");
                std::printf("ratio sample / minimal batch: %.2f\n",
                            Median(sampleTimes) / Median(minimalTimes));
                std::printf("ratio sample with the recorder's reads / the 29 reads: %.2f\n",
                            Median(sampleTimes) / Median(sample29Times));
                report("look at the landing (8 reads):", lookTimes);
                // Four looks a second while the landing is near: the round trip's time bounds
                // what both processes spend on them; the program's own CPU is measured.
                const double share = Median(lookTimes) * kLooksPerSecond / 1e6;
                const double ownShare = lookCpuMicroseconds / iterations * kLooksPerSecond / 1e6;
                std::printf(
                    "looks, %d a second: %.3f %% of one CPU by the round trip's time, "
                    "%.3f %% by the program's own CPU time (goal: under %.0f %%): %s\n",
                    kLooksPerSecond, share * 100, ownShare * 100, kLookGoalPercent,
                    share * 100 < kLookGoalPercent ? "met" : "not met");
                status = ratio <= kGoalRatio && share * 100 < kLookGoalPercent ? 0 : 1;
            }
            link.CloseLink();
        } else {
            std::fprintf(stderr, "no link to fsim (link result %d)\n", static_cast<int>(result));
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
