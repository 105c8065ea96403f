// The "Flight profile" window with a made-up flight: it opens resizable, redraws only when a
// tick has added to the flight, and draws each row where the mapping puts it, in both plots.
#include "app/win32/profile_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "app/win32/window_text.h"
#include "persistence/ini_file.h"
#include "test_windows.h"
#include "ui/win32/bitmap.h"
#include "ui/win32/newer_api.h"

namespace aerolinker {
namespace {

class MadeUpFlight : public ProfileSource {
public:
    const std::vector<TraceRow>& Rows() const override { return rows; }
    const std::vector<TrackMark>& Marks() const override { return marks; }
    std::optional<LandingReport> Landing() const override { return landing; }

    std::vector<TraceRow> rows;
    std::vector<TrackMark> marks;
    std::optional<LandingReport> landing;
};

// Twenty ticks a minute apart from Olbia north-east towards Elba: a climb to 6000 ft, a
// cruise and a descent, with the take-off, a waypoint and the landing marked.
MadeUpFlight Hop() {
    MadeUpFlight flight;
    for (int i = 0; i < 20; ++i) {
        TraceRow row;
        row.utcSeconds = 1700000000 + 60 * i;
        row.latitude = 40.9 + 0.05 * i;
        row.longitude = 9.5 + 0.02 * i;
        row.altitudeFeet = std::min({800.0 * i, 6000.0, 800.0 * (19 - i)});
        flight.rows.push_back(row);
    }
    for (const auto& [kind, name, at] :
         {std::tuple{MarkKind::kTakeOff, "LIEO", 0}, std::tuple{MarkKind::kWaypoint, "OLB", 10},
          std::tuple{MarkKind::kLanding, "LIRJ", 19}}) {
        const TraceRow& row = flight.rows[static_cast<size_t>(at)];
        flight.marks.push_back(
            TrackMark{kind, name, row.utcSeconds, row.latitude, row.longitude, row.altitudeFeet});
    }
    return flight;
}

// The picture drawn into memory, read back pixel by pixel.
class Picture {
public:
    Picture(const ProfileWindow& window, int width, int height)
        : dc_(CreateCompatibleDC(nullptr)), width_(width), height_(height) {
        std::uint32_t* bits = nullptr;
        bitmap_ = CreateTopDownBitmap(dc_, width, height, &bits);
        bits_ = bits;
        previous_ = SelectObject(dc_, bitmap_);
        window.Draw(dc_, width, height);
    }
    ~Picture() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    COLORREF At(const PlotPoint& point) const {
        return Colour(static_cast<int>(std::lround(point.y)) * width_ +
                      static_cast<int>(std::lround(point.x)));
    }
    int Count(COLORREF colour) const {
        int count = 0;
        for (int i = 0; i < width_ * height_; ++i) {
            count += Colour(i) == colour;
        }
        return count;
    }

private:
    // The bitmap's pixels are blue, green, red and a spare byte, low to high.
    COLORREF Colour(int index) const {
        const std::uint32_t pixel = bits_[index];
        return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
    }

    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    int width_;
    int height_;
};

// Where the window keeps its place, fresh for each test.
struct ScratchPlaces {
    TestFolder folder;
    IniFile ini{folder.File("Aerolinker.ini"), RegionalSettings{}};
};

constexpr int kWidth = 640;
constexpr int kHeight = 520;

TEST(ProfileWindow, OpensResizableAndRedrawsOnlyWhenTheFlightChanged) {
    MadeUpFlight flight;
    ScratchPlaces places;
    ProfileWindow window(GetModuleHandleA(nullptr), flight, places.ini);
    ASSERT_TRUE(window.Open(nullptr));
    EXPECT_EQ(WindowText(window.hwnd()), "Flight profile");
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    EXPECT_NE(GetWindowLongPtrA(window.hwnd(), GWL_STYLE) & WS_THICKFRAME, 0);
    HWND first = window.hwnd();
    ASSERT_TRUE(window.Open(nullptr));
    EXPECT_EQ(window.hwnd(), first) << "a second open keeps the one window";

    EXPECT_FALSE(window.Refresh()) << "a tick that recorded nothing";
    flight.rows = Hop().rows;
    EXPECT_TRUE(window.Refresh());
    EXPECT_FALSE(window.Refresh());
    flight.rows.back().utcSeconds += 5;  // a row replaced: another flight of the same length
    EXPECT_TRUE(window.Refresh());
    flight.landing = LandingReport{-152.0, 1.34, 1};
    EXPECT_TRUE(window.Refresh());

    DestroyWindow(window.hwnd());
    EXPECT_EQ(window.hwnd(), nullptr);
    flight.rows.pop_back();
    EXPECT_FALSE(window.Refresh()) << "closed, it draws nothing";
}

TEST(ProfileWindow, DrawsEachRowWhereTheMappingPutsItInBothPlots) {
    MadeUpFlight flight = Hop();
    ScratchPlaces places;
    ProfileWindow window(GetModuleHandleA(nullptr), flight, places.ini);
    ASSERT_TRUE(window.Open(nullptr));
    const int dpi = static_cast<int>(WindowDpi(window.hwnd()));
    const Picture picture(window, kWidth, kHeight);
    const ProfileLayout layout = LayoutProfilePicture(kWidth, kHeight, dpi);
    // The rows' places depend on the plot alone, not on the text around it.
    const ProfilePlot profile =
        PlotProfile(flight.rows, {}, "", ProfileFrame{layout.profile, 0.0, kWidth, {11.0, 13.0}});
    const TrackMapping track = TrackMapping::Fit(flight.rows, layout.track);
    // The rows away from the marks and the aircraft's ring at the end.
    for (size_t i : {2u, 4u, 6u, 8u, 12u, 14u, 16u}) {
        EXPECT_EQ(picture.At(profile.points[i]), kFlightLineColour) << "profile, row " << i;
        const TraceRow& row = flight.rows[i];
        EXPECT_EQ(picture.At(track.At(row.latitude, row.longitude)), kFlightLineColour)
            << "track, row " << i;
    }
    for (const TrackMark& mark : flight.marks) {
        EXPECT_EQ(picture.At(track.At(mark.latitude, mark.longitude)), kMarkColour) << mark.name;
        EXPECT_EQ(picture.At(profile.points[RowAtMark(flight.rows, mark)]), kMarkColour)
            << mark.name;
    }
    // The profile stands above the track, the cruise at 6000 ft at the top of its axis.
    EXPECT_LT(layout.profile.bottom, layout.track.top);
    EXPECT_NEAR(profile.points[10].y, layout.profile.top, 1.0);
}

TEST(ProfileWindow, WithNoRowsShowsOnlyALineOfText) {
    MadeUpFlight flight;
    ScratchPlaces places;
    ProfileWindow window(GetModuleHandleA(nullptr), flight, places.ini);
    ASSERT_TRUE(window.Open(nullptr));
    const Picture empty(window, kWidth, kHeight);
    EXPECT_EQ(empty.Count(kFlightLineColour), 0);
    const int blank = empty.Count(kPictureBackground);
    EXPECT_LT(blank, kWidth * kHeight) << "the text is drawn";
    EXPECT_GT(blank, kWidth * kHeight * 95 / 100) << "and nothing else";
}

TEST(ProfileLayout, PlotsStayInsideAndUprightAtEveryDpiAndSize) {
    for (int dpi : {96, 144, 192}) {
        for (const auto& [width, height] : {std::pair{640, 520}, std::pair{1600, 1200}}) {
            const ProfileLayout layout =
                LayoutProfilePicture(ScaleForDpi(width, dpi), ScaleForDpi(height, dpi), dpi);
            SCOPED_TRACE(std::to_string(dpi) + " " + std::to_string(width));
            for (const PlotArea& area : {layout.profile, layout.track}) {
                EXPECT_GT(area.Width(), 0.0);
                EXPECT_GT(area.Height(), 0.0);
                EXPECT_LE(area.right, ScaleForDpi(width, dpi));
                EXPECT_LE(area.bottom, ScaleForDpi(height, dpi));
            }
            EXPECT_LT(layout.profile.bottom, layout.track.top);
        }
        const ProfileLayout tiny = LayoutProfilePicture(10, 10, dpi);
        EXPECT_GE(tiny.profile.Height(), 0.0);
        EXPECT_GE(tiny.track.Height(), 0.0);
        EXPECT_GE(tiny.track.Width(), 0.0);
    }
}

}  // namespace
}  // namespace aerolinker
