// The main window as the handlers see it: its start state, the roles, the buttons running
// their handlers through the error boundary, the text area following the window's size, and
// closing, with its question during a tracked flight.
#include "app/win32/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/win32/newer_api.h"
#include "app/win32/window_ids.h"
#include "app/win32/window_text.h"
#include "common/file_io.h"
#include "link/loopback/platform.h"
#include "persistence/ini_file.h"
#include "persistence/portable/services.h"
#include "sim/loopback_simulator.h"
#include "sim/scenario_parser.h"
#include "test_windows.h"

namespace aerolinker {
namespace {

// The real window, with the modal boxes recorded instead of shown: nobody would close them.
class RecordingWindow : public MainWindow {
public:
    using MainWindow::MainWindow;
    void ShowMessageBox(const std::string& text) override { messages.push_back(text); }
    void ShowStandardMessage(const std::string& text) override { messages.push_back(text); }
    void ReportError(const std::string& text) override { errors.push_back(text); }
    bool AskYesNo(const std::string& question) override {
        questions.push_back(question);
        if (whileAsking) {
            whileAsking();
        }
        return answer;
    }

    std::vector<std::string> messages;
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    bool answer = false;
    std::function<void()> whileAsking;
};

class MainWindowTest : public testing::Test {
protected:
    MainWindowTest()
        : windowsFolder_(folder_.Path()),
          config_(ConfigFilePath(windowsFolder_), RegionalSettings{}),
          link_(platform_),
          window_(GetModuleHandleA(nullptr)),
          form_(AppServices{link_, window_, config_, windowsFolder_, copier_, clock_,
                            RegionalSettings{}, folder_.Path()}) {}

    void SetUp() override {
        ASSERT_TRUE(window_.Create(form_, config_));
        dpi_ = static_cast<int>(WindowDpi(window_.hwnd()));
    }
    void TearDown() override { window_.Destroy(); }

    // A size designed at 96 DPI as this screen shows it.
    int Scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    HWND Control(int id) const { return GetDlgItem(window_.hwnd(), id); }
    void Click(int id) const { SendMessageA(Control(id), BM_CLICK, 0, 0); }
    RECT PlaceOf(int id) const {
        RECT place;
        GetWindowRect(Control(id), &place);
        MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    TestFolder folder_;
    GivenFolder windowsFolder_;
    IniFile config_;
    LoopbackPlatform platform_;  // no simulator in it
    FsuipcLink link_;
    ByteFileCopier copier_;
    FixedClock clock_{LocalDateTime{2026, 12, 7, 10, 0, 0, 0}};
    RecordingWindow window_;
    TFConnection form_;
    int dpi_ = 96;
};

TEST_F(MainWindowTest, OpensAt258By275SizedAt597By347ResizableAndMaximisable) {
    RECT frame;
    GetWindowRect(window_.hwnd(), &frame);
    EXPECT_EQ(frame.left, 258);
    EXPECT_EQ(frame.top, 275);
    EXPECT_EQ(frame.right - frame.left, Scaled(597));
    EXPECT_EQ(frame.bottom - frame.top, Scaled(347));
    const LONG_PTR style = GetWindowLongPtrA(window_.hwnd(), GWL_STYLE);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_NE(style & WS_MAXIMIZEBOX, 0);
    EXPECT_EQ(WindowText(window_.hwnd()), "Aerolinker 2.1");
}

TEST_F(MainWindowTest, StartsWithEmptyAreasTimerOffAndSituationButtonsDisabled) {
    for (int id : {kIdLConnetti, kIdLChiudi, kIdSaveGenerated, kIdInfos}) {
        EXPECT_TRUE(IsWindowEnabled(Control(id))) << id;
    }
    EXPECT_FALSE(IsWindowEnabled(Control(kIdSalvaSit)));
    EXPECT_FALSE(IsWindowEnabled(Control(kIdCaricaSit)));
    EXPECT_EQ(WindowText(Control(kIdMemo1)), "");
    EXPECT_EQ(WindowText(Control(kIdStatus)), "");
    EXPECT_FALSE(window_.TimerEnabled());

    window_.SetSituationButtonsEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(Control(kIdSalvaSit)));
    EXPECT_TRUE(IsWindowEnabled(Control(kIdCaricaSit)));
}

TEST_F(MainWindowTest, TextAreaIsEditableWrappingCourierNewEightPoints) {
    HWND memo = Control(kIdMemo1);
    const LONG_PTR style = GetWindowLongPtrA(memo, GWL_STYLE);
    EXPECT_NE(style & ES_MULTILINE, 0);
    EXPECT_EQ(style & (ES_READONLY | ES_AUTOHSCROLL | WS_HSCROLL), 0) << "wraps, editable";
    LOGFONTA font = {};
    ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(memo, WM_GETFONT, 0, 0)), sizeof font,
                         &font),
              0);
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(font.lfHeight, -MulDiv(8, dpi_, 72));
}

TEST_F(MainWindowTest, ToolButtonsStandLeftToRightWithTheirHintsAndShortcutsAsTooltips) {
    const int ids[] = {kIdLConnetti, kIdLChiudi,   kIdSaveGenerated, kIdInfos,
                       kIdSalvaSit,  kIdCaricaSit, kIdProfile};
    const char* hints[] = {"Connect to FSim", "Disconnect FS",  "Save Generated File",
                           "Info's",          "Save Situation", "Load Last Situation",
                           "Flight profile"};
    const char* tooltips[] = {"Connect to FSim (Ctrl+K)",      "Disconnect FS (Ctrl+D)",
                              "Save Generated File (Ctrl+S)",  "Info's (Ctrl+I)",
                              "Save Situation (Ctrl+Shift+S)", "Load Last Situation (Ctrl+L)",
                              "Flight profile (Ctrl+P)"};
    // The tool bar's tooltip window, owned by the main window.
    HWND tooltip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) CALLBACK -> BOOL {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) == 0) {
                *reinterpret_cast<HWND*>(found) = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);

    LONG previousRight = 0;
    for (int i = 0; i < 7; ++i) {
        const RECT place = PlaceOf(ids[i]);
        EXPECT_GE(place.left, previousRight) << hints[i];
        EXPECT_GE(place.right - place.left, Scaled(76)) << hints[i];
        EXPECT_LE(place.right - place.left, Scaled(84)) << hints[i];
        EXPECT_EQ(place.bottom - place.top, Scaled(74)) << hints[i];
        EXPECT_LE(place.bottom, Scaled(86)) << hints[i];
        EXPECT_EQ(WindowText(Control(ids[i])), hints[i]);
        char tip[80] = {};
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = window_.hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(ids[i]));
        tool.lpszText = tip;
        SendMessageA(tooltip, TTM_GETTEXTA, sizeof tip, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(tip, tooltips[i]);
        previousRight = place.right;
    }
    RECT client;
    GetClientRect(window_.hwnd(), &client);
    EXPECT_LE(previousRight, client.right) << "the seventh button fits the opening window";
}

// The profile windows of this thread, open or not.
std::vector<HWND> ProfileWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) CALLBACK -> BOOL {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpA(name, kProfileWindowClass) == 0) {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

TEST_F(MainWindowTest, FlightProfileOpensOneWindowOwnedByTheMainWindow) {
    Click(kIdProfile);
    const std::vector<HWND> opened = ProfileWindows();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(WindowText(opened[0]), "Flight profile");
    EXPECT_TRUE(IsWindowVisible(opened[0]));
    EXPECT_EQ(GetWindow(opened[0], GW_OWNER), window_.hwnd());

    // Clicked again while the pilot looks at the log, the same window comes back to the front.
    SetForegroundWindow(window_.hwnd());
    Click(kIdProfile);
    EXPECT_EQ(ProfileWindows(), opened);
    EXPECT_EQ(GetForegroundWindow(), opened[0]);

    // It goes with the main window.
    window_.Destroy();
    EXPECT_FALSE(IsWindow(opened[0]));
}

TEST_F(MainWindowTest, TextAreaFollowsTheWindowBetweenToolBarAndStatusBar) {
    SetWindowPos(window_.hwnd(), nullptr, 0, 0, Scaled(900), Scaled(640),
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(window_.hwnd(), &client);
    const RECT memo = PlaceOf(kIdMemo1);
    const RECT status = PlaceOf(kIdStatus);
    EXPECT_EQ(memo.left, 0);
    EXPECT_EQ(memo.right, client.right);
    EXPECT_EQ(memo.top, Scaled(86));
    EXPECT_EQ(memo.bottom, status.top);
    EXPECT_EQ(status.bottom, client.bottom);
    EXPECT_GE(status.bottom - status.top, Scaled(19));
}

// At its opening size the text area shows the log's 71-column rule on one row and a screenful
// of the log's lines below the tool bar.
TEST_F(MainWindowTest, OpeningTextAreaShowsWholeLogRowsAndAScreenfulOfThem) {
    HWND memo = Control(kIdMemo1);
    std::string text;
    for (int row = 0; row < 40; ++row) {
        text += std::string(71, '-') + "\r\n";
    }
    SetWindowTextA(memo, text.c_str());
    EXPECT_EQ(SendMessageA(memo, EM_GETLINECOUNT, 0, 0), 41) << "a 71-column row wrapped";

    HDC dc = GetDC(memo);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(memo, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(memo, dc);
    RECT client;
    GetClientRect(memo, &client);
    ASSERT_GT(metrics.tmHeight, 0);
    EXPECT_GE(client.bottom / metrics.tmHeight, 12) << "rows in view";
}

TEST_F(MainWindowTest, ButtonsRunTheirHandlersAndTheStatusShowsTheLinkInFull) {
    Click(kIdLConnetti);
    EXPECT_EQ(WindowText(Control(kIdStatus)), "Cannot link to FSUIPC or WideClient");
    EXPECT_FALSE(IsWindowEnabled(Control(kIdSalvaSit)));
    // Two panels, the link's and the flight's; the link's longest text is on show in full.
    HWND status = Control(kIdStatus);
    int rightEdges[3] = {};
    ASSERT_EQ(SendMessageA(status, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(rightEdges)), 2);
    EXPECT_EQ(rightEdges[1], -1);
    HDC dc = GetDC(status);
    const HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(status, WM_GETFONT, 0, 0)));
    for (const char* text : ResultTexts) {
        window_.SetStatusText(text);
        ASSERT_EQ(SendMessageA(status, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(rightEdges)), 2);
        SIZE size = {};
        GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        EXPECT_LT(size.cx, rightEdges[0]) << text;
    }
    SelectObject(dc, font);
    ReleaseDC(status, dc);

    Click(kIdLChiudi);
    EXPECT_EQ(WindowText(Control(kIdStatus)), "Closed");
    EXPECT_FALSE(window_.TimerEnabled());
}

TEST_F(MainWindowTest, SaveGeneratedFileWritesTheTextAreaIncludingTyping) {
    form_.SetLogFolder(folder_.Path());
    form_.TextArea().Append("CORALSTRAITS ARLINES");
    HWND memo = Control(kIdMemo1);
    PlaceCaret(memo, GetWindowTextLengthA(memo));
    TypeInto(memo, "Remarks: ok");
    Click(kIdSaveGenerated);
    std::string saved;
    ASSERT_EQ(ReadFileContents(folder_.File("Navforge.log"), saved), 0);
    EXPECT_EQ(saved, "CORALSTRAITS ARLINES\r\nRemarks: ok\r\n");
    EXPECT_TRUE(window_.errors.empty());
}

TEST_F(MainWindowTest, AHandlerErrorIsReportedWithItsTextAndTheProgramGoesOn) {
    form_.SetLogFolder(folder_.File("no such folder"));
    form_.TextArea().Append("kept");
    Click(kIdSaveGenerated);
    ASSERT_EQ(window_.errors.size(), 1u);
    EXPECT_EQ(
        window_.errors[0].rfind(
            "Cannot create file \"" + folder_.File("no such folder") + "\\Navforge.log\". ", 0),
        0u)
        << window_.errors[0];
    EXPECT_EQ(WindowText(Control(kIdMemo1)), "kept\r\n");
    // The window still answers.
    Click(kIdLChiudi);
    EXPECT_EQ(WindowText(Control(kIdStatus)), "Closed");
}

TEST_F(MainWindowTest, ConfigurationAtStartPutsThePilotInTheCaption) {
    form_.RunGuarded([this] { form_.FormCreate(); });
    EXPECT_EQ(WindowText(window_.hwnd()), "Aerolinker 2.1 --- (Pilot Name) None");
    ASSERT_EQ(ReplaceFileContents(folder_.File("Aerolinker.ini"),
                                  "[Aerolinker]\r\nPilotName=Jane Doe\r\n"),
              0);
    form_.RunGuarded([this] { form_.FormCreate(); });
    EXPECT_EQ(WindowText(window_.hwnd()), "Aerolinker 2.1 --- (Pilot Name) Jane Doe");
}

TEST_F(MainWindowTest, TimerTicksOnlyWhileSwitchedOn) {
    window_.SetTimerEnabled(true);
    EXPECT_TRUE(window_.TimerEnabled());
    window_.SetTimerEnabled(false);
    // A tick that was already queued when the timer went off runs nothing: with the link
    // closed a tick would otherwise record a failed exchange.
    ASSERT_EQ(form_.LastLinkResult(), LinkOk);
    SendMessageA(window_.hwnd(), WM_TIMER, kTimer1Id, 0);
    EXPECT_EQ(form_.LastLinkResult(), LinkOk);
    window_.SetTimerEnabled(true);
    SendMessageA(window_.hwnd(), WM_TIMER, kTimer1Id, 0);
    EXPECT_EQ(form_.LastLinkResult(), LinkNotOpen);
    window_.SetTimerEnabled(false);
}

TEST_F(MainWindowTest, ClosingEndsTheProgramWithoutSavingOrAsking) {
    form_.SetLogFolder(folder_.Path());
    form_.TextArea().Append("in flight");
    SendMessageA(window_.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window_.hwnd(), nullptr);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_FALSE(FileExists(folder_.File("Navforge.log")));
    EXPECT_TRUE(window_.messages.empty());
    EXPECT_TRUE(window_.questions.empty());
}

// A flight plan loaded in the simulator: connecting starts tracking a flight.
constexpr const char* kPlanLoaded =
    "scenario \"Plan loaded\"\n"
    "title \"Generic Twin Turboprop\"\n"
    "waypoint_count 5\n"
    "route_distance 250000\n"
    "prev LIEO\n"
    "next OLB\n"
    "clock 09:52\n"
    "frame\n"
    "engines 1 0 0 0\n"
    "on_ground 1\n";

constexpr const char* kCloseInFlight =
    "A flight is being tracked. Close Aerolinker? The flight can be resumed from its last saved "
    "situation.";

TEST_F(MainWindowTest, ClosingInFlightAsksOnceNoKeepsTheFlightYesEnds) {
    LoopbackSimulator simulator(platform_,
                                std::make_shared<const Scenario>(ParseScenario(kPlanLoaded)));
    Click(kIdLConnetti);
    ASSERT_TRUE(form_.FlightTracked());

    // A second close while the question is open (Close on the task bar) asks nothing more.
    window_.whileAsking = [this] { SendMessageA(window_.hwnd(), WM_CLOSE, 0, 0); };
    SendMessageA(window_.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window_.questions, std::vector<std::string>{kCloseInFlight});
    ASSERT_NE(window_.hwnd(), nullptr) << "No keeps the program";
    EXPECT_TRUE(form_.FlightTracked());
    EXPECT_TRUE(window_.TimerEnabled());

    window_.whileAsking = nullptr;
    window_.answer = true;
    SendMessageA(window_.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(window_.questions.size(), 2u);
    EXPECT_EQ(window_.hwnd(), nullptr);
}

TEST_F(MainWindowTest, ClosingAfterTheFlightWasDisconnectedAsksNothing) {
    LoopbackSimulator simulator(platform_,
                                std::make_shared<const Scenario>(ParseScenario(kPlanLoaded)));
    Click(kIdLConnetti);
    ASSERT_TRUE(form_.FlightTracked());
    Click(kIdLChiudi);
    SendMessageA(window_.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(window_.questions.empty());
    EXPECT_EQ(window_.hwnd(), nullptr);
}

}  // namespace
}  // namespace aerolinker
