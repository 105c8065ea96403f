// The flight's phases as the map and the profile show them: the trace's rows grouped into runs
// of one phase, each with the name a pilot reads and the family that gives it its colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "recorder/trace.h"

namespace aerolinker {

// Phases drawn in one colour: on the ground; the take-off and the climb; the cruise; the
// descent down to the end of the landing roll; the events of a flight that did not go to plan
// (a rejected take-off, a go-around, a touch-and-go); and a phase the program does not know.
enum class PhaseFamily { kGround, kTakeOffAndClimb, kCruise, kDescentAndLanding, kEvent, kOther };

struct PhaseFamilyLook {
    PhaseFamily family;
    const char* id;     // the map's style for it
    std::uint32_t rgb;  // 0xRRGGBB
};

// Every family, in the order the map writes their styles.
inline constexpr PhaseFamilyLook kPhaseFamilyLooks[] = {
    {PhaseFamily::kGround, "phase-ground", 0x8D6E63},
    {PhaseFamily::kTakeOffAndClimb, "phase-climb", 0x2E9E3E},
    {PhaseFamily::kCruise, "phase-cruise", 0x2F7FD8},
    {PhaseFamily::kDescentAndLanding, "phase-descent", 0xE67E22},
    {PhaseFamily::kEvent, "phase-event", 0x8E44AD},
    {PhaseFamily::kOther, "phase-other", 0xA0A0A0},
};

const PhaseFamilyLook& LookOf(PhaseFamily family);

// Consecutive rows of one phase: rows [first, end).
struct PhaseRun {
    std::size_t first = 0;
    std::size_t end = 0;
    std::string name;
    PhaseFamily family = PhaseFamily::kOther;
};

// The runs of the trace, in order, covering every row. Rows an older copy wrote are read as
// the phases are named now, so its "landed" then "bounce" make one landing roll; a phase the
// program does not know keeps its own text as its name.
std::vector<PhaseRun> PhaseRuns(const std::vector<TraceRow>& rows);

}  // namespace aerolinker
