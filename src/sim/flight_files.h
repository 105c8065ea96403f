// The substitute simulator's saved flights: a small text file per name in the flights
// folder holding the scenario position, so a flight survives the simulator's process.
#pragma once

#include <cstdint>
#include <string>

namespace aerolinker {

// Why a flight name the program sent cannot name a file in the flights folder; empty when it
// can. The name comes from another process, so anything that would leave the folder (a path
// separator, a drive, a leading dot) or that no file system takes is refused.
std::string FlightNameProblem(const std::string& name);

// The file of a flight: the name with ".flt" added unless it already ends so ("navforge" and
// "navforge.flt" are the same flight).
std::string FlightFileName(const std::string& name);

std::string FlightFileText(const std::string& scenarioName, std::uint64_t position);

// Reads a flight file's text; false with the reason when it is not a flight of this scenario.
bool ReadFlightFileText(const std::string& text, const std::string& scenarioName,
                        std::uint64_t& position, std::string& reason);

}  // namespace aerolinker
