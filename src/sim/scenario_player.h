// Plays a scenario into an offset space: the initial values first, then one frame's changes
// per tick. The position is the number of ticks played; after the last frame the simulator
// holds still, and any position can be rebuilt from the start, which is how a saved flight
// comes back.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "sim/offset_space.h"
#include "sim/scenario.h"

namespace aerolinker {

class ScenarioPlayer {
public:
    explicit ScenarioPlayer(std::shared_ptr<const Scenario> scenario);

    // Clears the space and writes the initial values: position 0, before the first tick.
    void Reset(OffsetSpace& space);
    // Plays the next tick; after the last one nothing changes any more.
    void Advance(OffsetSpace& space);
    // Rebuilds the space as it stood after `position` ticks (the last tick when beyond it).
    void Rewind(OffsetSpace& space, std::uint64_t position);
    // One of the program's looks at the landing between ticks: a look later in the tick, the
    // steps of the frame due by then are made and the clock shows that moment.
    void Look(OffsetSpace& space);

    std::uint64_t position() const { return position_; }
    std::uint64_t totalTicks() const { return totalTicks_; }
    bool holding() const { return position_ >= totalTicks_; }
    // The frame whose first tick the next Advance plays; none within a frame or when holding.
    const ScenarioFrame* FrameStartingNext() const;
    // The simulator clock (UTC) in seconds of the day; meaningful once a scenario has set it.
    std::uint32_t clockSeconds() const;
    // Its date and time: UTC milliseconds since 1970-01-01 00:00.
    long long clockMilliseconds() const { return clockMs_; }
    bool clockSet() const { return clockSet_; }
    const Scenario& scenario() const { return *scenario_; }

private:
    void Apply(const ScenarioChanges& changes, OffsetSpace& space);
    void RunClock(const OffsetSpace& space, std::uint64_t ticks);
    // The steps of the frame whose first tick was the last one played, up to `milliseconds`
    // after that tick.
    void ApplySteps(OffsetSpace& space, std::uint32_t milliseconds);
    long long TimeOfDayMs() const;
    void WriteClock(OffsetSpace& space) const;
    void WriteClockAt(OffsetSpace& space, long long milliseconds) const;
    void Glide(OffsetSpace& space) const;

    std::shared_ptr<const Scenario> scenario_;
    // The frames that set a position and the ticks they start at, for gliding to the next one.
    struct PositionTick {
        std::uint64_t tick = 0;
        std::size_t frame = 0;
    };
    std::vector<PositionTick> positionTicks_;
    std::uint64_t totalTicks_ = 0;
    std::uint64_t position_ = 0;
    std::size_t frameIndex_ = 0;        // the frame the last tick played belongs to
    std::uint64_t frameTicksLeft_ = 0;  // ticks of that frame still to come
    long long clockMs_ = 0;
    const std::vector<ScenarioStep>* steps_ = nullptr;  // of the frame started last tick
    std::size_t stepsMade_ = 0;
    std::uint32_t lookMs_ = 0;  // how far into the tick the looks have come
    int zoneMinutes_ = 0;
    bool clockRunning_ = false;
    bool clockSet_ = false;
};

}  // namespace aerolinker
