// The single-instance guard: one copy of the program per program file name. A second copy
// brings the first one's window forward and ends without showing anything.
#pragma once

#include <windows.h>

#include "ui/win32/named_mutex.h"

namespace aerolinker {

class SingleInstanceGuard {
public:
    // Creates the named mutex before any window exists. The mutex is held until the guard
    // is destroyed, that is for the whole run.
    SingleInstanceGuard();

    bool AnotherCopyRunning() const { return mutex_.ExistedAlready(); }

    // Restores the first copy's main window when it is minimised, or else brings it to the
    // front. Nothing happens when that window cannot be found (it may not exist yet).
    static void BringFirstCopyForward();

private:
    NamedMutex mutex_;
};

}  // namespace aerolinker
