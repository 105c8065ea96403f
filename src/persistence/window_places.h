// Where the pilot left each of the program's windows, kept per user in a section of the
// configuration of its own, so that the next start opens them there. No key of the program's
// own section is read or written here.
#pragma once

#include <optional>
#include <string>

#include "persistence/config_store.h"

namespace aerolinker {

inline constexpr char kWindowPlacesSection[] = "WindowPlaces";
// The windows' names: each one's keys are its name followed by Left, Top, Width, Height and
// Maximised ("MainLeft", "ProfileMaximised" ...).
inline constexpr char kMainWindowName[] = "Main";
inline constexpr char kProfileWindowName[] = "Profile";

// The frame of the window as it stands when not maximised, in screen pixels, and whether it
// was maximised.
struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximised = false;

    bool operator==(const WindowPlace& other) const {
        return left == other.left && top == other.top && width == other.width &&
               height == other.height && maximised == other.maximised;
    }
};

// The place kept for `window`, or none when any of its keys is missing or is no number, or
// the size is not positive: a window opens at a default place rather than at half of one.
std::optional<WindowPlace> ReadWindowPlace(ConfigStore& store, const std::string& window);
// Writes the five keys together. Throws "Unable to write to %s" when refused.
void WriteWindowPlace(ConfigStore& store, const std::string& window, const WindowPlace& place);

}  // namespace aerolinker
