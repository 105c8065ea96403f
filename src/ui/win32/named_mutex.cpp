// The named mutex.
#include "ui/win32/named_mutex.h"

namespace aerolinker {

NamedMutex::NamedMutex(const std::string& name) {
    // Creation and the test for an existing one are one step in the system, so of two copies
    // started at the same instant exactly one is first.
    mutex_ = CreateMutexA(nullptr, FALSE, name.c_str());
    existedAlready_ = mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

NamedMutex::~NamedMutex() {
    if (mutex_) {
        CloseHandle(mutex_);
    }
}

}  // namespace aerolinker
