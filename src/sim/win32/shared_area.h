// The Windows side of serving a client: from the atom in its message to a view of its file
// mapping.
#pragma once

#include "sim/client_area_cache.h"

namespace aerolinker {

// GlobalGetAtomNameA -> OpenFileMappingA -> MapViewOfFile -> CloseHandle, and
// UnmapViewOfFile when the view is let go.
class Win32AreaMapper : public AreaMapper {
public:
    MappedArea Map(std::uintptr_t atom) override;
    void Unmap(const MappedArea& area) override;
};

}  // namespace aerolinker
