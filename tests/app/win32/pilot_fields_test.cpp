// The pilot form: its fields turn typed letters into capitals but keep the case of what the
// program places in them, the keyboard order, and "Save" (with its offer to make a missing
// folder) and "Exit".
#include "app/win32/pilot_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/win32/newer_api.h"
#include "app/win32/window_ids.h"
#include "app/win32/window_text.h"
#include "common/file_io.h"
#include "link/loopback/platform.h"
#include "persistence/ini_file.h"
#include "persistence/portable/services.h"
#include "test_windows.h"

namespace aerolinker {
namespace {

TEST(UpperCaseField, ProgramTextKeepsItsCaseAndTypedLettersBecomeCapitals) {
    HWND field = CreateWindowExA(0, "EDIT", "", ES_AUTOHSCROLL | ES_UPPERCASE, 0, 0, 300, 24,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(field, nullptr);
    SetTextKeepingCase(field, "C:\\Flights\\MyLogs");
    EXPECT_EQ(WindowText(field), "C:\\Flights\\MyLogs");

    PlaceCaret(field, 17);
    TypeInto(field, "ab");
    EXPECT_EQ(WindowText(field), "C:\\Flights\\MyLogsAB");
    EXPECT_NE(GetWindowLongPtrA(field, GWL_STYLE) & ES_UPPERCASE, 0);
    DestroyWindow(field);
}

// Roles nobody looks at: the pilot form only needs the handler boundary.
class SilentRoles : public MainWindowRoles {
    bool AskYesNo(const std::string&) override { return false; }
    void EditLogFolder() override {}

public:
    void SetCaption(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void SetFlightStatus(const std::string&) override {}
    void ShowMessageBox(const std::string&) override {}
    void ShowStandardMessage(const std::string&) override {}
    void SetTimerEnabled(bool) override {}
    bool TimerEnabled() const override { return false; }
    void SetSituationButtonsEnabled(bool) override {}
    void PlaySound() override {}
    void PauseUserInterface(unsigned) override {}
    void ReportError(const std::string& text) override { errors.push_back(text); }
    std::vector<std::string> errors;
};

// The real form, with the question about a missing folder answered in the pilot's place.
class AnsweringPilotForm : public TFPilot {
public:
    using TFPilot::TFPilot;
    MissingFolderAnswer AskAboutMissingFolder(const std::string& folder) override {
        asked.push_back(folder);
        return answer;
    }
    std::vector<std::string> asked;
    MissingFolderAnswer answer = MissingFolderAnswer::kKeepAsTyped;
};

class PilotFormTest : public testing::Test {
protected:
    PilotFormTest()
        : windowsFolder_(folder_.Path()),
          config_(ConfigFilePath(windowsFolder_), RegionalSettings{}),
          link_(platform_),
          form_(AppServices{link_, roles_, config_, windowsFolder_, copier_, clock_,
                            RegionalSettings{}, folder_.Path()}),
          pilot_(GetModuleHandleA(nullptr), form_) {}

    void SetUp() override {
        form_.SavePilotProfile(PilotProfile{"Jane Doe", "cs042", "7", "C:\\Flights", "C:\\FS9"});
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
        ASSERT_TRUE(pilot_.Create(owner_));
        pilot_.FormShow();
    }
    void TearDown() override { DestroyWindow(owner_); }

    // Shows the form modally with `keys` queued for the field that has the focus when it
    // opens, as the keyboard sends them; returns when the form has closed. A form that does
    // not close on the keys is ended after a few seconds by a quit message, as at the end of
    // the program, and the test fails.
    void ShowModalWithKeys(const std::vector<std::pair<UINT, WPARAM>>& keys) {
        for (const auto& [message, key] : keys) {
            PostMessageA(Field(kIdEPilot), message, key, 1);
        }
        closedByTimeout_ = false;
        const UINT_PTR timer = SetTimer(nullptr, 0, 5000, &CloseAfterTimeout);
        pilot_.ShowModal();
        KillTimer(nullptr, timer);
        EXPECT_FALSE(closedByTimeout_) << "the keys did not close the form";
        MSG quit;
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    static void CALLBACK CloseAfterTimeout(HWND, UINT, UINT_PTR, DWORD) {
        closedByTimeout_ = true;
        PostQuitMessage(0);
    }
    static inline bool closedByTimeout_ = false;

    HWND Field(int id) const { return GetDlgItem(pilot_.hwnd(), id); }
    // The configuration file's lines, blank ones left out.
    std::vector<std::string> ConfigLines() const {
        std::string bytes;
        ReadFileContents(folder_.File("Aerolinker.ini"), bytes);
        std::vector<std::string> lines;
        std::string line;
        for (char c : bytes) {
            if (c == '\r' || c == '\n') {
                if (!line.empty()) {
                    lines.push_back(line);
                }
                line.clear();
            } else {
                line += c;
            }
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        return lines;
    }

    TestFolder folder_;
    HWND owner_ = nullptr;
    GivenFolder windowsFolder_;
    IniFile config_;
    LoopbackPlatform platform_;
    FsuipcLink link_;
    SilentRoles roles_;
    ByteFileCopier copier_;
    FixedClock clock_{LocalDateTime{}};
    TFConnection form_;
    AnsweringPilotForm pilot_;
};

TEST_F(PilotFormTest, IsAFixedDialogWithOnlyACloseBoxAndA450By285ClientArea) {
    HWND window = pilot_.hwnd();
    EXPECT_EQ(WindowText(window), "Pilot Informations");
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_FALSE(IsWindowVisible(window)) << "created hidden";
    RECT client;
    GetClientRect(window, &client);
    const int dpi = static_cast<int>(WindowDpi(window));
    EXPECT_EQ(client.right, MulDiv(450, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(285, dpi, 96));
}

TEST_F(PilotFormTest, ShowsTheProfileAsItStands) {
    EXPECT_EQ(pilot_.FieldTexts().PilotName, "Jane Doe");
    EXPECT_EQ(WindowText(Field(kIdEId)), "cs042");
    EXPECT_EQ(WindowText(Field(kIdEPilotN)), "7");
    EXPECT_EQ(WindowText(Field(kIdFDir)), "C:\\Flights");
    EXPECT_EQ(WindowText(Field(kIdFs2k4)), "C:\\FS9");

    // Edits left unsaved are gone at the next showing.
    SetWindowTextA(Field(kIdEPilot), "UNSAVED");
    pilot_.FormShow();
    EXPECT_EQ(WindowText(Field(kIdEPilot)), "Jane Doe");
}

TEST_F(PilotFormTest, EveryFieldTurnsTypedLettersIntoCapitals) {
    for (int id : {kIdEPilot, kIdEId, kIdEPilotN, kIdFDir, kIdFs2k4}) {
        HWND field = Field(id);
        PlaceCaret(field, GetWindowTextLengthA(field));
        TypeInto(field, "xy");
        const std::string text = WindowText(field);
        EXPECT_EQ(text.substr(text.size() - 2), "XY") << "field " << id;
    }
}

// Tab goes "Pilot Name ", "Pilot Id", "Pilot #", "Save", "Exit", "FS2k4-Files",
// "MyFlightsDir", then the two browse buttons, so that a pilot without a mouse reaches them.
TEST_F(PilotFormTest, TabGoesNameIdNumberSaveExitSimulatorFolderFlightFolderBrowseButtons) {
    const std::vector<int> expected = {kIdEPilot,      kIdEId,   kIdEPilotN, kIdPilotSave,
                                       kIdPilotExit,   kIdFs2k4, kIdFDir,    kIdBottoneDir,
                                       kIdFs2k4Browse, kIdEPilot};
    std::vector<int> order;
    HWND control = Field(kIdEPilot);
    for (size_t i = 0; i < expected.size(); ++i) {
        order.push_back(GetDlgCtrlID(control));
        control = GetNextDlgTabItem(pilot_.hwnd(), control, FALSE);
    }
    EXPECT_EQ(order, expected);
}

TEST_F(PilotFormTest, SaveWritesTheFiveKeysAsEnteredAndReplacesTheProfile) {
    SetTextKeepingCase(Field(kIdEPilot), "");
    PlaceCaret(Field(kIdEId), 5);
    TypeInto(Field(kIdEId), "b");
    pilot_.PilotSave();
    EXPECT_EQ(ConfigLines(),
              (std::vector<std::string>{"[Aerolinker]", "PilotName=", "ID=cs042B", "Number=7",
                                        "Flightdir=C:\\Flights", "FS2k4dir=C:\\FS9"}));
    EXPECT_EQ(form_.Pilot().PilotName, "");
    EXPECT_EQ(form_.Pilot().ID, "cs042B");
}

// The log folder read at start stays until the next start: a new "MyFlightsDir" saved in the
// form does not move the log the tracker and "Save Generated File" write.
TEST_F(PilotFormTest, ANewLogFolderTakesEffectOnlyAtTheNextStart) {
    const std::string atStart = folder_.File("at start");
    const std::string saved = folder_.File("saved");
    CreateDirectoryA(atStart.c_str(), nullptr);
    CreateDirectoryA(saved.c_str(), nullptr);
    ASSERT_EQ(ReplaceFileContents(folder_.File("Aerolinker.ini"),
                                  "[Aerolinker]\r\nFlightdir=" + atStart + "\r\n"),
              0);
    form_.RunGuarded([this] { form_.FormCreate(); });
    pilot_.FormShow();
    SetTextKeepingCase(Field(kIdFDir), saved);
    form_.RunGuarded([this] { pilot_.PilotSave(); });
    form_.RunGuarded([this] { form_.SaveGeneratedFile(); });
    EXPECT_TRUE(roles_.errors.empty());
    EXPECT_TRUE(FileExists(atStart + "\\Navforge.log"));
    EXPECT_FALSE(FileExists(saved + "\\Navforge.log"));
}

// Escape, the close box and "Exit" end the form alike: typed entries are dropped and nothing
// is written; the main window takes input again.
TEST_F(PilotFormTest, EscapeClosesTheFormWritingNothingAndFreesTheMainWindow) {
    std::string settings;
    ASSERT_EQ(ReadFileContents(folder_.File("Aerolinker.ini"), settings), 0);
    ShowModalWithKeys({{WM_CHAR, 'z'}, {WM_KEYDOWN, VK_ESCAPE}});
    EXPECT_FALSE(IsWindowVisible(pilot_.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(owner_));
    std::string after;
    ASSERT_EQ(ReadFileContents(folder_.File("Aerolinker.ini"), after), 0);
    EXPECT_EQ(after, settings);
    EXPECT_EQ(form_.Pilot().PilotName, "Jane Doe");
}

TEST_F(PilotFormTest, EnterSavesWhatWasTypedAndClosesTheForm) {
    // The form opens with the name selected: typing replaces it.
    ShowModalWithKeys({{WM_CHAR, 'z'}, {WM_KEYDOWN, VK_RETURN}});
    EXPECT_FALSE(IsWindowVisible(pilot_.hwnd()));
    EXPECT_TRUE(IsWindowEnabled(owner_));
    EXPECT_EQ(form_.Pilot().PilotName, "Z");
    EXPECT_EQ(ConfigLines().at(1), "PilotName=Z");
}

TEST_F(PilotFormTest, RefusedWriteLeavesTheProfileAndReachesTheErrorHandler) {
    // A folder that is a file: the configuration cannot be written there.
    const std::string blocked = folder_.File("blocked");
    ASSERT_EQ(ReplaceFileContents(blocked, "x"), 0);
    GivenFolder missing(blocked);
    IniFile blockedConfig(ConfigFilePath(missing), RegionalSettings{});
    TFConnection form(AppServices{link_, roles_, blockedConfig, missing, copier_, clock_,
                                  RegionalSettings{}, folder_.Path()});
    const PilotProfile before = form.Pilot();
    AnsweringPilotForm pilot(GetModuleHandleA(nullptr), form);
    ASSERT_TRUE(pilot.Create(nullptr));
    pilot.FormShow();
    SetTextKeepingCase(GetDlgItem(pilot.hwnd(), kIdEPilot), "New Name");

    form.RunGuarded([&pilot] { pilot.PilotSave(); });
    ASSERT_EQ(roles_.errors.size(), 1u);
    EXPECT_EQ(roles_.errors[0], "Unable to write to " + blocked + "\\Aerolinker.ini");
    EXPECT_EQ(form.Pilot().PilotName, before.PilotName);
}

// "Save" with a folder field naming no folder asks, for each such field: Yes makes it and
// saves, No saves the name as typed, Cancel goes back to the form and writes nothing. A folder
// that cannot be made reports why and saves nothing.
TEST_F(PilotFormTest, SaveOffersToMakeAFolderThatDoesNotExist) {
    using Answer = TFPilot::MissingFolderAnswer;
    const std::string blocker = folder_.File("a file");
    ASSERT_EQ(ReplaceFileContents(blocker, "x"), 0);
    struct Case {
        const char* what;
        std::string flights;
        Answer answer;
        bool saved;
        bool made;
        bool reported;
    };
    const Case cases[] = {
        {"yes", folder_.File("new\\flights"), Answer::kCreate, true, true, false},
        {"no", folder_.File("elsewhere"), Answer::kKeepAsTyped, true, false, false},
        {"cancel", folder_.File("typo"), Answer::kBackToForm, false, false, false},
        {"cannot be made", blocker + "\\flights", Answer::kCreate, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pilot_.asked.clear();
        roles_.errors.clear();
        pilot_.answer = c.answer;
        SetTextKeepingCase(Field(kIdFDir), c.flights);
        SetTextKeepingCase(Field(kIdFs2k4), folder_.Path());  // exists: no question
        form_.RunGuarded([this] { pilot_.PilotSave(); });
        EXPECT_EQ(pilot_.asked, std::vector<std::string>{c.flights});
        EXPECT_EQ(form_.Pilot().Flightdir == c.flights, c.saved);
        EXPECT_EQ(GetFileAttributesA(c.flights.c_str()) != INVALID_FILE_ATTRIBUTES, c.made);
        ASSERT_EQ(roles_.errors.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            EXPECT_EQ(roles_.errors[0].rfind("Cannot create folder \"" + c.flights + "\". ", 0), 0u)
                << roles_.errors[0];
        }
    }

    // Both folders there: "Save" asks nothing.
    pilot_.asked.clear();
    SetTextKeepingCase(Field(kIdFDir), folder_.Path());
    form_.RunGuarded([this] { pilot_.PilotSave(); });
    EXPECT_TRUE(pilot_.asked.empty());
    EXPECT_EQ(form_.Pilot().Flightdir, folder_.Path());
}

}  // namespace
}  // namespace aerolinker
