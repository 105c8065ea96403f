// The in-process stand-in for the link's Windows calls: window classes, registered messages,
// global atoms and named mappings kept in maps, sends delivered synchronously.
#include "link/loopback/platform.h"

#include <utility>

namespace aerolinker {

namespace {

// What Windows reports for a send to a window that no longer exists.
constexpr std::uint32_t kInvalidWindowError = 1400;  // ERROR_INVALID_WINDOW_HANDLE
// Registered messages and string atoms both live in 0xC000 to 0xFFFF on Windows.
constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;
constexpr std::uint16_t kFirstStringAtom = 0xC000;

}  // namespace

LoopbackPlatform::LoopbackPlatform() = default;
LoopbackPlatform::~LoopbackPlatform() = default;

WindowHandle LoopbackPlatform::AddServerWindow(const std::string& className, ServerProc proc) {
    const WindowHandle window = nextWindow_++;
    windows_[window] = {className, std::move(proc)};
    return window;
}

void LoopbackPlatform::RemoveServerWindow(WindowHandle window) {
    windows_.erase(window);
}

std::string LoopbackPlatform::AtomName(std::uint16_t atom) const {
    const auto found = atoms_.find(atom);
    return found == atoms_.end() ? std::string() : found->second;
}

std::uint8_t* LoopbackPlatform::OpenMapping(const std::string& name, std::uint32_t* size) {
    // The object lives while the client holds a handle or a view of it.
    for (const auto& entry : mappings_) {
        if (entry.second->name == name) {
            if (size != nullptr) {
                *size = static_cast<std::uint32_t>(entry.second->memory.size());
            }
            return entry.second->memory.data();
        }
    }
    for (const auto& entry : views_) {
        if (entry.second->name == name) {
            if (size != nullptr) {
                *size = static_cast<std::uint32_t>(entry.second->memory.size());
            }
            return entry.second->memory.data();
        }
    }
    return nullptr;
}

WindowHandle LoopbackPlatform::FindTopLevelWindow(const char* className) {
    for (const auto& entry : windows_) {
        if (entry.second.first == className) {
            return entry.first;
        }
    }
    return 0;
}

std::uint32_t LoopbackPlatform::RegisterMessage(const char* name) {
    if (faults_.registerMessageFails) {
        return 0;
    }
    const auto found = messages_.find(name);
    if (found != messages_.end()) {
        return found->second;
    }
    const std::uint32_t message =
        kFirstRegisteredMessage + static_cast<std::uint32_t>(messages_.size());
    messages_[name] = message;
    return message;
}

std::uint16_t LoopbackPlatform::AddGlobalAtom(const char* text) {
    if (faults_.addAtomFails) {
        return 0;
    }
    while (atoms_.count(nextAtom_) != 0 || nextAtom_ < kFirstStringAtom) {
        ++nextAtom_;
        if (nextAtom_ == 0) {
            nextAtom_ = kFirstStringAtom;
        }
    }
    const std::uint16_t atom = nextAtom_++;
    atoms_[atom] = text;
    return atom;
}

void LoopbackPlatform::DeleteGlobalAtom(std::uint16_t atom) {
    atoms_.erase(atom);
}

LinkPlatform::NewMapping LoopbackPlatform::CreateNamedMapping(const char* name,
                                                              std::uint32_t size) {
    NewMapping created;
    if (faults_.mappingFails) {
        return created;
    }
    std::shared_ptr<Mapping> existing;
    for (const auto& entry : mappings_) {
        if (entry.second->name == name) {
            existing = entry.second;
        }
    }
    for (const auto& entry : views_) {
        if (entry.second->name == name) {
            existing = entry.second;
        }
    }
    // Like Windows, an existing name gives a new handle to the existing object.
    if (!existing && faults_.mappingAlreadyExists) {
        existing = std::make_shared<Mapping>(Mapping{name, std::vector<std::uint8_t>(size)});
    }
    created.alreadyExisted = static_cast<bool>(existing);
    if (!existing) {
        // Page-file-backed memory starts zeroed.
        existing = std::make_shared<Mapping>(Mapping{name, std::vector<std::uint8_t>(size)});
    }
    created.handle = nextMapping_++;
    mappings_[created.handle] = existing;
    return created;
}

std::uint8_t* LoopbackPlatform::MapView(MappingHandle mapping) {
    if (faults_.mapViewFails) {
        return nullptr;
    }
    const auto found = mappings_.find(mapping);
    if (found == mappings_.end()) {
        return nullptr;
    }
    std::uint8_t* view = found->second->memory.data();
    views_.emplace(view, found->second);
    return view;
}

void LoopbackPlatform::UnmapView(std::uint8_t* view) {
    const auto found = views_.find(view);
    if (found != views_.end()) {
        views_.erase(found);
    }
}

void LoopbackPlatform::CloseMapping(MappingHandle mapping) {
    mappings_.erase(mapping);
}

LinkPlatform::SendOutcome LoopbackPlatform::SendWithTimeout(WindowHandle window,
                                                            std::uint32_t message,
                                                            std::uintptr_t wParam,
                                                            std::intptr_t lParam,
                                                            std::uint32_t timeoutMs) {
    ++sendAttempts_;
    lastSendTimeoutMs_ = timeoutMs;
    SendOutcome outcome;
    if (faults_.failingSends > 0) {
        --faults_.failingSends;
        outcome.lastError = faults_.sendLastError;
        if (outcome.lastError == 0) {
            elapsedMs_ += timeoutMs;
        }
        return outcome;
    }
    const auto found = windows_.find(window);
    if (found == windows_.end()) {
        outcome.lastError = kInvalidWindowError;
        return outcome;
    }
    // A copy, so that the server may remove or add windows while it answers.
    const ServerProc proc = found->second.second;
    const std::uintptr_t answer = proc(message, wParam, lParam);
    if (answer == kNoReply) {
        elapsedMs_ += timeoutMs;
        return outcome;
    }
    outcome.sent = true;
    outcome.answer = answer;
    return outcome;
}

}  // namespace aerolinker
