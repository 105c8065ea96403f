// Keeping a window's place: following its moves, writing it at the close, checking it is on a
// screen before it is used again.
#include "app/win32/kept_place.h"

#include <exception>

#include "ui/win32/dpi.h"
#include "ui/win32/newer_api.h"

namespace aerolinker {
namespace {

// The part of a title bar the pilot can grab: its height, and the corners left out for the
// icon and the caption buttons.
constexpr int kTitleBarHeight = 24;
constexpr int kTitleBarCorner = 48;

}  // namespace

bool WithinReach(const RECT& frame, UINT dpi) {
    const int corner = ScaleForDpi(kTitleBarCorner, dpi);
    const RECT titleBar = {frame.left + corner, frame.top, frame.right - corner,
                           frame.top + ScaleForDpi(kTitleBarHeight, dpi)};
    return !IsRectEmpty(&titleBar) && MonitorFromRect(&titleBar, MONITOR_DEFAULTTONULL);
}

std::optional<WindowPlace> KeptPlace::Reachable() const {
    const std::optional<WindowPlace> place = ReadWindowPlace(store_, name_);
    if (!place || !WithinReach(FrameOf(*place), SystemDpi())) {
        return std::nullopt;
    }
    return place;
}

void KeptPlace::Follow(HWND window) {
    RECT frame;
    if (!IsIconic(window) && !IsZoomed(window) && GetWindowRect(window, &frame)) {
        normal_ = frame;
    }
}

void KeptPlace::Keep(HWND window) const {
    if (!normal_) {
        return;
    }
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    const bool maximised =
        IsZoomed(window) || (IsIconic(window) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    const RECT& frame = *normal_;
    try {
        WriteWindowPlace(store_, name_,
                         WindowPlace{frame.left, frame.top, frame.right - frame.left,
                                     frame.bottom - frame.top, maximised});
    } catch (const std::exception&) {
        // See the header: the window closes whatever the file says.
    }
}

}  // namespace aerolinker
