// The flight's phases, one sample at a time.
#include "recorder/flight_phases.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "common/calendar.h"

namespace aerolinker {
namespace {

struct NamedPhase {
    std::string_view name;
    FlightPhase phase;
};

// Every phase's name, then the words older copies wrote in the trace.
constexpr NamedPhase kNames[] = {
    {"at the gate", FlightPhase::kAtTheGate},
    {"taxi out", FlightPhase::kTaxiOut},
    {"take-off roll", FlightPhase::kTakeOffRoll},
    {"rejected take-off", FlightPhase::kRejectedTakeOff},
    {"initial climb", FlightPhase::kInitialClimb},
    {"climb", FlightPhase::kClimb},
    {"cruise", FlightPhase::kCruise},
    {"descent", FlightPhase::kDescent},
    {"approach", FlightPhase::kApproach},
    {"final", FlightPhase::kFinal},
    {"go-around", FlightPhase::kGoAround},
    {"touch-and-go", FlightPhase::kTouchAndGo},
    {"landing roll", FlightPhase::kLandingRoll},
    {"taxi in", FlightPhase::kTaxiIn},
    {"on block", FlightPhase::kOnBlock},
    {"parked", FlightPhase::kAtTheGate},
    {"taxi", FlightPhase::kTaxiOut},
    {"landed", FlightPhase::kLandingRoll},
    {"bounce", FlightPhase::kLandingRoll},
    {"airborne", FlightPhase::kLandingRoll},
};

bool BeforeFlight(FlightPhase phase) {
    return phase == FlightPhase::kAtTheGate || phase == FlightPhase::kTaxiOut ||
           phase == FlightPhase::kTakeOffRoll || phase == FlightPhase::kRejectedTakeOff;
}

}  // namespace

const char* PhaseName(FlightPhase phase) {
    for (const NamedPhase& named : kNames) {
        if (named.phase == phase) {
            return named.name.data();
        }
    }
    return "";
}

std::optional<FlightPhase> PhaseNamed(const std::string& name) {
    // Every row is asked its phase several times a tick: the lengths are compared first.
    const std::string_view text(name);
    const auto* found = std::find_if(std::begin(kNames), std::end(kNames),
                                     [&](const NamedPhase& named) { return text == named.name; });
    if (found == std::end(kNames)) {
        return std::nullopt;
    }
    return found->phase;
}

bool IsMomentPhase(FlightPhase phase) {
    return phase == FlightPhase::kRejectedTakeOff || phase == FlightPhase::kTouchAndGo;
}

std::string PhasesOfNote(const std::vector<PhaseChange>& phases, const std::string& lead) {
    std::string text;
    for (const PhaseChange& change : phases) {
        if (IsMomentPhase(change.phase) || change.phase == FlightPhase::kGoAround) {
            text += (text.empty() ? lead : ", ") + PhaseName(change.phase) + " " +
                    TimeOfDayText(SecondsOfDayOf(change.utcSeconds)) + "Z";
        }
    }
    return text;
}

FlightPhase PhaseTracker::Step(const PhaseInput& input) {
    phase_ = input.onGround ? OnGround(input) : Airborne(input);
    return phase_;
}

FlightPhase PhaseTracker::OnGround(const PhaseInput& input) {
    using namespace phase_limits;
    liftOff_.reset();  // a bounce is over
    groundAltitudeFeet_ = input.altitudeFeet;
    const double speed = input.groundSpeedKnots;
    if (!flown_) {
        if (!input.enginesRunning) {
            return FlightPhase::kAtTheGate;
        }
        switch (phase_) {
            case FlightPhase::kTakeOffRoll:
                fastestRollKnots_ = std::max(fastestRollKnots_, speed);
                return speed <= fastestRollKnots_ - kRejectKnots ? FlightPhase::kRejectedTakeOff
                                                                 : FlightPhase::kTakeOffRoll;
            case FlightPhase::kRejectedTakeOff:
                return speed < kTaxiKnots ? FlightPhase::kTaxiOut : FlightPhase::kRejectedTakeOff;
            default:
                if (speed >= kRollKnots) {
                    fastestRollKnots_ = speed;
                    return FlightPhase::kTakeOffRoll;
                }
                return FlightPhase::kTaxiOut;
        }
    }
    if (!input.enginesRunning) {
        return FlightPhase::kOnBlock;
    }
    switch (phase_) {
        case FlightPhase::kLandingRoll:
            return speed < kTaxiKnots ? FlightPhase::kTaxiIn : FlightPhase::kLandingRoll;
        case FlightPhase::kTaxiIn:
        case FlightPhase::kOnBlock:
            return FlightPhase::kTaxiIn;
        default:
            return FlightPhase::kLandingRoll;  // the touchdown
    }
}

FlightPhase PhaseTracker::Airborne(const PhaseInput& input) {
    using namespace phase_limits;
    if (!flown_ || BeforeFlight(phase_)) {
        flown_ = true;
        return FlightPhase::kInitialClimb;
    }
    switch (phase_) {
        case FlightPhase::kLandingRoll:
        case FlightPhase::kTaxiIn:
        case FlightPhase::kOnBlock:
            if (!liftOff_) {
                liftOff_ = input.utcSeconds;
            }
            return AfterTouchdown(input);
        case FlightPhase::kTouchAndGo:
            return FlightPhase::kInitialClimb;
        case FlightPhase::kApproach:
        case FlightPhase::kFinal:
        case FlightPhase::kGoAround:
            // Down and up again between two ticks: no tick saw the wheels on the runway.
            if (input.liftOffSeen) {
                liftOff_ = input.liftOffSeen;
                groundAltitudeFeet_ = input.altitudeFeet - input.heightFeet;
                return AfterTouchdown(input);
            }
            return InFlight(input);
        default:
            return InFlight(input);
    }
}

// Off the ground again after a touchdown: a bounce of the landing until it has lasted or
// climbed too far to be one.
FlightPhase PhaseTracker::AfterTouchdown(const PhaseInput& input) {
    using namespace phase_limits;
    if (input.utcSeconds - *liftOff_ >= kTouchAndGoSeconds ||
        input.altitudeFeet - groundAltitudeFeet_ >= kTouchAndGoFeet) {
        liftOff_.reset();
        return FlightPhase::kTouchAndGo;
    }
    return FlightPhase::kLandingRoll;
}

FlightPhase PhaseTracker::InFlight(const PhaseInput& input) {
    using namespace phase_limits;
    const double climb = input.verticalSpeedFpm;
    const double height = input.heightFeet;
    if (phase_ != FlightPhase::kDescent) {
        levelSince_.reset();
    }
    switch (phase_) {
        case FlightPhase::kInitialClimb:
            if (height < kInitialClimbFeet && climb >= -kLevelFpm) {
                return FlightPhase::kInitialClimb;
            }
            break;
        case FlightPhase::kGoAround:
            if (climb > kLevelFpm && height < kApproachFeet) {
                return FlightPhase::kGoAround;
            }
            break;
        case FlightPhase::kApproach:
        case FlightPhase::kFinal:
            if (climb > kGoAroundFpm) {
                return FlightPhase::kGoAround;
            }
            if (phase_ == FlightPhase::kFinal || height < kFinalFeet) {
                return FlightPhase::kFinal;
            }
            if (height < kApproachFeet) {
                return FlightPhase::kApproach;
            }
            break;
        default:
            break;
    }
    // Below the approach height, coming down (or level after coming down, or after a
    // go-around) is the approach; level there after the climb out is not.
    const bool comingDown =
        climb < -kLevelFpm || phase_ == FlightPhase::kDescent || phase_ == FlightPhase::kGoAround;
    if (height < kApproachFeet && climb <= kLevelFpm && comingDown) {
        return height < kFinalFeet ? FlightPhase::kFinal : FlightPhase::kApproach;
    }
    if (climb > kLevelFpm) {
        return FlightPhase::kClimb;
    }
    if (climb < -kLevelFpm) {
        levelSince_.reset();
        return FlightPhase::kDescent;
    }
    if (phase_ == FlightPhase::kDescent) {
        if (!levelSince_) {
            levelSince_ = input.utcSeconds;
        }
        if (input.utcSeconds - *levelSince_ < kDescentStepSeconds) {
            return FlightPhase::kDescent;
        }
    }
    levelSince_.reset();
    return FlightPhase::kCruise;
}

}  // namespace aerolinker
