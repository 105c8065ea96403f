// The pilot form: its fields turn typed letters into capitals but keep the case of what the
// program places in them, the keyboard order, "Save" (with its offer to make a missing folder,
// and the airline's server and key) and "Exit".
#include "app/win32/pilot_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "airline/net/server_address.h"
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

constexpr char kKey[] = "test-key-0123456789abcdef";
// Never asked anything: no flight is flown and no "Test" gets that far.
constexpr char kServer[] = "http://127.0.0.1:9";

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
          airline_(form_, config_, roles_, folder_.File(kAirlineKeyFileName)),
          pilot_(GetModuleHandleA(nullptr), form_, airline_) {}

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
    AirlineConnection airline_;
    AnsweringPilotForm pilot_;
};

TEST_F(PilotFormTest, IsAFixedDialogWithOnlyACloseBoxAndA450By400ClientArea) {
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
    EXPECT_EQ(client.bottom, MulDiv(400, dpi, 96));
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
// "MyFlightsDir", then the two browse buttons, so that a pilot without a mouse reaches them,
// and last the airline's server, key and "Test".
TEST_F(PilotFormTest, TabGoesNameIdNumberSaveExitSimulatorFolderFlightFolderBrowseButtons) {
    const std::vector<int> expected = {kIdEPilot,      kIdEId,           kIdEPilotN, kIdPilotSave,
                                       kIdPilotExit,   kIdFs2k4,         kIdFDir,    kIdBottoneDir,
                                       kIdFs2k4Browse, kIdAirlineServer, kIdApiKey,  kIdAirlineTest,
                                       kIdEPilot};
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
    AirlineConnection airline(form, blockedConfig, roles_, blocked + "\\" + kAirlineKeyFileName);
    AnsweringPilotForm pilot(GetModuleHandleA(nullptr), form, airline);
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

// The airline's rows: the address goes into the configuration as checked, the key into the key
// store only, and a kept key shows only as "(stored)". Saved between flights, they apply at once.
TEST_F(PilotFormTest, SaveKeepsTheServerInTheConfigurationAndTheKeyInTheKeyStoreOnly) {
    auto save = [this] { form_.RunGuarded([this] { pilot_.PilotSave(); }); };
    SetWindowTextA(Field(kIdAirlineServer), " HTTP://127.0.0.1:9/ ");
    SetWindowTextA(Field(kIdApiKey), (std::string(" ") + kKey + " ").c_str());
    save();
    ASSERT_TRUE(roles_.errors.empty()) << roles_.errors[0];
    EXPECT_EQ(ConfigLines().back(), std::string("AirlineServer=") + kServer);
    std::string settings;
    std::string blob;
    ASSERT_EQ(ReadFileContents(folder_.File("Aerolinker.ini"), settings), 0);
    ASSERT_EQ(ReadFileContents(folder_.File(kAirlineKeyFileName), blob), 0);
    EXPECT_EQ(settings.find(kKey), std::string::npos);
    EXPECT_EQ(blob.find(kKey), std::string::npos);
    EXPECT_NE(airline_.Link(), nullptr);

    // Shown again the key field is empty and its label says a key is kept; saved so, the
    // kept key stays.
    pilot_.FormShow();
    EXPECT_EQ(WindowText(Field(kIdApiKey)), "");
    EXPECT_EQ(WindowText(Field(kIdApiKeyLabel)), "API key (stored; type a new one to replace it)");
    save();
    std::string key;
    std::string error;
    EXPECT_TRUE(airline_.LoadKey(key, error));
    EXPECT_EQ(key, kKey);

    // No server, no airline; the key stays for a return to it.
    SetWindowTextA(Field(kIdAirlineServer), "  ");
    save();
    EXPECT_EQ(ConfigLines().back(), "AirlineServer=");
    EXPECT_EQ(airline_.Link(), nullptr);
    EXPECT_TRUE(FileExists(folder_.File(kAirlineKeyFileName)));
}

// What the pilot must correct is refused before anything is written, the profile included.
TEST_F(PilotFormTest, AServerRefusedOrWithoutAKeyIsReportedAndNothingIsSaved) {
    std::string unused;
    const struct {
        const char* server;
        const char* key;
        std::string error;
    } cases[] = {
        {"http://crew.example.com", kKey, CheckServerAddress("http://crew.example.com", unused)},
        {"crew.example.com", kKey, CheckServerAddress("crew.example.com", unused)},
        {kServer, "", "The airline server needs your API key"},
        {kServer, "  ", "The airline server needs your API key"},
    };
    std::string before;
    ASSERT_EQ(ReadFileContents(folder_.File("Aerolinker.ini"), before), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.server);
        roles_.errors.clear();
        SetTextKeepingCase(Field(kIdEPilot), "New Name");
        SetWindowTextA(Field(kIdAirlineServer), c.server);
        SetWindowTextA(Field(kIdApiKey), c.key);
        form_.RunGuarded([this] { pilot_.PilotSave(); });
        ASSERT_EQ(roles_.errors.size(), 1u);
        EXPECT_EQ(roles_.errors[0].rfind(c.error, 0), 0u) << roles_.errors[0];
        std::string after;
        ASSERT_EQ(ReadFileContents(folder_.File("Aerolinker.ini"), after), 0);
        EXPECT_EQ(after, before);
        EXPECT_FALSE(FileExists(folder_.File(kAirlineKeyFileName)));
        EXPECT_EQ(form_.Pilot().PilotName, "Jane Doe");
    }
}

// A flight under way keeps the airline it started with: settings saved meanwhile apply once
// it is no longer tracked.
TEST_F(PilotFormTest, AirlineSettingsSavedInFlightApplyAfterTheFlight) {
    LoopbackSimulator simulator(
        platform_, std::make_shared<const Scenario>(ParseScenario("scenario \"Plan loaded\"\n"
                                                                  "waypoint_count 5\n"
                                                                  "prev LIEO\n"
                                                                  "next OLB\n"
                                                                  "frame\n"
                                                                  "on_ground 1\n")));
    form_.SetLogFolder(folder_.Path());
    form_.RunGuarded([this] { form_.LConnettiClick(); });
    ASSERT_TRUE(form_.FlightTracked());
    SetWindowTextA(Field(kIdAirlineServer), kServer);
    SetWindowTextA(Field(kIdApiKey), kKey);
    form_.RunGuarded([this] { pilot_.PilotSave(); });
    ASSERT_TRUE(roles_.errors.empty()) << roles_.errors[0];
    airline_.Poll();
    EXPECT_EQ(airline_.Link(), nullptr);
    EXPECT_TRUE(airline_.NeedsPolling());

    form_.RunGuarded([this] { form_.LChiudiClick(); });
    airline_.Poll();
    EXPECT_NE(airline_.Link(), nullptr);
}

}  // namespace
}  // namespace aerolinker
