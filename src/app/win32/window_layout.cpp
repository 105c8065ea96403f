// Layout arithmetic of the main window and the pilot form, and the profile window's place.
#include "app/win32/window_layout.h"

#include <algorithm>

namespace aerolinker {
namespace {

constexpr int kToolBarMarginLeft = 4;
constexpr int kToolButtonGap = 2;

constexpr int kFormMargin = 16;
constexpr int kFormFirstRow = 12;
constexpr int kFormRowStep = 46;
constexpr int kLabelHeight = 14;
constexpr int kLabelToField = 16;
constexpr int kLabelWidth = 120;
constexpr int kFieldHeight = 21;
constexpr int kBrowseGap = 6;
constexpr int kBrowseWidth = 26;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kApiKeyWidth = 250;
constexpr int kResultGap = 8;
constexpr int kResultLines = 2;

PixelRect At(int left, int top, int width, int height) {
    return PixelRect{left, top, left + width, top + height};
}

// `from` moved as little as possible into [low, high - extent]; `low` when it cannot fit.
int Within(int from, int low, int high, int extent) {
    return std::max(low, std::min(from, high - extent));
}

}  // namespace

MainWindowLayout LayoutMainWindow(int clientWidth, int clientHeight, int statusBarHeight, int dpi) {
    MainWindowLayout layout;
    const int barHeight = ScaleForDpi(kToolBarHeight, dpi);
    layout.toolBar = At(0, 0, std::max(clientWidth, 0), barHeight);

    const int buttonWidth = ScaleForDpi(kToolButtonWidth, dpi);
    const int buttonHeight = ScaleForDpi(kToolButtonHeight, dpi);
    const int step = buttonWidth + ScaleForDpi(kToolButtonGap, dpi);
    const int top = (barHeight - buttonHeight) / 2;
    int left = ScaleForDpi(kToolBarMarginLeft, dpi);
    for (PixelRect& button : layout.buttons) {
        button = At(left, top, buttonWidth, buttonHeight);
        left += step;
    }

    const int memoBottom = std::max(barHeight, clientHeight - statusBarHeight);
    layout.memo = PixelRect{0, barHeight, std::max(clientWidth, 0), memoBottom};
    return layout;
}

PilotFormLayout LayoutPilotForm(int dpi) {
    auto s = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
    PilotFormLayout layout;
    int labelTop = kFormFirstRow;
    for (std::size_t i = 0; i < kPilotFieldCount; ++i, labelTop += kFormRowStep) {
        layout.labels[i] = At(s(kFormMargin), s(labelTop), s(kLabelWidth), s(kLabelHeight));
        layout.fields[i] = At(s(kFormMargin), s(labelTop + kLabelToField), s(kPilotFieldWidths[i]),
                              s(kFieldHeight));
    }
    auto browseBeside = [&](const PixelRect& field) {
        return At(field.right + s(kBrowseGap), field.top, s(kBrowseWidth), field.Height());
    };
    layout.flightDirBrowse = browseBeside(layout.fields[kFieldFlightDir]);
    layout.fs2k4Browse = browseBeside(layout.fields[kFieldFs2k4Dir]);

    // The airline's labels say more than a word, and an address is as long as a folder's name.
    const int wide = kPilotFieldWidths[kFieldFs2k4Dir];
    layout.airlineServerLabel = At(s(kFormMargin), s(labelTop), s(wide), s(kLabelHeight));
    layout.airlineServer =
        At(s(kFormMargin), s(labelTop + kLabelToField), s(wide), s(kFieldHeight));
    labelTop += kFormRowStep;
    layout.apiKeyLabel = At(s(kFormMargin), s(labelTop), s(wide), s(kLabelHeight));
    layout.apiKey =
        At(s(kFormMargin), s(labelTop + kLabelToField), s(kApiKeyWidth), s(kFieldHeight));
    layout.airlineTest = At(layout.apiKey.right + s(kBrowseGap), layout.apiKey.top, s(kButtonWidth),
                            layout.apiKey.Height());
    const int resultTop = labelTop + kLabelToField + kFieldHeight + kResultGap;
    layout.airlineResult =
        At(s(kFormMargin), s(resultTop), s(kPilotFormClientWidth - 2 * kFormMargin),
           s(kResultLines * kLabelHeight));

    const int buttonTop = kPilotFormClientHeight - kFormMargin + 4 - kButtonHeight;
    const int exitLeft = kPilotFormClientWidth - kFormMargin - kButtonWidth;
    layout.exit = At(s(exitLeft), s(buttonTop), s(kButtonWidth), s(kButtonHeight));
    layout.save = At(s(exitLeft - kButtonGap - kButtonWidth), s(buttonTop), s(kButtonWidth),
                     s(kButtonHeight));
    return layout;
}

PixelRect PlaceBeside(const PixelRect& owner, const PixelRect& screen, FrameSize size,
                      FrameSize minimum, int gap) {
    enum Side { kRight, kLeft, kBelow, kAbove };
    struct Room {
        Side side;
        PixelRect area;
    };
    const Room rooms[] = {
        {kRight, {owner.right + gap, screen.top, screen.right, screen.bottom}},
        {kLeft, {screen.left, screen.top, owner.left - gap, screen.bottom}},
        {kBelow, {screen.left, owner.bottom + gap, screen.right, screen.bottom}},
        {kAbove, {screen.left, screen.top, screen.right, owner.top - gap}},
    };
    // The window in a room: against the owner, level with it.
    auto placeIn = [&owner](const Room& room, int width, int height) {
        const PixelRect& area = room.area;
        if (room.side == kRight || room.side == kLeft) {
            const int left = room.side == kRight ? area.left : area.right - width;
            return At(left, Within(owner.top, area.top, area.bottom, height), width, height);
        }
        const int top = room.side == kBelow ? area.top : area.bottom - height;
        return At(Within(owner.left, area.left, area.right, width), top, width, height);
    };
    for (const Room& room : rooms) {
        if (room.area.Width() >= size.width && room.area.Height() >= size.height) {
            return placeIn(room, size.width, size.height);
        }
    }
    const Room* roomiest = nullptr;
    long long roomiestArea = 0;
    for (const Room& room : rooms) {
        const int width = std::min(size.width, room.area.Width());
        const int height = std::min(size.height, room.area.Height());
        const long long area = static_cast<long long>(width) * height;
        if (width >= minimum.width && height >= minimum.height && area > roomiestArea) {
            roomiest = &room;
            roomiestArea = area;
        }
    }
    if (roomiest) {
        return placeIn(*roomiest, std::min(size.width, roomiest->area.Width()),
                       std::min(size.height, roomiest->area.Height()));
    }
    const int width = std::min(size.width, screen.Width());
    const int height = std::min(size.height, screen.Height());
    return At(screen.right - width, Within(owner.top, screen.top, screen.bottom, height), width,
              height);
}

}  // namespace aerolinker
