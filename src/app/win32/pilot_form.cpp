// The pilot form: its controls, the modal showing and the handlers.
#include "app/win32/pilot_form.h"

#include "app/win32/newer_api.h"
#include "app/win32/window_ids.h"
#include "app/win32/window_text.h"
#include "persistence/ini_file.h"

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

void Place(HWND control, const PixelRect& place) {
    MoveWindow(control, place.left, place.top, place.Width(), place.Height(), TRUE);
}

}  // namespace

TFPilot::TFPilot(HINSTANCE module, TFConnection& connection)
    : module_(module), connection_(connection) {}

TFPilot::~TFPilot() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
    if (font_) {
        DeleteObject(font_);
    }
}

bool TFPilot::Create(HWND owner) {
    owner_ = owner;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &TFPilot::WindowProc;
    windowClass.hInstance = module_;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kPilotFormClass;
    // A second window of the class (the tests make several) finds it registered already.
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    dpi_ = WindowDpi(owner_);
    RECT frame = {0, 0, ScaleForDpi(kPilotFormClientWidth, static_cast<int>(dpi_)),
                  ScaleForDpi(kPilotFormClientHeight, static_cast<int>(dpi_))};
    AdjustWindowRectForDpi(frame, kFormStyle, kFormExStyle, dpi_);
    CreateWindowExA(kFormExStyle, kPilotFormClass, kPilotFormCaption, kFormStyle, 0, 0,
                    frame.right - frame.left, frame.bottom - frame.top, owner_, nullptr, module_,
                    this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK TFPilot::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<TFPilot*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFPilot*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            return self->OnCreate() ? 0 : -1;
        case WM_COMMAND:
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:  // the close box: like "Exit"; the form is hidden, not destroyed
            self->ExitClick();
            return 0;
        case DM_GETDEFID:  // Enter presses "Save"
            return MAKELRESULT(kIdPilotSave, DC_HASDEFID);
        case WM_DPICHANGED:
            self->OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->modal_ = false;
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool TFPilot::OnCreate() {
    auto control = [this](DWORD exStyle, const char* className, const char* text, DWORD style,
                          int id) {
        return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                               hwnd_, reinterpret_cast<HMENU>(INT_PTR{id}), module_, nullptr);
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
    BottoneDir = control(0, "BUTTON", "...", BS_PUSHBUTTON, kIdBottoneDir);
    fs2k4Browse_ = control(0, "BUTTON", "...", BS_PUSHBUTTON, kIdFs2k4Browse);
    for (HWND created :
         {EPilot, EId, EPilotN, save_, exit_, fs2k4, FDir, BottoneDir, fs2k4Browse_}) {
        if (!created) {
            return false;
        }
    }
    ApplyDpi(dpi_);
    return true;
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
    for (HWND child = GetWindow(hwnd_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_) {
        DeleteObject(font_);
    }
    font_ = font;
}

void TFPilot::OnDpiChanged(UINT dpi, const RECT& suggested) {
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyDpi(dpi);
}

void TFPilot::CentreOnDesktop() {
    // The desktop of the screen the main window is on: centring on all screens at once could
    // split the form across two of them.
    const UINT dpi = WindowDpi(owner_);
    if (dpi != dpi_) {
        ApplyDpi(dpi);
    }
    RECT frame = {0, 0, ScaleForDpi(kPilotFormClientWidth, static_cast<int>(dpi_)),
                  ScaleForDpi(kPilotFormClientHeight, static_cast<int>(dpi_))};
    AdjustWindowRectForDpi(frame, kFormStyle, kFormExStyle, dpi_);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT desktop = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoA(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor)) {
        desktop = monitor.rcWork;
    }
    const int left = desktop.left + (desktop.right - desktop.left - width) / 2;
    const int top = desktop.top + (desktop.bottom - desktop.top - height) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFPilot::ShowModal() {
    if (!hwnd_ || modal_) {
        return;
    }
    FormShow();
    CentreOnDesktop();
    EnableWindow(owner_, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetFocus(EPilot);
    SendMessageA(EPilot, EM_SETSEL, 0, -1);

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
        if (!IsDialogMessageA(hwnd_, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    modal_ = false;
    // The owner is enabled before the form hides, so that Windows hands it the activation.
    EnableWindow(owner_, TRUE);
    if (hwnd_) {
        ShowWindow(hwnd_, SW_HIDE);
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
    // A refused write throws before the form closes: the pilot's entries stay on screen.
    SavePilotProfile(connection_.Config(), FieldTexts(), connection_.Pilot());
    modal_ = false;
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
    if (Browsefs2k4.Execute(hwnd_, folder)) {
        SetTextKeepingCase(field, folder);
    }
}

}  // namespace aerolinker
