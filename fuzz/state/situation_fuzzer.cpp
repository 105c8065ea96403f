// libFuzzer target: arbitrary bytes as a situation file. The reader refuses them with a reason,
// or gives a situation whose text reads back as the same situation.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "tracking/situation.h"

namespace {

void Require(bool condition, const char* what) {
    aerolinker::fuzzing::Require(condition, "situation_fuzzer", what);
}

using aerolinker::Situation;

// The lines of a sound situation of the previous version, up to its log: behind them the input's
// own lines replace single values, so the round trip is reached without a seed corpus.
constexpr const char* kSoundLines =
    "Aerolinker situation 1\n"
    "closed=0\nflight=navforge-a\nsaved=2024-05-01 10:20:30\nsimHour=9\nsimMinute=5\n"
    "onGround=0\nRemainingDistance=246.5\nRemainingAfterLeg=-3\nRouteFlown=LIEO->\n"
    "TakeOffTime=0.375\nTakeOffFuel=512\nDepartureClouds=Haze\nDepartureVisibility=12.5\n"
    "DepartureQnh=1013\nDepartureTemperature=-5\nDepartureWindDirection=270\n"
    "DepartureWindSpeed=8\nRegistrationCount=1\nWaypointCounter=2\nWaypointCount=4\n"
    "EngineStarted=1\nEngineStartTime=0.37\nLandingTime=0\nEngineStopTime=0\n"
    "LandingHeading=###\nRemainingAtDeparture=270\nArrivalIdent=\nArrivalFuel=0\n";

// Numbers compare by value: the text of a number keeps every bit but the sign of a zero.
bool Same(const Situation& a, const Situation& b) {
    const aerolinker::TrackingState& s = a.state;
    const aerolinker::TrackingState& t = b.state;
    return a.flightName == b.flightName && a.savedAt.year == b.savedAt.year &&
           a.savedAt.month == b.savedAt.month && a.savedAt.day == b.savedAt.day &&
           a.savedAt.hour == b.savedAt.hour && a.savedAt.minute == b.savedAt.minute &&
           a.savedAt.second == b.savedAt.second && a.simHour == b.simHour &&
           a.simMinute == b.simMinute && a.onGround == b.onGround && a.closed == b.closed &&
           a.logText == b.logText && a.recorder == b.recorder &&
           s.RemainingDistance == t.RemainingDistance &&
           s.RemainingAfterLeg == t.RemainingAfterLeg && s.RouteFlown == t.RouteFlown &&
           s.TakeOffTime == t.TakeOffTime && s.TakeOffFuel == t.TakeOffFuel &&
           s.DepartureClouds == t.DepartureClouds &&
           s.DepartureVisibility == t.DepartureVisibility && s.DepartureQnh == t.DepartureQnh &&
           s.DepartureTemperature == t.DepartureTemperature &&
           s.DepartureWindDirection == t.DepartureWindDirection &&
           s.DepartureWindSpeed == t.DepartureWindSpeed &&
           s.RegistrationCount == t.RegistrationCount && s.WaypointCounter == t.WaypointCounter &&
           s.WaypointCount == t.WaypointCount && s.EngineStarted == t.EngineStarted &&
           s.EngineStartTime == t.EngineStartTime && s.LandingTime == t.LandingTime &&
           s.EngineStopTime == t.EngineStopTime && s.LandingHeading == t.LandingHeading &&
           s.RemainingAtDeparture == t.RemainingAtDeparture && s.ArrivalIdent == t.ArrivalIdent &&
           s.ArrivalFuel == t.ArrivalFuel;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An odd first byte puts the rest of the input behind the sound lines.
    std::string text;
    if (size > 0 && (data[0] & 1) != 0) {
        text = kSoundLines;
        ++data;
        --size;
    }
    text.append(reinterpret_cast<const char*>(data), size);

    Situation read;
    std::string problem;
    if (!aerolinker::ParseSituation(text, read, problem)) {
        Require(!problem.empty(), "a refusal without a reason");
        return 0;
    }
    Situation again;
    Require(aerolinker::ParseSituation(aerolinker::SituationText(read), again, problem),
            "the text of an accepted situation is refused");
    Require(Same(read, again), "the text of an accepted situation reads back differently");
    return 0;
}
