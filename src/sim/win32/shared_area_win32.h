// The Windows side of serving one FSUIPC request: from the atom in the message to the shared
// area of the client's file mapping, and back.
#pragma once

#include <cstdint>

#include "sim/sim_server.h"

namespace aerolinker {

// GlobalGetAtomNameA -> OpenFileMappingA -> MapViewOfFile -> serve -> UnmapViewOfFile; the
// answer for the client's SendMessage (1 when served, 0 when anything failed).
std::uintptr_t ServeSharedArea(SimServer& server, std::uintptr_t atom);

}  // namespace aerolinker
