// The pilot form: its controls, the modal showing and the handlers.
#include "app/win32/pilot_form.h"

#include <shlobj.h>

#include <memory>
#include <thread>

#include "airline/account_check.h"
#include "airline/net/http_transport.h"
#include "airline/net/server_address.h"
#include "app/win32/window_ids.h"
#include "app/win32/window_text.h"
#include "common/app_error.h"
#include "common/text_encoding.h"
#include "persistence/ini_file.h"
#include "ui/win32/newer_api.h"

namespace aerolinker {
namespace {

constexpr char kPilotFormCaption[] = "Pilot Informations";
// A fixed border with only the close box.
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;
constexpr DWORD kFieldStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_UPPERCASE;
// The airline's fields keep the case typed: a key and a server's path are case-sensitive.
constexpr DWORD kAirlineFieldStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr int kFontPoints = 8;

constexpr std::array<const char*, kPilotFieldCount> kLabelTexts = {
    "Pilot Name ", "Pilot Id", "Pilot #", "MyFlightsDir", "FS2k4-Files"};
constexpr char kAirlineServerLabel[] = "Airline server (none: no airline)";
constexpr char kApiKeyLabel[] = "API key";
// A key is kept: the empty field keeps it, a typed one replaces it.
constexpr char kStoredKeyLabel[] = "API key (stored; type a new one to replace it)";
constexpr char kAskingServer[] = "Asking the airline server...";
constexpr char kServerWithoutKey[] =
    "The airline server needs your API key: type it in \"API key\", or empty \"Airline "
    "server\" to fly without the airline.";
constexpr char kBlanks[] = " \t";

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool FolderExists(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The form's frame at `dpi`, at 0, 0, around the design client area.
RECT FormFrame(UINT dpi) {
    RECT frame = {0, 0, ScaleForDpi(kPilotFormClientWidth, dpi),
                  ScaleForDpi(kPilotFormClientHeight, dpi)};
    AdjustWindowRectForDpi(frame, kFormStyle, kFormExStyle, dpi);
    OffsetRect(&frame, -frame.left, -frame.top);
    return frame;
}

void Place(HWND control, const PixelRect& place) {
    MoveWindow(control, place.left, place.top, place.Width(), place.Height(), TRUE);
}

}  // namespace

TFPilot::TFPilot(HINSTANCE module, TFConnection& connection, AirlineConnection& airline)
    : module_(module), connection_(connection), airline_(airline) {}

TFPilot::~TFPilot() {
    if (hwnd()) {
        DestroyWindow(hwnd());
    }
}

bool TFPilot::Create(HWND owner) {
    owner_ = owner;
    if (!RegisterWindowClass(module_, kPilotFormClass)) {
        return false;
    }
    dpi_ = WindowDpi(owner_);
    return CreateFor(kFormExStyle, kPilotFormClass, kPilotFormCaption, kFormStyle, FormFrame(dpi_),
                     owner_, module_);
}

LRESULT TFPilot::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:  // the close box: like "Exit"; the form is hidden, not destroyed
            ExitClick();
            return 0;
        case DM_GETDEFID:  // Enter presses "Save", or the button beside a field with the focus
            return MAKELRESULT(DefaultButton(), DC_HASDEFID);
        case kAccountCheckedMessage:
            OnAccountChecked(wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_NCDESTROY:
            modal_ = false;
            break;
        default:
            break;
    }
    return DefaultMessage(message, wParam, lParam);
}

// A form that opens, or comes back after a box or another program, has a field with the
// keyboard: the one the pilot was in (or the one a refusal named), else the pilot's name.
void TFPilot::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    const bool usable = lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                        IsWindowVisible(lastFocus_);
    SetFocus(usable ? lastFocus_ : EPilot);
}

bool TFPilot::OnCreate() {
    auto control = [this](DWORD exStyle, const char* className, const char* text, DWORD style,
                          int id) {
        return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                               hwnd(), reinterpret_cast<HMENU>(INT_PTR{id}), module_, nullptr);
    };
    for (std::size_t i = 0; i < kPilotFieldCount; ++i) {
        labels_[i] = control(0, "STATIC", kLabelTexts[i], SS_LEFT | SS_NOPREFIX, -1);
    }
    // Created in the keyboard order: the Tab key follows the order of creation.
    EPilot = control(WS_EX_CLIENTEDGE, "EDIT", "", kFieldStyle, kIdEPilot);
    EId = control(WS_EX_CLIENTEDGE, "EDIT", "", kFieldStyle, kIdEId);
    EPilotN = control(WS_EX_CLIENTEDGE, "EDIT", "", kFieldStyle, kIdEPilotN);
    save_ = control(0, "BUTTON", "Save", WS_TABSTOP | BS_DEFPUSHBUTTON, kIdPilotSave);
    exit_ = control(0, "BUTTON", "Exit", WS_TABSTOP | BS_PUSHBUTTON, kIdPilotExit);
    fs2k4 = control(WS_EX_CLIENTEDGE, "EDIT", "", kFieldStyle, kIdFs2k4);
    FDir = control(WS_EX_CLIENTEDGE, "EDIT", "", kFieldStyle, kIdFDir);
    // The browse buttons come last, so that the fields and "Save" and "Exit" keep their order.
    BottoneDir = control(0, "BUTTON", "...", WS_TABSTOP | BS_PUSHBUTTON, kIdBottoneDir);
    fs2k4Browse_ = control(0, "BUTTON", "...", WS_TABSTOP | BS_PUSHBUTTON, kIdFs2k4Browse);
    // The airline's rows, after everything the form had before them, in their own order.
    airlineServerLabel_ = control(0, "STATIC", kAirlineServerLabel, SS_LEFT | SS_NOPREFIX, -1);
    airlineServer_ = control(WS_EX_CLIENTEDGE, "EDIT", "", kAirlineFieldStyle, kIdAirlineServer);
    apiKeyLabel_ = control(0, "STATIC", kApiKeyLabel, SS_LEFT | SS_NOPREFIX, kIdApiKeyLabel);
    apiKey_ = control(WS_EX_CLIENTEDGE, "EDIT", "", kAirlineFieldStyle | ES_PASSWORD, kIdApiKey);
    airlineTest_ = control(0, "BUTTON", "Test", WS_TABSTOP | BS_PUSHBUTTON, kIdAirlineTest);
    // A window of wide characters: the server's answer may name a pilot in any alphabet.
    airlineResult_ = CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, hwnd(),
        reinterpret_cast<HMENU>(INT_PTR{kIdAirlineResult}), module_, nullptr);
    for (HWND created : {EPilot, EId, EPilotN, save_, exit_, fs2k4, FDir, BottoneDir, fs2k4Browse_,
                         airlineServerLabel_, airlineServer_, apiKeyLabel_, apiKey_, airlineTest_,
                         airlineResult_}) {
        if (!created) {
            return false;
        }
    }
    ApplyDpi(dpi_);
    return true;
}

int TFPilot::DefaultButton() const {
    const HWND focus = GetFocus();
    const bool button = focus == BottoneDir || focus == fs2k4Browse_ || focus == airlineTest_;
    return focus && button ? GetDlgCtrlID(focus) : kIdPilotSave;
}

void TFPilot::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    HFONT font = CreatePointFont("MS Sans Serif", kFontPoints, dpi_, VARIABLE_PITCH | FF_SWISS);
    const PilotFormLayout layout = LayoutPilotForm(static_cast<int>(dpi_));
    const std::array<HWND, kPilotFieldCount> fields = {EPilot, EId, EPilotN, FDir, fs2k4};
    for (std::size_t i = 0; i < kPilotFieldCount; ++i) {
        Place(labels_[i], layout.labels[i]);
        Place(fields[i], layout.fields[i]);
    }
    Place(BottoneDir, layout.flightDirBrowse);
    Place(fs2k4Browse_, layout.fs2k4Browse);
    Place(airlineServerLabel_, layout.airlineServerLabel);
    Place(airlineServer_, layout.airlineServer);
    Place(apiKeyLabel_, layout.apiKeyLabel);
    Place(apiKey_, layout.apiKey);
    Place(airlineTest_, layout.airlineTest);
    Place(airlineResult_, layout.airlineResult);
    Place(save_, layout.save);
    Place(exit_, layout.exit);
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    font_.Reset(font);
}

void TFPilot::CentreOnDesktop() {
    // The desktop of the screen the main window is on: centring on all screens at once could
    // split the form across two of them.
    const UINT dpi = WindowDpi(owner_);
    if (dpi != dpi_) {
        ApplyDpi(dpi);
    }
    const RECT frame = FormFrame(dpi_);
    const int width = frame.right;
    const int height = frame.bottom;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT desktop = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoA(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        desktop = monitor.rcWork;
    }
    const int left = desktop.left + (desktop.right - desktop.left - width) / 2;
    const int top = desktop.top + (desktop.bottom - desktop.top - height) / 2;
    SetWindowPos(hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFPilot::ShowModal(bool atLogFolder) {
    if (!hwnd() || modal_) {
        return;
    }
    FormShow();
    CentreOnDesktop();
    lastFocus_ = nullptr;
    EnableWindow(owner_, FALSE);
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    const HWND field = atLogFolder ? FDir : EPilot;
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);

    modal_ = true;
    MSG message;
    while (modal_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: leave the quit for the main loop to see too.
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));
            }
            break;
        }
        if (!IsDialogMessageA(hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    modal_ = false;
    // A typed key stays nowhere once the form is closed, saved or not.
    SetWindowTextA(apiKey_, "");
    // The owner is enabled before the form hides, so that Windows hands it the activation.
    EnableWindow(owner_, TRUE);
    if (hwnd()) {
        ShowWindow(hwnd(), SW_HIDE);
    }
    SetForegroundWindow(owner_);
}

void TFPilot::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) {
        return;
    }
    switch (id) {
        case kIdPilotSave:
        case IDOK:
            connection_.RunGuarded([this] { PilotSave(); });
            break;
        case kIdPilotExit:
        case IDCANCEL:
            ExitClick();
            break;
        case kIdBottoneDir:
            connection_.RunGuarded([this] { BottoneDirClick(); });
            break;
        case kIdFs2k4Browse:
            connection_.RunGuarded([this] { Fs2k4BrowseClick(); });
            break;
        case kIdAirlineTest:
            connection_.RunGuarded([this] { AirlineTestClick(); });
            break;
        default:
            break;
    }
}

void TFPilot::FormShow() {
    const PilotProfile& profile = connection_.Pilot();
    SetTextKeepingCase(EPilot, profile.PilotName);
    SetTextKeepingCase(EId, profile.ID);
    SetTextKeepingCase(EPilotN, profile.Number);
    SetTextKeepingCase(FDir, profile.Flightdir);
    SetTextKeepingCase(fs2k4, profile.FS2k4dir);
    ShowAirline();
}

void TFPilot::ShowAirline() {
    // A test still under way when the form closed answers into nothing.
    ++lastTest_;
    EnableWindow(airlineTest_, TRUE);
    SetWindowTextA(airlineServer_, airline_.Server().c_str());
    SetWindowTextA(apiKey_, "");
    std::string key;
    std::string error;
    const bool readable = airline_.LoadKey(key, error);
    SetWindowTextA(apiKeyLabel_, key.empty() ? kApiKeyLabel : kStoredKeyLabel);
    // A kept key that cannot be read is said at once, not at the first flight.
    ShowResult(readable ? std::string() : Utf8FromSystemText(error));
}

void TFPilot::ShowResult(const std::string& utf8Text) {
    SetWindowTextW(airlineResult_, WideText(utf8Text, CP_UTF8).c_str());
}

std::string TFPilot::CheckedServer() {
    const std::string typed = WindowText(airlineServer_);
    if (Trimmed(typed).empty()) {
        return {};
    }
    std::string base;
    if (const std::string refused = CheckServerAddress(typed, base); !refused.empty()) {
        SetFocus(airlineServer_);
        SendMessageA(airlineServer_, EM_SETSEL, 0, -1);
        throw AppError(refused);
    }
    return base;
}

void TFPilot::AirlineTestClick() {
    // The check itself refuses an address or a missing key at once, in its own words.
    const std::string server = WindowText(airlineServer_);
    std::string key = Trimmed(WindowText(apiKey_));
    std::string error;
    if (key.empty() && !airline_.LoadKey(key, error)) {
        ShowResult(Utf8FromSystemText(error));
        return;
    }
    ShowResult(kAskingServer);
    EnableWindow(airlineTest_, FALSE);
    // The answer may take the transport's whole timeout: the form and the main window's
    // ticks go on meanwhile. The thread owns its transport and copies of what it sends; if
    // the form is gone when the answer comes, the answer is dropped.
    const WPARAM test = ++lastTest_;
    const HWND form = hwnd();
    std::thread([form, test, server, key] {
        const std::unique_ptr<HttpTransport> transport = MakeHttpTransport(TransportLimits{});
        auto answer =
            std::make_unique<std::string>(CheckAirlineAccount(*transport, server, key).text);
        if (PostMessageA(form, kAccountCheckedMessage, test,
                         reinterpret_cast<LPARAM>(answer.get()))) {
            answer.release();
        }
    }).detach();
}

void TFPilot::OnAccountChecked(WPARAM test, LPARAM text) {
    const std::unique_ptr<std::string> answer(reinterpret_cast<std::string*>(text));
    if (test != lastTest_) {
        return;
    }
    EnableWindow(airlineTest_, TRUE);
    // The server's words are UTF-8; why no answer came may be the system's, in its code page.
    ShowResult(Utf8FromSystemText(*answer));
}

PilotProfile TFPilot::FieldTexts() const {
    PilotProfile texts;
    texts.PilotName = WindowText(EPilot);
    texts.ID = WindowText(EId);
    texts.Number = WindowText(EPilotN);
    texts.Flightdir = WindowText(FDir);
    texts.FS2k4dir = WindowText(fs2k4);
    return texts;
}

void TFPilot::PilotSave() {
    // Everything the pilot can correct is settled before anything is written.
    const std::string server = CheckedServer();
    const std::string newKey = Trimmed(WindowText(apiKey_));
    if (!server.empty() && newKey.empty()) {
        std::string stored;
        std::string error;
        const bool readable = airline_.LoadKey(stored, error);
        if (!readable || stored.empty()) {
            SetFocus(apiKey_);
            throw AppError(readable ? kServerWithoutKey : error);
        }
    }
    for (HWND field : {FDir, fs2k4}) {
        if (!SettleMissingFolder(field)) {
            return;
        }
    }
    // A refused write throws before the form closes: the pilot's entries stay on screen.
    connection_.SavePilotProfile(FieldTexts());
    airline_.Save(server, newKey);
    modal_ = false;
}

// A mistyped folder would otherwise only show at the first save of a flight's log. The pilot
// may keep the name as typed: a drive attached only for flying is missing now and then. A
// folder that cannot be made raises its error, and the form stays open with the entries.
bool TFPilot::SettleMissingFolder(HWND field) {
    const std::string folder = WindowText(field);
    if (folder.empty() || FolderExists(folder)) {
        return true;
    }
    switch (AskAboutMissingFolder(folder)) {
        case MissingFolderAnswer::kCreate: {
            // Made with the folders above it; no window of the shell's own is shown.
            const int error = SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
            if (error != ERROR_SUCCESS && !FolderExists(folder)) {
                throw AppError("Cannot create folder \"" + folder + "\". " +
                               SystemErrorText(error));
            }
            return true;
        }
        case MissingFolderAnswer::kKeepAsTyped:
            return true;
        case MissingFolderAnswer::kBackToForm:
        default:
            SetFocus(field);
            SendMessageA(field, EM_SETSEL, 0, -1);
            return false;
    }
}

TFPilot::MissingFolderAnswer TFPilot::AskAboutMissingFolder(const std::string& folder) {
    const std::string question = "The folder \"" + folder +
                                 "\" does not exist. Create it?\n\nYes creates it, No saves "
                                 "the name as it is, Cancel goes back to the form.";
    switch (MessageBoxA(hwnd(), question.c_str(), kApplicationTitle,
                        MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            return MissingFolderAnswer::kCreate;
        case IDNO:
            return MissingFolderAnswer::kKeepAsTyped;
        default:
            return MissingFolderAnswer::kBackToForm;
    }
}

void TFPilot::ExitClick() {
    modal_ = false;
}

void TFPilot::BottoneDirClick() {
    Browse(FDir);
}

void TFPilot::Fs2k4BrowseClick() {
    Browse(fs2k4);
}

void TFPilot::Browse(HWND field) {
    std::string folder = WindowText(field);
    if (Browsefs2k4.Execute(hwnd(), folder)) {
        SetTextKeepingCase(field, folder);
    }
}

}  // namespace aerolinker
