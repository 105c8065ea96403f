// The window places' keys: written together, read back only when all of them are whole.
#include "persistence/window_places.h"

#include <cstdint>

namespace aerolinker {
namespace {

constexpr const char* kLeft = "Left";
constexpr const char* kTop = "Top";
constexpr const char* kWidth = "Width";
constexpr const char* kHeight = "Height";
constexpr const char* kMaximised = "Maximised";

// The key's number, or none when it is missing or no number. The integer rule gives back its
// default for anything that is not a number; asked with two defaults, only a number gives
// the same answer both times.
std::optional<std::int32_t> NumberAt(ConfigStore& store, const std::string& key) {
    const std::string text = store.ReadText(kWindowPlacesSection, key, std::string());
    const std::int32_t first = ParseIniInteger(text, 0);
    if (first != ParseIniInteger(text, 1)) {
        return std::nullopt;
    }
    return first;
}

}  // namespace

std::optional<WindowPlace> ReadWindowPlace(ConfigStore& store, const std::string& window) {
    const auto left = NumberAt(store, window + kLeft);
    const auto top = NumberAt(store, window + kTop);
    const auto width = NumberAt(store, window + kWidth);
    const auto height = NumberAt(store, window + kHeight);
    const auto maximised = NumberAt(store, window + kMaximised);
    if (!left || !top || !width || !height || !maximised || *width <= 0 || *height <= 0 ||
        (*maximised != 0 && *maximised != 1)) {
        return std::nullopt;
    }
    return WindowPlace{*left, *top, *width, *height, *maximised == 1};
}

void WriteWindowPlace(ConfigStore& store, const std::string& window, const WindowPlace& place) {
    store.WriteTexts(kWindowPlacesSection, {{window + kLeft, std::to_string(place.left)},
                                            {window + kTop, std::to_string(place.top)},
                                            {window + kWidth, std::to_string(place.width)},
                                            {window + kHeight, std::to_string(place.height)},
                                            {window + kMaximised, place.maximised ? "1" : "0"}});
}

}  // namespace aerolinker
