// The landing's touchdown, G and bounces, and the honest time's counters.
#include "recorder/landing_report.h"

#include <algorithm>
#include <cmath>

#include "common/fixed_number_text.h"
#include "common/units.h"
#include "recorder/track.h"

namespace aerolinker {

void LandingWatcher::Step(const LandingSample& sample) {
    const long long sinceTouchdown = sample.utcSeconds - lastTouchdown_;
    switch (state_) {
        case State::kAirborne:
            if (!sample.onGround) {
                seenAirborne_ = true;
            } else if (seenAirborne_) {
                // The latched rate stopped following the vertical speed at the touchdown,
                // so the first tick on the ground still reads it.
                report_ =
                    LandingReport{sample.touchdownFpm, sample.gForce,    0,
                                  sample.latitude,     sample.longitude, sample.groundSpeedKnots};
                lastTouchdown_ = sample.utcSeconds;
                state_ = State::kDown;
            }
            break;
        case State::kDown:
            if (sample.onGround) {
                if (sinceTouchdown <= kBounceWindowSeconds) {
                    report_->gForce = std::max(report_->gForce, sample.gForce);
                }
            } else {
                // Off the ground again, however long into the roll: a bounce of this landing
                // until it has flown long enough to be another (a touch-and-go, which the
                // phases tell, forgets it). A hop late in the roll never replaces the landing.
                liftOff_ = sample.utcSeconds;
                state_ = State::kBouncing;
            }
            break;
        case State::kBouncing:
            if (sample.onGround) {
                ++report_->bounces;
                report_->gForce = std::max(report_->gForce, sample.gForce);
                lastTouchdown_ = sample.utcSeconds;
                state_ = State::kDown;
            } else if (sample.utcSeconds - std::max(liftOff_, lastTouchdown_) > kGoAroundSeconds) {
                state_ = State::kAirborne;
            }
            break;
    }
}

void LandingWatcher::Forget() {
    report_.reset();
    state_ = State::kAirborne;
    seenAirborne_ = true;
}

std::optional<LandingWatcher::Saved> LandingWatcher::Save() const {
    if (!report_) {
        return std::nullopt;
    }
    return Saved{*report_, lastTouchdown_, static_cast<int>(state_)};
}

void LandingWatcher::Restore(const Saved& saved) {
    report_ = saved.report;
    lastTouchdown_ = saved.lastTouchdown;
    seenAirborne_ = true;
    state_ = saved.state == static_cast<int>(State::kBouncing) ? State::kBouncing
             : saved.state == static_cast<int>(State::kDown)   ? State::kDown
                                                               : State::kAirborne;
}

void HonestTime::Count(const TraceRow& row, const TraceRow* previous) {
    if (!BeforeEngineStart(row) && row.paused) {
        paused_ += units::kTickSeconds;
    }
    if (!previous || BeforeEngineStart(*previous)) {
        return;
    }
    // The simulator's seconds since the row before, flown in the state that row saw; a clock
    // set back or far ahead by the pilot counts the tick at that row's rate instead.
    constexpr long long kFastestRate = 128;
    long long seconds = row.utcSeconds - previous->utcSeconds;
    if (seconds < 0 || seconds > units::kTickSeconds * kFastestRate) {
        seconds = std::lround(units::kTickSeconds * previous->simulationRate);
    }
    if (previous->slewing) {
        slew_ += static_cast<int>(seconds);
    }
    // The rate is a multiple of 1/256, so 1x compares exactly.
    if (previous->simulationRate != 1.0) {
        otherRate_ += static_cast<int>(seconds);
    }
}

std::string LandingText(const LandingReport& landing) {
    return "Touchdown " + FixedText(landing.touchdownFpm, 0) + " ft/min, " +
           FixedText(landing.gForce, 2) + " G, " + std::to_string(landing.bounces) +
           (landing.bounces == 1 ? " bounce" : " bounces");
}

HonestTime HonestTimeOf(const std::vector<TraceRow>& rows) {
    HonestTime time;
    for (size_t i = 0; i < rows.size(); ++i) {
        time.Count(rows[i], i > 0 ? &rows[i - 1] : nullptr);
    }
    return time;
}

}  // namespace aerolinker
