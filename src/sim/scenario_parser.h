// Reading scenario files. The reader is strict: the first line it cannot take whole refuses
// the scenario, with the line number and the reason, before anything plays.
#pragma once

#include <stdexcept>
#include <string>

#include "common/units.h"
#include "sim/scenario.h"

namespace aerolinker {

class ScenarioError : public std::runtime_error {
public:
    // what() reads "line 12: <reason>"; line 0 stands for the file as a whole, whose what()
    // is the reason alone ("cannot read the file: ...").
    ScenarioError(int line, const std::string& reason);
    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

private:
    int line_;
    std::string reason_;
};

// The longest a frame may repeat: a week of ticks.
constexpr std::uint32_t kMaxFrameTicks = 7 * units::kSecondsPerDay / units::kTickSeconds;
// A hang of at most this many requests (the program tries each request 10 times).
constexpr std::uint32_t kMaxHangRequests = 10000;

Scenario ParseScenario(const std::string& text);
Scenario LoadScenarioFile(const std::string& path);

}  // namespace aerolinker
