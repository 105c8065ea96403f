// The scenario chooser: its controls, laid out at the window's DPI, and the modal run until
// Start or Cancel.
#include "sim/win32/fsim_chooser.h"

#include <cstddef>

#include "common/app_error.h"
#include "sim/win32/fsim_window.h"
#include "ui/win32/dpi.h"
#include "ui/win32/newer_api.h"
#include "ui/win32/window_base.h"

namespace aerolinker {
namespace {

constexpr char kCaption[] = "Substitute simulator";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kFontPoints = 8;
constexpr wchar_t kSpeedNote[] =
    L"1\u00D7 is the real pace, a step every 5 seconds; 16\u00D7 flies an hour in under four "
    L"minutes.";

// Layout in pixels at 96 DPI, scaled by the window's DPI, from the top down.
constexpr int kClientWidth = 320;
constexpr int kMargin = 10;
constexpr int kGap = 8;
constexpr int kLabelHeight = 16;
constexpr int kListHeight = 110;
constexpr int kSpeedLabelWidth = 44;
constexpr int kSpeedWidth = 52;
constexpr int kRowHeight = 20;
constexpr int kNoteHeight = 28;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

class ChooserWindow : public WindowBase {
public:
    ChooserWindow(HINSTANCE instance, const std::vector<std::string>& files,
                  std::uint32_t firstSpeed)
        : instance_(instance), files_(files), speed_(firstSpeed) {}
    ~ChooserWindow() override {
        if (hwnd()) {
            DestroyWindow(hwnd());
        }
    }

    bool Create() {
        const RECT place = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + kClientWidth,
                            CW_USEDEFAULT + kClientWidth};
        return RegisterWindowClass(instance_, kFsimChooserClass,
                                   LoadIcon(nullptr, IDI_APPLICATION)) &&
               CreateFor(0, kFsimChooserClass, kCaption, kStyle, place, nullptr, instance_);
    }

    // Shows the window and takes the thread's messages until Start or Cancel: true for Start.
    bool RunModal(int show);

    std::size_t chosenFile() const { return chosenFile_; }
    std::uint32_t speed() const { return speed_; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate() override;
    void OnDpiChanged(UINT dpi) override;
    void OnCommand(int id, int notification);
    void OnActivate(bool active);
    void Start();
    void Finish(bool started);
    void Layout();
    HWND Control(const char* className, DWORD style, int id, DWORD exStyle = 0);

    HINSTANCE instance_;
    const std::vector<std::string>& files_;
    std::uint32_t speed_;
    std::size_t chosenFile_ = 0;
    HWND list_ = nullptr;
    HWND listLabel_ = nullptr;
    HWND speedLabel_ = nullptr;
    HWND speeds_[kFsimSpeeds.size()] = {};
    HWND note_ = nullptr;
    HWND start_ = nullptr;
    HWND cancel_ = nullptr;
    HWND lastFocus_ = nullptr;
    OwnedFont font_;
    UINT dpi_ = kDesignDpi;
    bool running_ = false;
    bool started_ = false;
};

HWND ChooserWindow::Control(const char* className, DWORD style, int id, DWORD exStyle) {
    return CreateWindowExA(exStyle, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                           hwnd(), reinterpret_cast<HMENU>(INT_PTR{id}), instance_, nullptr);
}

bool ChooserWindow::OnCreate() {
    dpi_ = WindowDpi(hwnd());
    // Created in the keyboard order: Tab goes from the list to the speeds to Start and Cancel,
    // and the arrow keys move among the speeds (one group, from WS_GROUP to the next).
    listLabel_ = Control("STATIC", SS_LEFT | SS_NOPREFIX, -1);
    list_ =
        Control("LISTBOX", WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                kIdChooserList, WS_EX_CLIENTEDGE);
    speedLabel_ = Control("STATIC", WS_GROUP | SS_LEFT | SS_NOPREFIX, -1);
    for (std::size_t i = 0; i < kFsimSpeeds.size(); ++i) {
        speeds_[i] = Control("BUTTON", BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
                             kIdChooserFirstSpeed + static_cast<int>(i));
    }
    note_ = Control("STATIC", WS_GROUP | SS_LEFT | SS_NOPREFIX, -1);
    start_ = Control("BUTTON", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, IDOK);
    cancel_ = Control("BUTTON", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL);
    if (!list_ || !start_ || !cancel_) {
        return false;
    }
    SetWindowTextA(listLabel_, "Flight to play:");
    SetWindowTextA(speedLabel_, "Speed:");
    SetWindowTextW(note_, kSpeedNote);
    SetWindowTextA(start_, "Start");
    SetWindowTextA(cancel_, "Cancel");
    for (std::size_t i = 0; i < kFsimSpeeds.size(); ++i) {
        SetWindowTextW(speeds_[i], SpeedLabel(kFsimSpeeds[i]).c_str());
        if (kFsimSpeeds[i] == speed_) {
            SendMessageA(speeds_[i], BM_SETCHECK, BST_CHECKED, 0);
        }
    }
    for (const std::string& file : files_) {
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(file.c_str()));
    }
    SendMessageA(list_, LB_SETCURSEL, 0, 0);
    Layout();
    return true;
}

// Places the controls at the window's DPI and sizes the window around them.
void ChooserWindow::Layout() {
    HFONT font = CreatePointFont("MS Sans Serif", kFontPoints, dpi_, VARIABLE_PITCH | FF_SWISS);
    for (HWND child = GetWindow(hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    font_.Reset(font);

    auto scaled = [this](int pixels) { return ScaleForDpi(pixels, dpi_); };
    auto place = [&](HWND control, int left, int top, int width, int height) {
        MoveWindow(control, scaled(left), scaled(top), scaled(width), scaled(height), TRUE);
    };
    const int inner = kClientWidth - 2 * kMargin;
    int top = kMargin;
    place(listLabel_, kMargin, top, inner, kLabelHeight);
    top += kLabelHeight;
    place(list_, kMargin, top, inner, kListHeight);
    top += kListHeight + kGap;
    place(speedLabel_, kMargin, top + (kRowHeight - kLabelHeight) / 2, kSpeedLabelWidth,
          kLabelHeight);
    for (std::size_t i = 0; i < kFsimSpeeds.size(); ++i) {
        place(speeds_[i], kMargin + kSpeedLabelWidth + static_cast<int>(i) * kSpeedWidth, top,
              kSpeedWidth, kRowHeight);
    }
    top += kRowHeight;
    place(note_, kMargin, top, inner, kNoteHeight);
    top += kNoteHeight + kGap;
    place(start_, kClientWidth - kMargin - 2 * kButtonWidth - kGap, top, kButtonWidth,
          kButtonHeight);
    place(cancel_, kClientWidth - kMargin - kButtonWidth, top, kButtonWidth, kButtonHeight);
    top += kButtonHeight + kMargin;

    RECT frame = {0, 0, scaled(kClientWidth), scaled(top)};
    AdjustWindowRectForDpi(frame, kStyle, 0, dpi_);
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ChooserWindow::OnDpiChanged(UINT dpi) {
    dpi_ = dpi;
    Layout();
}

LRESULT ChooserWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CLOSE:  // the close box cancels; the window goes with the object
            Finish(false);
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam) != WA_INACTIVE);
            return 0;
        case DM_GETDEFID:  // Enter presses Start
            return MAKELRESULT(IDOK, DC_HASDEFID);
        default:
            return DefaultMessage(message, wParam, lParam);
    }
}

// The window is no dialog, so the control that had the keyboard gets it back by hand when the
// pilot comes back to the window.
void ChooserWindow::OnActivate(bool active) {
    if (!active) {
        const HWND focus = GetFocus();
        lastFocus_ = focus && IsChild(hwnd(), focus) ? focus : nullptr;
        return;
    }
    SetFocus(lastFocus_ ? lastFocus_ : list_);
}

void ChooserWindow::OnCommand(int id, int notification) {
    if (id == kIdChooserList) {
        if (notification == LBN_DBLCLK) {
            Start();
        }
        return;
    }
    if (id == IDOK) {
        Start();
    } else if (id == IDCANCEL) {
        Finish(false);
    }
}

void ChooserWindow::Start() {
    const LRESULT chosen = SendMessageA(list_, LB_GETCURSEL, 0, 0);
    if (chosen == LB_ERR) {
        return;
    }
    chosenFile_ = static_cast<std::size_t>(chosen);
    for (std::size_t i = 0; i < kFsimSpeeds.size(); ++i) {
        if (SendMessageA(speeds_[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
            speed_ = kFsimSpeeds[i];
        }
    }
    Finish(true);
}

void ChooserWindow::Finish(bool started) {
    started_ = started;
    running_ = false;
}

bool ChooserWindow::RunModal(int show) {
    // In the middle of the work area of the main screen.
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT frame;
    GetWindowRect(hwnd(), &frame);
    SetWindowPos(hwnd(), nullptr, (work.left + work.right - (frame.right - frame.left)) / 2,
                 (work.top + work.bottom - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd(), show);
    SetForegroundWindow(hwnd());
    SetFocus(list_);

    running_ = true;
    MSG message;
    while (running_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            break;
        }
        // Tab, the arrow keys among the speeds, Enter and Escape, as in a dialog.
        if (!IsDialogMessageA(hwnd(), &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return started_;
}

}  // namespace

ChooserResult ChooseScenario(HINSTANCE instance, const std::string& folder,
                             const std::vector<std::string>& scenarioFiles, FsimOptions& options,
                             int show) {
    ChooserWindow chooser(instance, scenarioFiles, options.speed);
    if (!chooser.Create()) {
        ReportFsimProblem("cannot create the scenario chooser: " +
                          SystemErrorText(static_cast<int>(GetLastError())));
        return ChooserResult::Failed;
    }
    if (!chooser.RunModal(show)) {
        return ChooserResult::Cancelled;
    }
    options.scenarioPath = folder + "\\" + scenarioFiles[chooser.chosenFile()];
    options.speed = chooser.speed();
    return ChooserResult::Started;
}

}  // namespace aerolinker
