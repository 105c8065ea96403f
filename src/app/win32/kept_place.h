// A window's place kept from one start to the next: the window reports each move, the place
// is written when it closes, and the next opening takes it back unless no screen shows it
// any more (a monitor unplugged since).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "persistence/config_store.h"
#include "persistence/window_places.h"

namespace aerolinker {

class KeptPlace {
public:
    KeptPlace(ConfigStore& store, std::string name) : store_(store), name_(std::move(name)) {}

    // The kept place, when the pilot can still take hold of the window there.
    std::optional<WindowPlace> Reachable() const;
    // After every change of the window's place (WM_WINDOWPOSCHANGED): the frame is noted while
    // the window stands at its normal size, so that a maximised or minimised window keeps the
    // place it goes back to.
    void Follow(HWND window);
    // As the window closes. A place the settings file refuses costs only the place: the
    // window closes all the same and opens at its default place next time.
    void Keep(HWND window) const;

private:
    ConfigStore& store_;
    std::string name_;
    std::optional<RECT> normal_;
};

// Within reach: the window's title bar, less its corners, stands on a screen, so the pilot
// can drag it.
bool WithinReach(const RECT& frame, UINT dpi);

inline RECT FrameOf(const WindowPlace& place) {
    return RECT{place.left, place.top, place.left + place.width, place.top + place.height};
}

}  // namespace aerolinker
