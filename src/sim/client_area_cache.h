// The client areas the simulator keeps mapped from one message to the next, and how it knows
// that a kept area is still the one its client writes to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/sim_server.h"

namespace aerolinker {

// A view of a client's request area, mapped into the simulator.
struct MappedArea {
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// The platform's half: from the atom of a message to a view of the client's file mapping.
class AreaMapper {
public:
    virtual ~AreaMapper() = default;
    // Maps the area whose name the atom holds and keeps no handle to the mapping, so the name
    // dies with the client's own handle. A null view when anything fails.
    virtual MappedArea Map(std::uintptr_t atom) = 0;
    virtual void Unmap(const MappedArea& area) = 0;
};

// Mapping a client's area anew for every message costs five calls into the system (the atom's
// name, open, map, unmap, close); under Wine each is a round trip to the wineserver and
// together they cost more than the message itself. So a client's view is kept, keyed by its
// atom, and the next message is served from it while it is certain to be the client's area.
//
// The mapping handle is closed as soon as the view is made. A kept view therefore does not
// keep the mapping's name alive: when the client closes its link and opens it again in the
// same process, it creates a new mapping under the same name, and a kept view of the old one
// would be stale. Every message follows a batch the client has just written into its area,
// and nobody but the client writes there; so the kept view is the client's area when its bytes
// differ from the ones the simulator left in it after the last answer. When they are the same,
// either the client's area is another mapping now or the client sent the same bytes again
// (a repeated batch of writes, or reads whose answers were all zero); the area is mapped anew
// then, which is right in both cases.
//
// This relies on the protocol's calling order: a client sends every batch it writes before
// it closes its link. A client that wrote a batch, dropped it unsent, closed its link and
// opened it again would have its next message served from the old area.
class ClientAreaCache {
public:
    static constexpr std::size_t kDefaultCapacity = 4;

    explicit ClientAreaCache(AreaMapper& mapper, std::size_t capacity = kDefaultCapacity);
    ~ClientAreaCache();
    ClientAreaCache(const ClientAreaCache&) = delete;
    ClientAreaCache& operator=(const ClientAreaCache&) = delete;

    // Serves the message of the client whose area the atom names: the answer for its
    // SendMessage (SimServer::kRefused when the area cannot be mapped).
    std::uintptr_t Serve(SimServer& server, std::uintptr_t atom);

    // How many clients' views are kept.
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::uintptr_t atom = 0;
        MappedArea area;
        std::vector<std::uint8_t> answered;  // the area's bytes as the last answer left them
        std::uint64_t lastUse = 0;
    };

    static bool ClientWroteSince(const Entry& entry);
    Entry* Find(std::uintptr_t atom);
    Entry* MapAnew(std::uintptr_t atom);
    void Drop(std::size_t index);

    AreaMapper& mapper_;
    std::size_t capacity_;
    std::vector<Entry> entries_;
    std::uint64_t uses_ = 0;
};

}  // namespace aerolinker
