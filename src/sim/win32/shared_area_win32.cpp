// Opening the client's shared area for one request and serving it.
#include "sim/win32/shared_area_win32.h"

#include <windows.h>

#include "link/fsuipc_link.h"

namespace aerolinker {

namespace {
constexpr std::uintptr_t kLargestAtom = 0xFFFF;
constexpr DWORD kAtomNameCapacity = 256;
}  // namespace

std::uintptr_t ServeSharedArea(SimServer& server, std::uintptr_t atom) {
    if (atom == 0 || atom > kLargestAtom) {
        return SimServer::kRefused;
    }
    char name[kAtomNameCapacity];
    if (GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name) == 0) {
        return SimServer::kRefused;
    }
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (mapping == nullptr) {
        return SimServer::kRefused;
    }
    std::uintptr_t answer = SimServer::kRefused;
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (view != nullptr) {
        // The mapping is the client's: its size bounds the walk, and a client that made it
        // smaller than the protocol's area must not make the server read past it.
        MEMORY_BASIC_INFORMATION region = {};
        SIZE_T size = 0;
        if (VirtualQuery(view, &region, sizeof region) != 0) {
            size =
                region.RegionSize < protocol::kAreaSize ? region.RegionSize : protocol::kAreaSize;
        }
        answer = server.Serve(static_cast<std::uint8_t*>(view), size);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return answer;
}

}  // namespace aerolinker
