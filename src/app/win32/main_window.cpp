// The main window: creation of its controls, the roles the handlers use, and the dispatch of
// window messages to the handlers.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/airline_connection.h"
#include "app/win32/pilot_form.h"
#include "app/win32/res/resource_ids.h"
#include "app/win32/window_ids.h"
#include "app/win32/window_text.h"
#include "ui/win32/newer_api.h"

namespace aerolinker {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                               WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
// A tab stop, after the tool bar's buttons (made before it), so that Tab reaches the log too.
constexpr DWORD kMemoStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                             ES_WANTRETURN | ES_AUTOVSCROLL | ES_NOHIDESEL;
constexpr int kMemoFontPoints = 8;
constexpr int kWindowFontPoints = 8;
// Below this the tool bar would cut off its last button.
constexpr int kMinimumClientWidth = 580;
constexpr int kMinimumMemoHeight = 48;
// The dissolve as the window opens and as it closes.
constexpr DWORD kDissolveMs = 1000;
// What a WM_COMMAND from a shortcut carries in place of a control's notification.
constexpr int kShortcutNotification = 1;
constexpr char kCloseInFlightQuestion[] =
    "A flight is being tracked. Close Aerolinker? The flight can be resumed from its last saved "
    "situation.";

}  // namespace

MainWindow::MainWindow(HINSTANCE module) : module_(module), wave_(module) {}

MainWindow::~MainWindow() {
    Destroy();
}

bool MainWindow::Create(TFConnection& handlers, ConfigStore& places) {
    handlers_ = &handlers;
    place_.emplace(places, kMainWindowName);
    profileSource_ = std::make_unique<SessionProfileSource>(handlers.Session());
    profileWindow_ = std::make_unique<ProfileWindow>(module_, *profileSource_, places);
    HICON icon = LoadIconA(module_, MAKEINTRESOURCEA(IDI_AEROLINKER));
    HICON smallIcon = static_cast<HICON>(LoadImageA(module_, MAKEINTRESOURCEA(IDI_AEROLINKER),
                                                    IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                    GetSystemMetrics(SM_CYSMICON), 0));
    if (!RegisterWindowClass(module_, kMainWindowClass, icon, smallIcon)) {
        return false;
    }
    const UINT dpi = SystemDpi();
    const std::optional<WindowPlace> kept = place_->Reachable();
    const RECT frame = kept ? FrameOf(*kept)
                            : RECT{kMainWindowLeft, kMainWindowTop,
                                   kMainWindowLeft + ScaleForDpi(kMainWindowWidth, dpi),
                                   kMainWindowTop + ScaleForDpi(kMainWindowHeight, dpi)};
    if (!CreateFor(0, kMainWindowClass, kDesignCaption, kWindowStyle, frame, nullptr, module_)) {
        return false;
    }
    // The window may have opened on a screen of another DPI than the primary one. A kept
    // place was measured on its own screen and stays as it is.
    const UINT windowDpi = WindowDpi(hwnd());
    if (windowDpi != dpi) {
        if (!kept) {
            SetWindowPos(hwnd(), nullptr, 0, 0, ScaleForDpi(kMainWindowWidth, windowDpi),
                         ScaleForDpi(kMainWindowHeight, windowDpi),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ApplyDpi(windowDpi);
    }
    place_->Follow(hwnd());
    openMaximised_ = kept && kept->maximised;
    shortcuts_ = CreateToolBarShortcuts();
    return true;
}

void MainWindow::Destroy() {
    if (hwnd()) {
        DestroyWindow(hwnd());
    }
}

void MainWindow::Show(int showCommand) {
    // Opened normally the window dissolves into view, or comes up maximised when the pilot
    // left it so (the dissolve would show it at its normal size first); started minimised or
    // hidden it follows the command as it stands.
    const bool normal =
        showCommand == SW_SHOWNORMAL || showCommand == SW_SHOW || showCommand == SW_SHOWDEFAULT;
    if (normal && openMaximised_) {
        ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
    } else if (normal) {
        DissolveWindow(hwnd(), true, kDissolveMs);
    } else {
        ShowWindow(hwnd(), showCommand);
    }
    UpdateWindow(hwnd());
}

// Roles --------------------------------------------------------------------------------------

void MainWindow::SetCaption(const std::string& caption) {
    SetWindowTextA(hwnd(), caption.c_str());
}

void MainWindow::SetStatusText(const std::string& text) {
    // Every tick sets it; the panels move only when the text changes.
    if (text != statusText_) {
        statusText_ = text;
        LayOutStatusPanels();
    }
    SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The link's panel takes its text's width at least, so that a failure's long text is read in
// full; the airline's, once there is one, its text's width; the flight's panel has the rest.
void MainWindow::LayOutStatusPanels() {
    RECT client = {};
    GetClientRect(hwnd(), &client);
    HDC dc = GetDC(status_);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(status_, WM_GETFONT, 0, 0)));
    const auto width = [dc](const std::string& text) {
        SIZE extent = {};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        return extent.cx;
    };
    const LONG link = width(statusText_);
    const LONG airline = airlineText_.empty() ? 0 : width(airlineText_);
    SelectObject(dc, previous);
    ReleaseDC(status_, dc);
    const LONG padding = ScaleForDpi(kStatusPanelPadding, static_cast<int>(dpi_));
    const int linkRight =
        static_cast<int>(std::max(client.right * kLinkPanelPercent / 100, link + padding));
    if (airlineText_.empty()) {
        int panelRights[] = {linkRight, -1};
        SendMessageA(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(panelRights));
        return;
    }
    const int flightRight =
        static_cast<int>(std::max(static_cast<LONG>(linkRight), client.right - airline - padding));
    int panelRights[] = {linkRight, flightRight, -1};
    SendMessageA(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(panelRights));
}

void MainWindow::SetAirlineStatus(const std::string& text) {
    if (text != airlineText_) {
        airlineText_ = text;
        LayOutStatusPanels();
    }
    SendMessageA(status_, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::SetFlightStatus(const std::string& text) {
    SendMessageA(status_, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND MainWindow::MessageOwner() const {
    // Over the pilot form when it is open (a tick or its "Save" may report), so that the box
    // comes out on top and the form waits for it too.
    HWND active = GetActiveWindow();
    return active ? active : hwnd();
}

void MainWindow::ShowMessageBox(const std::string& text) {
    MessageBoxA(MessageOwner(), text.c_str(), kApplicationTitle, MB_OK | MB_ICONWARNING);
}

bool MainWindow::AskYesNo(const std::string& question) {
    return MessageBoxA(MessageOwner(), question.c_str(), kApplicationTitle,
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void MainWindow::ShowStandardMessage(const std::string& text) {
    MessageBoxA(MessageOwner(), text.c_str(), kApplicationTitle, MB_OK);
}

void MainWindow::SetTimerEnabled(bool enabled) {
    // Switching on a running timer leaves its count alone, as switching off a stopped one does.
    if (enabled && !timerEnabled_) {
        timerEnabled_ = SetTimer(hwnd(), kTimer1Id, kTimer1IntervalMs, nullptr) != 0;
        if (timerEnabled_) {
            SetTimer(hwnd(), kLookTimerId, kLookIntervalMs, nullptr);
        }
    } else if (!enabled && timerEnabled_) {
        KillTimer(hwnd(), kTimer1Id);
        KillTimer(hwnd(), kLookTimerId);
        timerEnabled_ = false;
    }
}

void MainWindow::SetSituationButtonsEnabled(bool enabled) {
    toolBar_.SetEnabled(kIdSalvaSit, enabled);
    toolBar_.SetEnabled(kIdCaricaSit, enabled);
}

void MainWindow::PlaySound() {
    wave_.Play();
}

void MainWindow::PauseUserInterface(unsigned milliseconds) {
    Sleep(milliseconds);
}

void MainWindow::ReportError(const std::string& text) {
    MessageBoxA(MessageOwner(), text.c_str(), kApplicationTitle, MB_OK | MB_ICONERROR);
}

// A box opened inside a tick would hold the tick until the pilot clicks OK, and in a full-screen
// simulator the pilot may not see it for minutes. Posted, it opens after the tick has returned;
// its modal loop goes on dispatching the timer, so the flight is sampled meanwhile.
void MainWindow::PostError(const std::string& text) {
    postedErrors_.push_back(text);
    PostMessageA(hwnd(), kPostedErrorsMessage, 0, 0);
}

// One box at a time: errors posted while one is open wait for it to close.
void MainWindow::ShowPostedErrors() {
    if (showingPostedErrors_) {
        return;
    }
    showingPostedErrors_ = true;
    while (!postedErrors_.empty()) {
        const std::string text = std::move(postedErrors_.front());
        postedErrors_.pop_front();
        ReportError(text);
    }
    showingPostedErrors_ = false;
}

// Message handlers ---------------------------------------------------------------------------

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DRAWITEM:
            if (toolBar_.DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT:  // the dissolve draws the window into a picture first
            toolBar_.PaintBar(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case WM_WINDOWPOSCHANGED:
            if (place_) {
                place_->Follow(hwnd());
            }
            break;  // WM_SIZE and WM_MOVE come from the default handling
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_THEMECHANGED:
            toolBar_.OnThemeChanged();
            break;
        case kPostedErrorsMessage:
            ShowPostedErrors();
            return 0;
        case kEditLogFolderMessage:
            if (pilotForm_) {
                handlers_->RunGuarded([this] { pilotForm_->ShowModal(true); });
                RefreshAirlineTimer();
            }
            return 0;
        default:
            break;
    }
    return DefaultMessage(message, wParam, lParam);
}

bool MainWindow::OnCreate() {
    if (!toolBar_.Create(hwnd(), module_)) {
        return false;
    }
    memo_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", kMemoStyle, 0, 0, 0, 0, hwnd(),
                            reinterpret_cast<HMENU>(INT_PTR{kIdMemo1}), module_, nullptr);
    status_ =
        CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                        hwnd(), reinterpret_cast<HMENU>(INT_PTR{kIdStatus}), module_, nullptr);
    if (!memo_ || !status_) {
        return false;
    }
    logView_ = std::make_unique<LogView>(memo_, handlers_->TextArea());
    SetSituationButtonsEnabled(false);
    ApplyDpi(WindowDpi(hwnd()));
    return true;
}

int MainWindow::StatusBarHeight() const {
    RECT bar = {};
    GetWindowRect(status_, &bar);
    return bar.bottom - bar.top;
}

void MainWindow::OnSize() {
    if (!status_) {
        return;
    }
    SendMessageA(status_, SB_SETMINHEIGHT,
                 static_cast<WPARAM>(ScaleForDpi(kStatusBarHeight, static_cast<int>(dpi_))), 0);
    SendMessageA(status_, WM_SIZE, 0, 0);  // the bar docks itself at the bottom
    LayOutStatusPanels();
    RECT client = {};
    GetClientRect(hwnd(), &client);
    const MainWindowLayout layout =
        LayoutMainWindow(client.right, client.bottom, StatusBarHeight(), static_cast<int>(dpi_));
    toolBar_.Layout(layout, dpi_);
    MoveWindow(memo_, layout.memo.left, layout.memo.top, layout.memo.Width(), layout.memo.Height(),
               TRUE);
    RECT bar = {layout.toolBar.left, layout.toolBar.top, layout.toolBar.right,
                layout.toolBar.bottom};
    InvalidateRect(hwnd(), &bar, TRUE);
}

void MainWindow::OnCommand(int id, int notification) {
    if (id == kIdMemo1) {
        if (notification == EN_CHANGE && logView_) {
            logView_->OnEditChanged();
        }
        return;
    }
    // A shortcut does what a click on its button does, and nothing while the button is
    // disabled.
    if (notification == kShortcutNotification) {
        if (!toolBar_.IsEnabled(id)) {
            return;
        }
    } else if (notification != BN_CLICKED) {
        return;
    }
    TFConnection& handlers = *handlers_;
    switch (id) {
        case kIdLConnetti:
            handlers.RunGuarded([&handlers] { handlers.LConnettiClick(); });
            break;
        case kIdLChiudi:
            handlers.RunGuarded([&handlers] { handlers.LChiudiClick(); });
            break;
        case kIdSaveGenerated:
            handlers.RunGuarded([&handlers] { handlers.SaveGeneratedFile(); });
            break;
        case kIdInfos:
            ShowPilotForm();
            break;
        case kIdSalvaSit:
            handlers.RunGuarded([&handlers] { handlers.SalvaSitClick(); });
            break;
        case kIdCaricaSit:
            handlers.RunGuarded([&handlers] { handlers.CaricaSitClick(); });
            break;
        case kIdProfile:
            ShowProfile();
            break;
        default:
            break;
    }
    // A connection or a loaded situation may start another flight.
    RefreshProfile();
}

void MainWindow::OnTimer(UINT_PTR timerId) {
    // A tick already queued when the timer was switched off is not a tick.
    if (timerId == kTimer1Id && timerEnabled_) {
        handlers_->RunGuarded([this] { handlers_->Timer1Timer(); });
        RefreshProfile();
    } else if (timerId == kLookTimerId && timerEnabled_) {
        handlers_->RunGuarded([this] { handlers_->LookTimer(); });
    } else if (timerId == kAirlineTimerId && airline_) {
        handlers_->RunGuarded([this] { airline_->Poll(); });
        RefreshAirlineTimer();
    }
}

void MainWindow::SetAirline(AirlineConnection* airline) {
    airline_ = airline;
    RefreshAirlineTimer();
}

void MainWindow::RefreshAirlineTimer() {
    const bool wanted = airline_ && airline_->NeedsPolling() && hwnd();
    if (wanted && !airlineTimer_) {
        airlineTimer_ = SetTimer(hwnd(), kAirlineTimerId, kAirlineIntervalMs, nullptr) != 0;
    } else if (!wanted && airlineTimer_) {
        KillTimer(hwnd(), kAirlineTimerId);
        airlineTimer_ = false;
    }
}

void MainWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    toolBar_.PaintBar(dc);
    EndPaint(hwnd(), &paint);
}

void MainWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    HFONT memoFont = CreatePointFont("Courier New", kMemoFontPoints, dpi_, FIXED_PITCH | FF_MODERN);
    HFONT windowFont =
        CreatePointFont("MS Sans Serif", kWindowFontPoints, dpi_, VARIABLE_PITCH | FF_SWISS);
    SendMessageA(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont), TRUE);
    SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), TRUE);
    memoFont_.Reset(memoFont);
    windowFont_.Reset(windowFont);
    OnSize();
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void MainWindow::OnGetMinMaxInfo(MINMAXINFO& info) const {
    const int dpi = static_cast<int>(dpi_);
    RECT minimum = {0, 0, ScaleForDpi(kMinimumClientWidth, dpi),
                    ScaleForDpi(kToolBarHeight + kStatusBarHeight + kMinimumMemoHeight, dpi)};
    AdjustWindowRectForDpi(minimum, kWindowStyle, 0, dpi_);
    info.ptMinTrackSize.x = minimum.right - minimum.left;
    info.ptMinTrackSize.y = minimum.bottom - minimum.top;
}

// Closing while a flight is tracked asks first, once: a second close while the question is
// open (the system's Close on the task bar) is not asked again.
void MainWindow::OnClose() {
    if (askingToClose_) {
        return;
    }
    if (handlers_->FlightTracked()) {
        askingToClose_ = true;
        const bool close = AskYesNo(kCloseInFlightQuestion);
        askingToClose_ = false;
        if (!close) {
            return;
        }
    }
    // Dissolves out of view, then ends the program.
    DissolveWindow(hwnd(), false, kDissolveMs);
    DestroyWindow(hwnd());
}

// Left for a message box or another program and back, the pilot goes on in the control used
// before, the log at first.
void MainWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) {
            lastFocus_ = focus;
        }
        return;
    }
    if (IsIconic(hwnd())) {
        return;
    }
    const bool usable = lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_);
    SetFocus(usable ? lastFocus_ : memo_);
}

bool MainWindow::TakeKey(MSG& message) {
    if (!hwnd()) {
        return false;
    }
    if (shortcuts_ && TranslateAcceleratorA(hwnd(), shortcuts_, &message)) {
        return true;
    }
    const bool ours = message.hwnd == hwnd() || IsChild(hwnd(), message.hwnd);
    if (!ours || message.message != WM_KEYDOWN || message.wParam != VK_TAB ||
        GetKeyState(VK_CONTROL) < 0) {
        return false;
    }
    HWND focus = GetFocus();
    HWND next = GetNextDlgTabItem(hwnd(), focus && IsChild(hwnd(), focus) ? focus : nullptr,
                                  GetKeyState(VK_SHIFT) < 0);
    if (next) {
        SetFocus(next);
    }
    // The keyboard is in use: the buttons show which has the focus from now on.
    SendMessageA(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}

void MainWindow::OnDestroy() {
    SetTimerEnabled(false);
    airline_ = nullptr;
    RefreshAirlineTimer();
    if (place_) {
        place_->Keep(hwnd());
    }
    if (shortcuts_) {
        DestroyAcceleratorTable(shortcuts_);
        shortcuts_ = nullptr;
    }
    logView_.reset();
    PostQuitMessage(0);
}

// Asked for while the program starts, before the window is on screen: the form opens once the
// message loop runs.
void MainWindow::EditLogFolder() {
    PostMessageA(hwnd(), kEditLogFolderMessage, 0, 0);
}

void MainWindow::ShowProfile() {
    if (profileWindow_) {
        profileWindow_->Open(hwnd());
    }
}

void MainWindow::RefreshProfile() {
    if (profileWindow_) {
        profileWindow_->Refresh();
    }
}

void MainWindow::ShowPilotForm() {
    if (pilotForm_) {
        handlers_->RunGuarded([this] { pilotForm_->ShowModal(); });
        RefreshAirlineTimer();
    }
}

}  // namespace aerolinker
