// The single-instance guard: one copy of the program per program file name. A second copy
// brings the first one's window forward and ends without showing anything.
#pragma once

#include <windows.h>

namespace aerolinker {

class SingleInstanceGuard {
public:
    // Creates the named mutex before any window exists. The mutex is held until the guard
    // is destroyed, that is for the whole run.
    SingleInstanceGuard();
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    bool AnotherCopyRunning() const { return anotherCopy_; }

    // Restores the first copy's main window when it is minimised, or else brings it to the
    // front. Nothing happens when that window cannot be found (it may not exist yet).
    static void BringFirstCopyForward();

private:
    HANDLE mutex_ = nullptr;
    bool anotherCopy_ = false;
};

}  // namespace aerolinker
