// Mapping a client's shared area by the atom of its message.
#include "sim/win32/shared_area.h"

#include <windows.h>

#include "link/fsuipc_link.h"

namespace aerolinker {

namespace {
constexpr DWORD kAtomNameCapacity = 256;
}  // namespace

MappedArea Win32AreaMapper::Map(std::uintptr_t atom) {
    MappedArea area;
    if (atom == 0 || atom > protocol::kLargestAtom) {
        return area;
    }
    char name[kAtomNameCapacity];
    if (GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name) == 0) {
        return area;
    }
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (mapping == nullptr) {
        return area;
    }
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    // The view holds the mapping's memory on its own. Without our handle the name goes with
    // the client's, so the client can create it again after closing its link.
    CloseHandle(mapping);
    if (view == nullptr) {
        return area;
    }
    // The mapping is the client's: its size bounds the walk, and a client that made it
    // smaller than the protocol's area must not make the server read past it.
    MEMORY_BASIC_INFORMATION region = {};
    if (VirtualQuery(view, &region, sizeof region) == 0) {
        UnmapViewOfFile(view);
        return area;
    }
    area.data = static_cast<std::uint8_t*>(view);
    area.size = region.RegionSize < protocol::kAreaSize ? region.RegionSize : protocol::kAreaSize;
    return area;
}

void Win32AreaMapper::Unmap(const MappedArea& area) {
    if (area.data != nullptr) {
        UnmapViewOfFile(area.data);
    }
}

}  // namespace aerolinker
