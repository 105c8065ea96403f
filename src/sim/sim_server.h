// The substitute simulator's server core: it performs the program's request areas against
// the offset space the scenario plays into, exactly as FSUIPC would, and records what the
// program wrote. The hosts (in-process, or the fsim window) only find the shared area and
// hand it here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/offset_space.h"
#include "sim/scenario.h"
#include "sim/scenario_player.h"
#include "sim/transcript.h"

namespace aerolinker {

class SimServer {
public:
    // What the server answers the client's message with.
    static constexpr std::uintptr_t kServed = 1;
    static constexpr std::uintptr_t kRefused = 0;
    // Not an answer: the host leaves the message unanswered (the scenario's hang).
    static constexpr std::uintptr_t kNoAnswer = ~std::uintptr_t{0};

    struct Options {
        // Where saved flights go; they outlive the process.
        std::string flightsFolder = ".";
        // How many ticks each sample plays: 1 is the real pace, more fly the scenario faster
        // (its clock and position alike) for a pilot who wants to see a whole flight.
        std::uint32_t ticksPerSample = 1;
    };

    SimServer(std::shared_ptr<const Scenario> scenario, Options options);

    // Performs the request records in the area, in place, and answers kServed. A batch that is
    // malformed anywhere (an unknown record type, a record or its data running past the area
    // or past the offset space, no terminator) is refused as a whole with kRefused before any
    // of it is performed. A batch whose first record reads the clock hour is a tick's sample
    // and plays the scenario's next ticks (Options::ticksPerSample of them) before it is
    // answered. While the scenario hangs before a frame, any request gets kNoAnswer and
    // nothing of it is done.
    std::uintptr_t Serve(std::uint8_t* area, std::size_t areaSize);

    // How many bytes of the area the last batch took, from its start through its terminator;
    // the whole area when that batch was refused.
    std::size_t lastBatchLength() const { return lastBatchLength_; }

    const OffsetSpace& offsets() const { return space_; }
    const ScenarioPlayer& player() const { return player_; }
    const Scenario& scenario() const { return *scenario_; }
    Transcript& transcript() { return transcript_; }
    const Transcript& transcript() const { return transcript_; }

private:
    struct Record {
        std::uint32_t type;
        std::uint32_t offset;
        std::uint32_t size;
        std::size_t data;  // position of the record's data in the area
    };

    bool Hanging();
    void PlaySample();
    bool Validate(const std::uint8_t* area, std::size_t areaSize, std::string& reason);
    void PerformWrite(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size);
    void ActOnFlightControl();
    void SaveFlight(const std::string& name, TranscriptEntry& entry);
    void LoadFlight(const std::string& name, TranscriptEntry& entry);
    void WriteVersions();
    TranscriptEntry Entry(TranscriptKind kind, std::uint32_t offset) const;

    std::shared_ptr<const Scenario> scenario_;
    Options options_;
    OffsetSpace space_;
    ScenarioPlayer player_;
    Transcript transcript_;
    std::vector<Record> records_;
    bool flightControlWritten_ = false;
    std::size_t lastBatchLength_ = 0;
    // The hang before the next frame: the position it belongs to, and the requests it still
    // leaves unanswered.
    std::uint64_t hangPosition_ = ~std::uint64_t{0};
    std::uint32_t hangLeft_ = 0;
};

}  // namespace aerolinker
