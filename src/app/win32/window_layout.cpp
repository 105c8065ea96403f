// Layout arithmetic of the main window and the pilot form.
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

PixelRect At(int left, int top, int width, int height) {
    return PixelRect{left, top, left + width, top + height};
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

    const int buttonTop = kPilotFormClientHeight - kFormMargin + 4 - kButtonHeight;
    const int exitLeft = kPilotFormClientWidth - kFormMargin - kButtonWidth;
    layout.exit = At(s(exitLeft), s(buttonTop), s(kButtonWidth), s(kButtonHeight));
    layout.save = At(s(exitLeft - kButtonGap - kButtonWidth), s(buttonTop), s(kButtonWidth),
                     s(kButtonHeight));
    return layout;
}

}  // namespace aerolinker
