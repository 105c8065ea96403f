// Playing scenario frames tick by tick, and rebuilding a position from the start.
#include "sim/scenario_player.h"

#include <cmath>
#include <algorithm>
#include <utility>

#include "common/calendar.h"
#include "common/little_endian.h"
#include "common/units.h"
#include "link/fsuipc_offsets.h"

namespace aerolinker {

namespace {
// The simulator's date until a scenario sets one: 1 January 2004.
const long long kDefaultDateDays = DaysFromCivil(CivilDate{2004, 1, 1});
constexpr std::uint32_t kTickMilliseconds = units::kTickSeconds * units::kMillisecondsPerSecond;
}  // namespace

ScenarioPlayer::ScenarioPlayer(std::shared_ptr<const Scenario> scenario)
    : scenario_(std::move(scenario)), totalTicks_(scenario_->TotalTicks()) {
    std::uint64_t start = 1;
    for (std::size_t frame = 0; frame < scenario_->frames.size(); ++frame) {
        if (scenario_->frames[frame].changes.setsPosition) {
            positionTicks_.push_back(PositionTick{start, frame});
        }
        start += scenario_->frames[frame].ticks;
    }
}

void ScenarioPlayer::Reset(OffsetSpace& space) {
    space.Clear();
    position_ = 0;
    frameIndex_ = 0;
    frameTicksLeft_ = 0;
    clockMs_ = kDefaultDateDays * units::kMillisecondsPerDay;
    steps_ = nullptr;
    stepsMade_ = 0;
    lookMs_ = 0;
    zoneMinutes_ = 0;
    clockRunning_ = false;
    clockSet_ = false;
    Apply(scenario_->initial, space);
}

void ScenarioPlayer::Advance(OffsetSpace& space) {
    if (holding()) {
        return;
    }
    // Whatever the looks did not reach of the last tick's steps happened before this tick.
    ApplySteps(space, kTickMilliseconds);
    steps_ = nullptr;
    lookMs_ = 0;
    // The first tick shows the clock the initial values set; every later one is a tick on.
    if (position_ > 0) {
        RunClock(space, 1);
    }
    ++position_;
    if (frameTicksLeft_ == 0) {
        if (position_ > 1) {
            ++frameIndex_;
        }
        const ScenarioFrame& frame = scenario_->frames[frameIndex_];
        frameTicksLeft_ = frame.ticks;
        Apply(frame.changes, space);
        steps_ = frame.steps.empty() ? nullptr : &frame.steps;
        stepsMade_ = 0;
    }
    --frameTicksLeft_;
    if (clockRunning_) {
        WriteClock(space);
    }
    Glide(space);
}

// The next position is reached at its frame's first tick: each tick before it covers an equal
// part of what remains, so the aircraft flies a straight line at a steady pace.
void ScenarioPlayer::Glide(OffsetSpace& space) const {
    if (!scenario_->positionsGlide || space.S16(offsets::kOnGround) != 0) {
        return;
    }
    // A frame that sets the position puts the aircraft there at its first tick.
    const ScenarioFrame& current = scenario_->frames[frameIndex_];
    if (current.changes.setsPosition && frameTicksLeft_ + 1 == current.ticks) {
        return;
    }
    const auto next =
        std::upper_bound(positionTicks_.begin(), positionTicks_.end(), position_,
                         [](std::uint64_t tick, const PositionTick& at) { return tick < at.tick; });
    if (next == positionTicks_.end()) {
        return;
    }
    const double share = 1.0 / static_cast<double>(next->tick - position_ + 1);
    // 180 degrees of longitude, in the simulator's units.
    constexpr double kHalfTurn = 9223372036854775808.0;
    for (const OffsetChange& change : scenario_->frames[next->frame].changes.writes) {
        if (change.bytes.size() != sizeof(std::int64_t)) {
            continue;
        }
        const double from = static_cast<double>(space.S64(change.offset));
        const double to = static_cast<double>(le::Load<std::int64_t>(change.bytes.data()));
        if (change.offset == offsets::kLatitude ||
            (change.offset == offsets::kLongitude && std::abs(to - from) <= kHalfTurn)) {
            space.SetS64(change.offset, static_cast<std::int64_t>(from + (to - from) * share));
        } else if (change.offset == offsets::kLongitude) {
            // The shorter way round the earth is across the date line, not back over the whole
            // world: the longitude's whole range is the integer's, whose difference wraps.
            const auto wrapped = static_cast<std::uint64_t>(space.S64(change.offset));
            const auto step = static_cast<std::int64_t>(
                static_cast<double>(static_cast<std::int64_t>(
                    static_cast<std::uint64_t>(le::Load<std::int64_t>(change.bytes.data())) -
                    wrapped)) *
                share);
            space.SetS64(change.offset,
                         static_cast<std::int64_t>(wrapped + static_cast<std::uint64_t>(step)));
        }
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
        // A gliding aircraft moves at every tick: no frame is skipped over whole.
        const std::uint64_t skip = scenario_->positionsGlide              ? 0
                                   : frameTicksLeft_ < target - position_ ? frameTicksLeft_
                                                                          : target - position_;
        if (skip > 0) {
            ApplySteps(space, kTickMilliseconds);
            RunClock(space, skip);
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
    if (changes.zoneMinutes) {
        zoneMinutes_ = *changes.zoneMinutes;
    }
    if (changes.dateDays) {
        clockMs_ = *changes.dateDays * units::kMillisecondsPerDay + TimeOfDayMs();
    }
    if (changes.clock) {
        clockMs_ =
            clockMs_ - TimeOfDayMs() +
            static_cast<long long>(changes.clock->secondsOfDay) * units::kMillisecondsPerSecond;
        clockRunning_ = changes.clock->running;
        clockSet_ = true;
    }
    if (changes.clock || (clockSet_ && (changes.dateDays || changes.zoneMinutes))) {
        WriteClock(space);
    }
}

void ScenarioPlayer::ApplySteps(OffsetSpace& space, std::uint32_t milliseconds) {
    if (steps_ == nullptr) {
        return;
    }
    while (stepsMade_ < steps_->size() && (*steps_)[stepsMade_].afterMilliseconds <= milliseconds) {
        Apply((*steps_)[stepsMade_].changes, space);
        ++stepsMade_;
    }
}

void ScenarioPlayer::Look(OffsetSpace& space) {
    // More looks than a tick holds (a slow tick) stay at its last moment.
    lookMs_ = std::min<std::uint32_t>(lookMs_ + units::kLookMilliseconds,
                                      kTickMilliseconds - units::kLookMilliseconds);
    ApplySteps(space, lookMs_);
    if (clockRunning_) {
        WriteClockAt(space, clockMs_ + lookMs_);
    }
}

long long ScenarioPlayer::TimeOfDayMs() const {
    const long long day = units::kMillisecondsPerDay;
    return (clockMs_ % day + day) % day;
}

std::uint32_t ScenarioPlayer::clockSeconds() const {
    return static_cast<std::uint32_t>(TimeOfDayMs() / units::kMillisecondsPerSecond);
}

void ScenarioPlayer::RunClock(const OffsetSpace& space, std::uint64_t ticks) {
    if (!clockRunning_) {
        return;
    }
    long long perTickMs =
        static_cast<long long>(units::kTickSeconds) * units::kMillisecondsPerSecond;
    if (scenario_->clockFollowsRate) {
        // The simulator's clock stands still while paused and runs at the simulation rate
        // (256 is 1x; FSUIPC's 0 is 1x too).
        const std::uint16_t rate = space.U16(offsets::kSimulationRate);
        perTickMs = space.U16(offsets::kPauseIndicator) != 0
                        ? 0
                        : perTickMs * (rate == 0 ? offsets::kSimulationRatePerFactor : rate) /
                              offsets::kSimulationRatePerFactor;
    }
    clockMs_ += perTickMs * static_cast<long long>(ticks);
}

// The UTC clock at 0x023B/0x023C as the program's tick has always read it; the seconds, the
// local time and the local date beside it.
void ScenarioPlayer::WriteClock(OffsetSpace& space) const {
    WriteClockAt(space, clockMs_);
}

void ScenarioPlayer::WriteClockAt(OffsetSpace& space, long long milliseconds) const {
    const long long utcSeconds = milliseconds / units::kMillisecondsPerSecond;
    const long long localSeconds =
        utcSeconds + static_cast<long long>(zoneMinutes_) * units::kSecondsPerMinute;
    const int utc = SecondsOfDayOf(utcSeconds);
    const int local = SecondsOfDayOf(localSeconds);
    const CivilDate localDate = CivilFromDays((localSeconds - local) / units::kSecondsPerDay);
    const auto hour = [](int s) { return static_cast<std::uint8_t>(s / units::kSecondsPerHour); };
    const auto minute = [](int s) {
        return static_cast<std::uint8_t>(s / units::kSecondsPerMinute % units::kMinutesPerHour);
    };
    space.SetU8(offsets::kClockHour, hour(utc));
    space.SetU8(offsets::kClockMinute, minute(utc));
    space.SetU8(offsets::kClockSecond, static_cast<std::uint8_t>(utc % units::kSecondsPerMinute));
    space.SetU8(offsets::kLocalHour, hour(local));
    space.SetU8(offsets::kLocalMinute, minute(local));
    space.SetU16(offsets::kDayOfYear, static_cast<std::uint16_t>(DayOfYear(localDate)));
    space.SetU16(offsets::kYear, static_cast<std::uint16_t>(localDate.year));
    space.SetS16(offsets::kZoneOffset, static_cast<std::int16_t>(-zoneMinutes_));
}

}  // namespace aerolinker
