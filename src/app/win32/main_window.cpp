// The main window: creation of its controls, the roles the handlers use, and the dispatch of
// window messages to the handlers.
#include "app/win32/main_window.h"

#include <commctrl.h>

#include "app/win32/newer_api.h"
#include "app/win32/pilot_form.h"
#include "app/win32/res/resource_ids.h"
#include "app/win32/window_ids.h"
#include "app/win32/window_text.h"

namespace aerolinker {
namespace {

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kMemoStyle =
    WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | ES_NOHIDESEL;
constexpr int kMemoFontPoints = 8;
constexpr int kWindowFontPoints = 8;
// Below this the tool bar would cut off its last button.
constexpr int kMinimumClientWidth = 500;
constexpr int kMinimumMemoHeight = 48;

}  // namespace

MainWindow::MainWindow(HINSTANCE module) : module_(module), wave_(module) {}

MainWindow::~MainWindow() {
    Destroy();
    if (memoFont_) {
        DeleteObject(memoFont_);
    }
    if (windowFont_) {
        DeleteObject(windowFont_);
    }
}

bool MainWindow::Create(TFConnection& form) {
    form_ = &form;
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::WindowProc;
    windowClass.hInstance = module_;
    windowClass.hIcon = LoadIconA(module_, MAKEINTRESOURCEA(IDI_AEROLINKER));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(module_, MAKEINTRESOURCEA(IDI_AEROLINKER),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    // A second window of the class (the tests make several) finds it registered already.
    if (!RegisterClassExA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    const int dpi = static_cast<int>(SystemDpi());
    CreateWindowExA(0, kMainWindowClass, kDesignCaption, kWindowStyle, kMainWindowLeft,
                    kMainWindowTop, ScaleForDpi(kMainWindowWidth, dpi),
                    ScaleForDpi(kMainWindowHeight, dpi), nullptr, nullptr, module_, this);
    if (!hwnd_) {
        return false;
    }
    // The window may have opened on a screen of another DPI than the primary one.
    const UINT windowDpi = WindowDpi(hwnd_);
    const int windowScale = static_cast<int>(windowDpi);  // a DPI is a few hundred at most
    if (windowScale != dpi) {
        SetWindowPos(hwnd_, nullptr, 0, 0, ScaleForDpi(kMainWindowWidth, windowScale),
                     ScaleForDpi(kMainWindowHeight, windowScale),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyDpi(windowDpi);
    }
    return true;
}

void MainWindow::Destroy() {
    if (hwnd_) {
        DestroyWindow(hwnd_);
    }
}

void MainWindow::Show(int showCommand) {
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
}

// Roles --------------------------------------------------------------------------------------

void MainWindow::SetCaption(const std::string& caption) {
    SetWindowTextA(hwnd_, caption.c_str());
}

void MainWindow::SetStatusText(const std::string& text) {
    SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND MainWindow::MessageOwner() const {
    // Over the pilot form when it is open (a tick or its "Save" may report), so that the box
    // comes out on top and the form waits for it too.
    HWND active = GetActiveWindow();
    return active ? active : hwnd_;
}

void MainWindow::ShowMessageBox(const std::string& text) {
    MessageBoxA(MessageOwner(), text.c_str(), kApplicationTitle, MB_OK | MB_ICONWARNING);
}

void MainWindow::ShowStandardMessage(const std::string& text) {
    MessageBoxA(MessageOwner(), text.c_str(), kApplicationTitle, MB_OK);
}

void MainWindow::SetTimerEnabled(bool enabled) {
    // Switching on a running timer leaves its count alone, as switching off a stopped one does.
    if (enabled && !timerEnabled_) {
        timerEnabled_ = SetTimer(hwnd_, kTimer1Id, kTimer1IntervalMs, nullptr) != 0;
    } else if (!enabled && timerEnabled_) {
        KillTimer(hwnd_, kTimer1Id);
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

// Message handlers ---------------------------------------------------------------------------

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            return self->OnCreate() ? 0 : -1;
        case WM_SIZE:
            self->OnSize();
            return 0;
        case WM_COMMAND:
            self->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DRAWITEM:
            if (self->toolBar_.DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
                return TRUE;
            }
            break;
        case WM_TIMER:
            self->OnTimer(wParam);
            return 0;
        case WM_PAINT:
            self->OnPaint();
            return 0;
        case WM_DPICHANGED:
            self->OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_GETMINMAXINFO:
            self->OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_THEMECHANGED:
            self->toolBar_.OnThemeChanged();
            break;
        case WM_DESTROY:
            self->OnDestroy();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            break;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool MainWindow::OnCreate() {
    dpi_ = WindowDpi(hwnd_);
    memoFont_ = CreatePointFont("Courier New", kMemoFontPoints, dpi_, FIXED_PITCH | FF_MODERN);
    windowFont_ =
        CreatePointFont("MS Sans Serif", kWindowFontPoints, dpi_, VARIABLE_PITCH | FF_SWISS);
    if (!toolBar_.Create(hwnd_, module_)) {
        return false;
    }
    memo_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", kMemoStyle, 0, 0, 0, 0, hwnd_,
                            reinterpret_cast<HMENU>(INT_PTR{kIdMemo1}), module_, nullptr);
    status_ =
        CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                        hwnd_, reinterpret_cast<HMENU>(INT_PTR{kIdStatus}), module_, nullptr);
    if (!memo_ || !status_) {
        return false;
    }
    SendMessageA(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont_), FALSE);
    SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_), FALSE);
    // One panel across the whole bar: the link's longest texts show in full.
    int panelRight = -1;
    SendMessageA(status_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&panelRight));
    logView_ = std::make_unique<LogView>(memo_, form_->Memo1());
    SetSituationButtonsEnabled(false);
    OnSize();
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
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const MainWindowLayout layout =
        LayoutMainWindow(client.right, client.bottom, StatusBarHeight(), static_cast<int>(dpi_));
    toolBar_.Layout(layout, dpi_);
    MoveWindow(memo_, layout.memo.left, layout.memo.top, layout.memo.Width(), layout.memo.Height(),
               TRUE);
    RECT bar = {layout.toolBar.left, layout.toolBar.top, layout.toolBar.right,
                layout.toolBar.bottom};
    InvalidateRect(hwnd_, &bar, TRUE);
}

void MainWindow::OnCommand(int id, int notification) {
    if (id == kIdMemo1) {
        if (notification == EN_CHANGE && logView_) {
            logView_->OnEditChanged();
        }
        return;
    }
    if (notification != BN_CLICKED) {
        return;
    }
    TFConnection& form = *form_;
    switch (id) {
        case kIdLConnetti:
            form.RunGuarded([&form] { form.LConnettiClick(); });
            break;
        case kIdLChiudi:
            form.RunGuarded([&form] { form.LChiudiClick(); });
            break;
        case kIdSaveGenerated:
            form.RunGuarded([&form] { form.SaveGeneratedFile(); });
            break;
        case kIdInfos:
            ShowPilotForm();
            break;
        case kIdSalvaSit:
            form.RunGuarded([&form] { form.SalvaSitClick(); });
            break;
        case kIdCaricaSit:
            form.RunGuarded([&form] { form.CaricaSitClick(); });
            break;
        default:
            break;
    }
}

void MainWindow::OnTimer(UINT_PTR timerId) {
    // A tick already queued when the timer was switched off is not a tick.
    if (timerId == kTimer1Id && timerEnabled_) {
        form_->RunGuarded([this] { form_->Timer1Timer(); });
    }
}

void MainWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    toolBar_.PaintBar(dc);
    EndPaint(hwnd_, &paint);
}

void MainWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    HFONT memoFont = CreatePointFont("Courier New", kMemoFontPoints, dpi_, FIXED_PITCH | FF_MODERN);
    HFONT windowFont =
        CreatePointFont("MS Sans Serif", kWindowFontPoints, dpi_, VARIABLE_PITCH | FF_SWISS);
    SendMessageA(memo_, WM_SETFONT, reinterpret_cast<WPARAM>(memoFont), TRUE);
    SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont), TRUE);
    if (memoFont_) {
        DeleteObject(memoFont_);
    }
    if (windowFont_) {
        DeleteObject(windowFont_);
    }
    memoFont_ = memoFont;
    windowFont_ = windowFont;
    OnSize();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void MainWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyDpi(dpi);
}

void MainWindow::OnGetMinMaxInfo(MINMAXINFO& info) const {
    const int dpi = static_cast<int>(dpi_);
    RECT minimum = {0, 0, ScaleForDpi(kMinimumClientWidth, dpi),
                    ScaleForDpi(kToolBarHeight + kStatusBarHeight + kMinimumMemoHeight, dpi)};
    AdjustWindowRectForDpi(minimum, kWindowStyle, 0, dpi_);
    info.ptMinTrackSize.x = minimum.right - minimum.left;
    info.ptMinTrackSize.y = minimum.bottom - minimum.top;
}

void MainWindow::OnDestroy() {
    SetTimerEnabled(false);
    logView_.reset();
    PostQuitMessage(0);
}

void MainWindow::ShowPilotForm() {
    if (pilotForm_) {
        form_->RunGuarded([this] { pilotForm_->ShowModal(); });
    }
}

}  // namespace aerolinker
