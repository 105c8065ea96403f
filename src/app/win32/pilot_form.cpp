// The pilot form: its controls, the modal showing and the handlers.
#include "app/win32/pilot_form.h"

#include <shlobj.h>

#include "app/win32/window_ids.h"
#include "app/win32/window_text.h"
#include "common/app_error.h"
#include "persistence/ini_file.h"
#include "ui/win32/newer_api.h"

namespace aerolinker {
namespace {

constexpr char kPilotFormCaption[] = "Pilot Informations";
// A fixed border with only the close box.
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME;
constexpr DWORD kFieldStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_UPPERCASE;
constexpr int kFontPoints = 8;

constexpr std::array<const char*, kPilotFieldCount> kLabelTexts = {
    "Pilot Name ", "Pilot Id", "Pilot #", "MyFlightsDir", "FS2k4-Files"};

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

TFPilot::TFPilot(HINSTANCE module, TFConnection& connection)
    : module_(module), connection_(connection) {}

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
        case DM_GETDEFID:  // Enter presses "Save", or the browse button that has the focus
            return MAKELRESULT(DefaultButton(), DC_HASDEFID);
        case WM_NCDESTROY:
            modal_ = false;
            break;
        default:
            break;
    }
    return DefaultMessage(message, wParam, lParam);
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
    for (HWND created :
         {EPilot, EId, EPilotN, save_, exit_, fs2k4, FDir, BottoneDir, fs2k4Browse_}) {
        if (!created) {
            return false;
        }
    }
    ApplyDpi(dpi_);
    return true;
}

int TFPilot::DefaultButton() const {
    const HWND focus = GetFocus();
    return focus && (focus == BottoneDir || focus == fs2k4Browse_) ? GetDlgCtrlID(focus)
                                                                   : kIdPilotSave;
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
    for (HWND field : {FDir, fs2k4}) {
        if (!SettleMissingFolder(field)) {
            return;
        }
    }
    // A refused write throws before the form closes: the pilot's entries stay on screen.
    connection_.SavePilotProfile(FieldTexts());
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
