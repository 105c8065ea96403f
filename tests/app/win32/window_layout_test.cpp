// Where the controls of the main window and the pilot form go, at several DPIs, and where
// the profile window opens.
#include "app/win32/window_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace aerolinker {
namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

TEST(ScaleForDpi, RoundsHalvesUpAndKeepsDesignSizesAt96) {
    struct Case {
        int pixels;
        int dpi;
        int expected;
    };
    const Case cases[] = {
        {597, 96, 597},  {597, 144, 896},                 // 895.5
        {597, 120, 746}, {86, 120, 108},                  // 746.25, 107.5
        {1, 144, 2},     {0, 192, 0},     {-3, 144, -5},  // -4.5
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleForDpi(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
    }
}

TEST(MainWindowLayout, ToolButtonsStandLeftToRightInTheBarAtTheirSize) {
    for (int dpi : kDpis) {
        const int clientWidth = ScaleForDpi(581, dpi);
        const int clientHeight = ScaleForDpi(308, dpi);
        const MainWindowLayout layout =
            LayoutMainWindow(clientWidth, clientHeight, ScaleForDpi(19, dpi), dpi);
        SCOPED_TRACE(dpi);
        EXPECT_EQ(layout.toolBar.top, 0);
        EXPECT_EQ(layout.toolBar.Height(), ScaleForDpi(86, dpi));
        int previousRight = 0;
        for (const PixelRect& button : layout.buttons) {
            EXPECT_GE(button.Width(), ScaleForDpi(76, dpi));
            EXPECT_LE(button.Width(), ScaleForDpi(84, dpi));
            EXPECT_EQ(button.Height(), ScaleForDpi(74, dpi));
            EXPECT_GE(button.top, layout.toolBar.top);
            EXPECT_LE(button.bottom, layout.toolBar.bottom);
            EXPECT_GE(button.left, previousRight);
            previousRight = button.right;
        }
        // Every button fits the window at its design width.
        EXPECT_LE(previousRight, clientWidth);
    }
}

TEST(MainWindowLayout, TextAreaFillsBetweenToolBarAndStatusBar) {
    const MainWindowLayout layout = LayoutMainWindow(581, 308, 20, 96);
    EXPECT_EQ(layout.memo.left, 0);
    EXPECT_EQ(layout.memo.right, 581);
    EXPECT_EQ(layout.memo.top, layout.toolBar.bottom);
    EXPECT_EQ(layout.memo.bottom, 308 - 20);

    const MainWindowLayout larger = LayoutMainWindow(1200, 900, 20, 96);
    EXPECT_EQ(larger.memo.right, 1200);
    EXPECT_EQ(larger.memo.bottom, 880);
}

TEST(MainWindowLayout, TinyOrMinimisedWindowGivesEmptyTextAreaNotNegative) {
    for (const auto& [width, height] :
         std::vector<std::pair<int, int>>{{0, 0}, {50, 40}, {-1, -1}}) {
        const MainWindowLayout layout = LayoutMainWindow(width, height, 20, 96);
        EXPECT_GE(layout.memo.Width(), 0);
        EXPECT_GE(layout.memo.Height(), 0);
    }
}

TEST(PilotFormLayout, FieldsHaveTheirWidthsAndStandTopToBottom) {
    const PilotFormLayout layout = LayoutPilotForm(96);
    const int widths[] = {153, 100, 73, 337, 337};
    for (std::size_t i = 0; i < kPilotFieldCount; ++i) {
        EXPECT_EQ(layout.fields[i].Width(), widths[i]) << "field " << i;
        EXPECT_LT(layout.labels[i].bottom, layout.fields[i].bottom) << "label above field " << i;
        if (i > 0) {
            EXPECT_GT(layout.fields[i].top, layout.fields[i - 1].bottom) << "field " << i;
        }
    }
    // Each browse button beside its own folder field.
    EXPECT_GE(layout.flightDirBrowse.left, layout.fields[kFieldFlightDir].right);
    EXPECT_EQ(layout.flightDirBrowse.top, layout.fields[kFieldFlightDir].top);
    EXPECT_GE(layout.fs2k4Browse.left, layout.fields[kFieldFs2k4Dir].right);
    EXPECT_EQ(layout.fs2k4Browse.top, layout.fields[kFieldFs2k4Dir].top);
    // The airline's rows below the folders, "Test" beside the key, the answer under them;
    // "Save" left of "Exit", both below everything else.
    EXPECT_GT(layout.airlineServer.top, layout.fields[kFieldFs2k4Dir].bottom);
    EXPECT_GT(layout.apiKey.top, layout.airlineServer.bottom);
    EXPECT_EQ(layout.airlineTest.top, layout.apiKey.top);
    EXPECT_GT(layout.airlineResult.top, layout.apiKey.bottom);
    EXPECT_LT(layout.save.right, layout.exit.left);
    EXPECT_GT(layout.save.top, layout.airlineResult.bottom);
}

TEST(PilotFormLayout, EveryControlInsideTheClientAreaAndNoneOverlapping) {
    for (int dpi : kDpis) {
        SCOPED_TRACE(dpi);
        const PilotFormLayout layout = LayoutPilotForm(dpi);
        std::vector<PixelRect> controls(layout.labels.begin(), layout.labels.end());
        controls.insert(controls.end(), layout.fields.begin(), layout.fields.end());
        controls.insert(controls.end(),
                        {layout.flightDirBrowse, layout.fs2k4Browse, layout.airlineServerLabel,
                         layout.airlineServer, layout.apiKeyLabel, layout.apiKey,
                         layout.airlineTest, layout.airlineResult, layout.save, layout.exit});
        const int width = ScaleForDpi(450, dpi);
        const int height = ScaleForDpi(400, dpi);
        for (size_t i = 0; i < controls.size(); ++i) {
            EXPECT_GE(controls[i].left, 0) << i;
            EXPECT_GE(controls[i].top, 0) << i;
            EXPECT_LE(controls[i].right, width) << i;
            EXPECT_LE(controls[i].bottom, height) << i;
            for (size_t j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(controls[i].Overlaps(controls[j])) << i << " and " << j;
            }
        }
    }
}

// The profile window opens beside the main window, hiding none of its buttons or its log:
// the first side where it fits whole, else the roomiest side with it made smaller, and only
// over a main window that fills the screen.
TEST(ProfileWindowPlace, BesideTheMainWindowWhereTheScreenHasRoom) {
    const PixelRect screen{0, 0, 1280, 1024};
    const FrameSize size{640, 560};
    const FrameSize minimum{370, 440};
    struct Case {
        const char* where;
        PixelRect owner;
        PixelRect expected;
    };
    const Case cases[] = {
        {"right, whole", {0, 0, 597, 347}, {605, 0, 1245, 560}},
        {"right, narrowed", {258, 275, 855, 622}, {863, 275, 1280, 835}},
        {"left, whole", {683, 100, 1280, 447}, {35, 100, 675, 660}},
        {"below, whole", {0, 0, 1280, 300}, {0, 308, 640, 868}},
        {"above, shortened", {0, 500, 1280, 1024}, {0, 0, 640, 492}},
        {"over a main window filling the screen", {0, 0, 1280, 1024}, {640, 0, 1280, 560}},
    };
    for (const Case& c : cases) {
        const PixelRect place = PlaceBeside(c.owner, screen, size, minimum, 8);
        EXPECT_EQ(std::vector<int>({place.left, place.top, place.right, place.bottom}),
                  std::vector<int>(
                      {c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}))
            << c.where;
    }
}

}  // namespace
}  // namespace aerolinker
