// Where the controls of the two windows go, and where the profile window opens, as plain
// arithmetic on sizes and the window's DPI, so that it is the same at every scale and can be
// checked without a screen. Sizes are designed at 96 DPI and scaled.
#pragma once

#include <array>
#include <cstddef>

#include "ui/win32/dpi.h"

namespace aerolinker {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Overlaps(const PixelRect& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// The main window ------------------------------------------------------------------------

constexpr int kMainWindowLeft = 258;
constexpr int kMainWindowTop = 275;
constexpr int kMainWindowWidth = 597;
constexpr int kMainWindowHeight = 347;
constexpr int kToolBarHeight = 86;
constexpr int kToolButtonCount = 7;
constexpr int kToolButtonWidth = 80;
constexpr int kToolButtonHeight = 74;
constexpr int kToolPictureSize = 48;
constexpr int kStatusBarHeight = 19;
// The share of the status bar's width the link's panel takes at least (more when its text needs
// it), and the room beside its text; the flight's panel has the rest.
constexpr int kLinkPanelPercent = 45;
constexpr int kStatusPanelPadding = 16;

struct MainWindowLayout {
    PixelRect toolBar;
    std::array<PixelRect, kToolButtonCount> buttons;  // left to right
    PixelRect memo;
};

// The tool bar along the top, its buttons left to right, and the text area filling what is
// left above the status bar (which sizes itself: its actual height is passed in). A window
// made very small gives an empty text area, never a negative one.
MainWindowLayout LayoutMainWindow(int clientWidth, int clientHeight, int statusBarHeight, int dpi);

// The pilot form -------------------------------------------------------------------------

constexpr int kPilotFormClientWidth = 450;
constexpr int kPilotFormClientHeight = 400;
constexpr std::size_t kPilotFieldCount = 5;

// Field order top to bottom: "Pilot Name ", "Pilot Id", "Pilot #", "MyFlightsDir",
// "FS2k4-Files".
enum PilotField : int {
    kFieldPilotName,
    kFieldPilotId,
    kFieldPilotNumber,
    kFieldFlightDir,
    kFieldFs2k4Dir
};

constexpr std::array<int, kPilotFieldCount> kPilotFieldWidths = {153, 100, 73, 337, 337};

struct PilotFormLayout {
    std::array<PixelRect, kPilotFieldCount> labels;
    std::array<PixelRect, kPilotFieldCount> fields;
    PixelRect flightDirBrowse;  // beside "MyFlightsDir"
    PixelRect fs2k4Browse;      // beside "FS2k4-Files"
    // The airline's rows below the folders: the server's address, the API key with "Test" at
    // its right, and under them the line where the test's answer shows (two lines of text).
    PixelRect airlineServerLabel;
    PixelRect airlineServer;
    PixelRect apiKeyLabel;
    PixelRect apiKey;
    PixelRect airlineTest;
    PixelRect airlineResult;
    PixelRect save;
    PixelRect exit;
};

// Each label stands above its field; the two folder fields have their browse button at their
// right; the airline's rows follow; "Save" and "Exit" sit at the bottom right.
PilotFormLayout LayoutPilotForm(int dpi);

// The profile window --------------------------------------------------------------------

struct FrameSize {
    int width = 0;
    int height = 0;
};

// Where a window opens beside `owner` on the screen's work area `screen`, `gap` apart, so that
// it hides none of the owner: to its right where the full `size` fits, else to its left, else
// below, else above, level with the owner's top (or left) edge as far as the screen allows.
// Where no side holds the full size, the side with the most room, the window made smaller
// down to `minimum`; where not even that fits (the owner fills the screen), against the
// screen's right edge.
PixelRect PlaceBeside(const PixelRect& owner, const PixelRect& screen, FrameSize size,
                      FrameSize minimum, int gap);

}  // namespace aerolinker
