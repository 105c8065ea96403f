// The single-instance mutex and the activation of the running copy.
#include "app/win32/single_instance.h"

#include <string>

#include "app/win32/instance_name.h"
#include "app/win32/window_ids.h"

namespace aerolinker {
namespace {

std::string ModulePath() {
    char path[MAX_PATH * 2] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

}  // namespace

SingleInstanceGuard::SingleInstanceGuard() : mutex_(InstanceMutexName(ModulePath())) {}

void SingleInstanceGuard::BringFirstCopyForward() {
    HWND first = FindWindowA(kMainWindowClass, nullptr);
    if (!first) {
        return;
    }
    if (IsIconic(first)) {
        ShowWindow(first, SW_RESTORE);
    }
    // The window the pilot can use: an open form or message box, whose owner it keeps disabled.
    SetForegroundWindow(GetLastActivePopup(first));
}

}  // namespace aerolinker
