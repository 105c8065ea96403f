// Playing scenario frames tick by tick, and rebuilding a position from the start.
#include "sim/scenario_player.h"

#include <utility>

#include "common/units.h"
#include "link/fsuipc_offsets.h"

namespace aerolinker {

ScenarioPlayer::ScenarioPlayer(std::shared_ptr<const Scenario> scenario)
    : scenario_(std::move(scenario)), totalTicks_(scenario_->TotalTicks()) {}

void ScenarioPlayer::Reset(OffsetSpace& space) {
    space.Clear();
    position_ = 0;
    frameIndex_ = 0;
    frameTicksLeft_ = 0;
    clockSeconds_ = 0;
    clockRunning_ = false;
    clockSet_ = false;
    Apply(scenario_->initial, space);
}

void ScenarioPlayer::Advance(OffsetSpace& space) {
    if (holding()) {
        return;
    }
    // The first tick shows the clock the initial values set; every later one is a tick on.
    if (position_ > 0) {
        RunClock(1);
    }
    ++position_;
    if (frameTicksLeft_ == 0) {
        if (position_ > 1) {
            ++frameIndex_;
        }
        const ScenarioFrame& frame = scenario_->frames[frameIndex_];
        frameTicksLeft_ = frame.ticks;
        Apply(frame.changes, space);
    }
    --frameTicksLeft_;
    if (clockRunning_) {
        WriteClock(space);
    }
}

const ScenarioFrame* ScenarioPlayer::FrameStartingNext() const {
    if (holding() || frameTicksLeft_ != 0) {
        return nullptr;
    }
    return &scenario_->frames[position_ == 0 ? 0 : frameIndex_ + 1];
}

void ScenarioPlayer::Rewind(OffsetSpace& space, std::uint64_t position) {
    Reset(space);
    std::uint64_t target = position < totalTicks_ ? position : totalTicks_;
    // Whole frames at a time: a long frame only moves the clock on.
    while (position_ < target) {
        Advance(space);
        const std::uint64_t skip =
            frameTicksLeft_ < target - position_ ? frameTicksLeft_ : target - position_;
        if (skip > 0) {
            RunClock(skip);
            position_ += skip;
            frameTicksLeft_ -= skip;
            if (clockRunning_) {
                WriteClock(space);
            }
        }
    }
}

void ScenarioPlayer::Apply(const ScenarioChanges& changes, OffsetSpace& space) {
    for (const OffsetChange& change : changes.writes) {
        space.Write(change.offset, change.bytes.data(),
                    static_cast<std::uint32_t>(change.bytes.size()));
    }
    if (changes.clock) {
        clockSeconds_ = changes.clock->secondsOfDay;
        clockRunning_ = changes.clock->running;
        clockSet_ = true;
        WriteClock(space);
    }
}

void ScenarioPlayer::RunClock(std::uint64_t ticks) {
    if (clockRunning_) {
        clockSeconds_ = static_cast<std::uint32_t>(
            (clockSeconds_ + ticks % units::kSecondsPerDay * units::kTickSeconds) %
            units::kSecondsPerDay);
    }
}

void ScenarioPlayer::WriteClock(OffsetSpace& space) const {
    space.SetU8(offsets::kClockHour,
                static_cast<std::uint8_t>(clockSeconds_ / units::kSecondsPerHour));
    space.SetU8(offsets::kClockMinute,
                static_cast<std::uint8_t>(clockSeconds_ / units::kSecondsPerMinute %
                                          units::kMinutesPerHour));
}

}  // namespace aerolinker
