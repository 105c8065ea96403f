// A scenario for the substitute simulator: the values it holds before the first tick (the
// flight plan, the aircraft, the weather) and a timeline of frames, one per tick,
// each changing some offsets and keeping the rest. Named values are turned into raw offset
// bytes when the scenario is read, so playing it is only copying bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aerolinker {

// The simulator's clock as a scenario sets it. A running clock advances by one tick's
// seconds at every tick after the first; a held one stands still until the next setting.
struct ClockSetting {
    std::uint32_t secondsOfDay = 0;
    bool running = true;
};

struct OffsetChange {
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> bytes;
};

struct ScenarioChanges {
    std::vector<OffsetChange> writes;  // applied in order; a later write to an offset wins
    std::optional<ClockSetting> clock;
    std::optional<long long> dateDays;  // the UTC date, days since 1970-01-01
    std::optional<int> zoneMinutes;     // local time minus UTC
    bool setsPosition = false;          // a `position` statement among the writes
};

// Changes a moment after a frame's first tick, seen only by the program's looks at the landing
// between ticks (each one a look later, units::kLookMilliseconds); the next tick finds them all
// made.
struct ScenarioStep {
    std::uint32_t afterMilliseconds = 0;  // after the frame's first tick, below one tick
    ScenarioChanges changes;
};

struct ScenarioFrame {
    std::uint32_t ticks = 1;  // how many ticks the frame stays before the next one
    int line = 0;             // where it starts in the scenario file
    ScenarioChanges changes;
    // The simulator hangs before the frame's first tick: it leaves this many of the program's
    // requests unanswered (each try of a request counts), and its scenario stands still.
    std::uint32_t hangRequests = 0;
    std::vector<ScenarioStep> steps;  // in time order
};

struct Scenario {
    // FSUIPC's own version (must be above 0x19980004 for the program) and the simulator code
    // reported at 0x3308 after 0xFADE (7 is Flight Simulator 2004).
    static constexpr std::uint32_t kDefaultServerVersion = 0x19990000;
    static constexpr std::uint16_t kDefaultSimulatorCode = 7;

    std::string name;
    // Without `clock_follows_rate` the clock runs one tick's seconds at every tick, whatever
    // the simulation rate and the pause; with it, as the simulator's own clock does: the rate
    // times the tick, and not at all while paused.
    bool clockFollowsRate = false;
    // With `positions_glide`, an airborne aircraft moves a step every tick in a straight line
    // to the next frame's `position`, as it flies; on the ground positions hold.
    bool positionsGlide = false;
    std::uint32_t serverVersion = kDefaultServerVersion;
    std::uint16_t simulatorCode = kDefaultSimulatorCode;
    ScenarioChanges initial;
    std::vector<ScenarioFrame> frames;

    std::uint64_t TotalTicks() const {
        std::uint64_t total = 0;
        for (const ScenarioFrame& frame : frames) {
            total += frame.ticks;
        }
        return total;
    }
};

}  // namespace aerolinker
