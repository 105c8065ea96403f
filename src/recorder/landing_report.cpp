// The landing's touchdown, G and bounces, and the honest time's counters.
#include "recorder/landing_report.h"

#include <algorithm>

#include "common/fixed_number_text.h"
#include "recorder/track.h"

namespace aerolinker {

void LandingWatcher::Step(const LandingSample& sample) {
    const int sinceTouchdown = SecondsBetween(lastTouchdown_, sample.secondsOfDay);
    switch (state_) {
        case State::kAirborne:
            if (!sample.onGround) {
                seenAirborne_ = true;
            } else if (seenAirborne_) {
                // The latched rate stopped following the vertical speed at the touchdown,
                // so the first tick on the ground still reads it.
                report_ = LandingReport{sample.touchdownFpm, sample.gForce, 0};
                lastTouchdown_ = sample.secondsOfDay;
                state_ = State::kDown;
            }
            break;
        case State::kDown:
            if (sample.onGround) {
                if (sinceTouchdown <= kBounceWindowSeconds) {
                    report_->gForce = std::max(report_->gForce, sample.gForce);
                }
            } else {
                state_ =
                    sinceTouchdown <= kBounceWindowSeconds ? State::kBouncing : State::kAirborne;
            }
            break;
        case State::kBouncing:
            if (sample.onGround) {
                ++report_->bounces;
                report_->gForce = std::max(report_->gForce, sample.gForce);
                lastTouchdown_ = sample.secondsOfDay;
                state_ = State::kDown;
            } else if (sinceTouchdown > kGoAroundSeconds) {
                state_ = State::kAirborne;
            }
            break;
    }
}

void HonestTime::Count(bool paused, bool slewing, double simulationRate, int seconds) {
    if (paused) {
        paused_ += seconds;
    }
    if (slewing) {
        slew_ += seconds;
    }
    // The rate is a multiple of 1/256, so 1x compares exactly.
    if (simulationRate != 1.0) {
        otherRate_ += seconds;
    }
}

std::string LandingText(const LandingReport& landing) {
    return "Touchdown " + FixedText(landing.touchdownFpm, 0) + " ft/min, " +
           FixedText(landing.gForce, 2) + " G, " + std::to_string(landing.bounces) +
           (landing.bounces == 1 ? " bounce" : " bounces");
}

HonestTime HonestTimeOf(const std::vector<TraceRow>& rows, int tickSeconds) {
    HonestTime time;
    for (const TraceRow& row : rows) {
        time.Count(row.paused, row.slewing, row.simulationRate, tickSeconds);
    }
    return time;
}

}  // namespace aerolinker
