// The operating-system calls the FSUIPC link needs, and nothing more. The Windows program
// uses the real Win32 calls; tests and the Linux build use the in-process loopback.
#pragma once

#include <cstdint>

namespace aerolinker {

using WindowHandle = std::uintptr_t;   // 0: no window
using MappingHandle = std::uintptr_t;  // 0: no mapping

class LinkPlatform {
public:
    virtual ~LinkPlatform() = default;

    // FindWindowExA for a top-level window of the class; 0 when there is none.
    virtual WindowHandle FindTopLevelWindow(const char* className) = 0;
    // RegisterWindowMessageA; 0 on failure.
    virtual std::uint32_t RegisterMessage(const char* name) = 0;
    virtual std::uint32_t CurrentProcessId() = 0;
    // GlobalAddAtomA (0 on failure) and GlobalDeleteAtom.
    virtual std::uint16_t AddGlobalAtom(const char* text) = 0;
    virtual void DeleteGlobalAtom(std::uint16_t atom) = 0;

    struct NewMapping {
        MappingHandle handle = 0;     // 0 when creation failed
        bool alreadyExisted = false;  // ERROR_ALREADY_EXISTS after CreateFileMappingA
    };
    // CreateFileMappingA: a named, page-file-backed, read/write shared object of `size` bytes.
    virtual NewMapping CreateNamedMapping(const char* name, std::uint32_t size) = 0;
    // MapViewOfFile of the whole object, writable; nullptr on failure.
    virtual std::uint8_t* MapView(MappingHandle mapping) = 0;
    virtual void UnmapView(std::uint8_t* view) = 0;
    virtual void CloseMapping(MappingHandle mapping) = 0;

    struct SendOutcome {
        bool sent = false;            // SendMessageTimeoutA returned non-zero
        std::uintptr_t answer = 0;    // the receiver's answer when sent
        std::uint32_t lastError = 0;  // GetLastError when not sent: 0 for a plain time-out
    };
    // SendMessageTimeoutA with SMTO_BLOCK.
    virtual SendOutcome SendWithTimeout(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam,
                                        std::uint32_t timeoutMs) = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace aerolinker
