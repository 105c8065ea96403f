// The link's platform calls on Windows: the real window, atom, file-mapping and message calls
// through which the program talks to FSUIPC or WideClient.
#pragma once

#include "link/link_platform.h"

namespace aerolinker {

class Win32LinkPlatform : public LinkPlatform {
public:
    WindowHandle FindTopLevelWindow(const char* className) override;
    std::uint32_t RegisterMessage(const char* name) override;
    std::uint32_t CurrentProcessId() override;
    std::uint16_t AddGlobalAtom(const char* text) override;
    void DeleteGlobalAtom(std::uint16_t atom) override;
    NewMapping CreateNamedMapping(const char* name, std::uint32_t size) override;
    std::uint8_t* MapView(MappingHandle mapping) override;
    void UnmapView(std::uint8_t* view) override;
    void CloseMapping(MappingHandle mapping) override;
    SendOutcome SendWithTimeout(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam, std::uint32_t timeoutMs) override;
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace aerolinker
