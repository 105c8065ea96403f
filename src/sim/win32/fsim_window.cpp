// fsim.exe's window: serves each "FsasmLib:IPC" message from another process, lists the
// transcript and shows where the scenario stands. The window procedure only dispatches.
#include "sim/win32/fsim_window.h"

#include <cstdio>
#include <limits>
#include <string>
#include <utility>

#include "common/app_error.h"
#include "common/units.h"
#include "link/fsuipc_link.h"
#include "sim/sim_server.h"
#include "sim/win32/shared_area.h"
#include "sim/win32/transcript_file.h"
#include "ui/win32/dpi.h"
#include "ui/win32/newer_api.h"
#include "ui/win32/window_base.h"

namespace aerolinker {

namespace {

// Layout in pixels at 96 DPI, scaled by the window's DPI.
constexpr SIZE kWindowSize = {760, 440};
constexpr int kMargin = 8;
constexpr int kStatusHeight = 22;
// The smallest client area: the status line's start and a few lines of the transcript.
constexpr SIZE kMinimumClient = {360, 120};
constexpr int kFontPoints = 9;
// The position is shown a few times a second, not at every request: repainting the window
// while the program waits for its answer would cost each batch more than serving it.
constexpr UINT_PTR kPositionTimer = 1;
constexpr UINT kPositionRefreshMs = 250;
// How much longer than the program waits for an answer a hanging window takes to return.
constexpr DWORD kHangOverrunMs = 100;

class FsimWindow : public WindowBase {
public:
    FsimWindow(std::shared_ptr<const Scenario> scenario, const FsimOptions& options)
        : server_(std::move(scenario), SimServer::Options{options.flightsFolder, options.speed}),
          speed_(SpeedLabel(options.speed)),
          ipcMessage_(RegisterWindowMessageA(protocol::kMessageName)) {}
    ~FsimWindow() override {
        if (hwnd()) {
            DestroyWindow(hwnd());
        }
    }

    TranscriptFile& transcriptFile() { return transcriptFile_; }
    bool Create(HINSTANCE instance, const std::string& windowClass, const std::string& title) {
        const RECT place = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + kWindowSize.cx,
                            CW_USEDEFAULT + kWindowSize.cy};
        return RegisterWindowClass(instance, windowClass.c_str(),
                                   LoadIcon(nullptr, IDI_APPLICATION)) &&
               CreateFor(0, windowClass.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW, place, nullptr,
                         instance);
    }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate() override;
    void OnSize() override;
    void OnDpiChanged(UINT dpi) override;
    void OnDestroy() override;
    void ShowPosition();
    void AddTranscriptLine(const TranscriptEntry& entry);
    void ApplyFont();
    void SetHorizontalExtent();

    SimServer server_;
    std::wstring speed_;
    Win32AreaMapper mapper_;
    ClientAreaCache clientAreas_{mapper_};
    TranscriptFile transcriptFile_;
    UINT ipcMessage_ = 0;
    HWND status_ = nullptr;
    HWND list_ = nullptr;
    OwnedFont font_;
    UINT dpi_ = kDesignDpi;
    int widestLine_ = 0;  // pixels, for the list's horizontal scroll range
    std::uint64_t shownPosition_ = std::numeric_limits<std::uint64_t>::max();
};

LRESULT FsimWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // The registered message has no fixed number, so it cannot be a case label.
    if (ipcMessage_ != 0 && message == ipcMessage_) {
        const std::uintptr_t answer = clientAreas_.Serve(server_, wParam);
        if (answer == SimServer::kNoAnswer) {
            // Hanging, as a busy simulator does: the program's wait runs out before the
            // window returns.
            Sleep(protocol::kSendTimeoutMs + kHangOverrunMs);
            return static_cast<LRESULT>(SimServer::kRefused);
        }
        return static_cast<LRESULT>(answer);
    }
    switch (message) {
        case WM_TIMER:
            ShowPosition();
            return 0;
        case WM_GETMINMAXINFO: {
            RECT minimum = {0, 0, ScaleForDpi(kMinimumClient.cx, dpi_),
                            ScaleForDpi(kMinimumClient.cy, dpi_)};
            AdjustWindowRectForDpi(minimum, WS_OVERLAPPEDWINDOW, 0, dpi_);
            auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
            info.ptMinTrackSize = POINT{minimum.right - minimum.left, minimum.bottom - minimum.top};
            return 0;
        }
        default:
            return DefaultMessage(message, wParam, lParam);
    }
}

void FsimWindow::ShowPosition() {
    const ScenarioPlayer& player = server_.player();
    if (player.position() == shownPosition_) {
        return;
    }
    shownPosition_ = player.position();
    char text[512];
    const std::uint32_t clock = player.clockSeconds();
    std::snprintf(
        text, sizeof text, "%s    Tick %llu of %llu    Clock %02u:%02u:%02u%s",
        server_.scenario().name.c_str(), static_cast<unsigned long long>(player.position()),
        static_cast<unsigned long long>(player.totalTicks()), clock / units::kSecondsPerHour,
        clock / units::kSecondsPerMinute % units::kMinutesPerHour, clock % units::kSecondsPerMinute,
        player.holding() ? "    (holding the last frame)" : "");
    // The text in the program's code page, as SetWindowTextA would take it, and the speed's
    // sign, which that code page may lack.
    wchar_t wide[sizeof text];
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, sizeof text);
    const std::wstring shown =
        (length > 0 ? std::wstring(wide) : std::wstring()) + L"    Speed " + speed_;
    SetWindowTextW(status_, shown.c_str());
}

void FsimWindow::AddTranscriptLine(const TranscriptEntry& entry) {
    const std::string line = entry.Line();
    transcriptFile_.Append(line);
    const LRESULT index =
        SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (index >= 0) {
        SendMessageA(list_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    }
    HDC dc = GetDC(list_);
    HGDIOBJ previous = SelectObject(dc, font_.get());
    SIZE extent = {};
    GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(list_, dc);
    if (extent.cx > widestLine_) {
        widestLine_ = extent.cx;
        SetHorizontalExtent();
    }
}

void FsimWindow::SetHorizontalExtent() {
    SendMessageA(list_, LB_SETHORIZONTALEXTENT,
                 static_cast<WPARAM>(widestLine_ + ScaleForDpi(kMargin, dpi_)), 0);
}

void FsimWindow::ApplyFont() {
    HFONT font = CreatePointFont("Courier New", kFontPoints, dpi_, FIXED_PITCH | FF_MODERN);
    SendMessageA(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    font_.Reset(font);
}

void FsimWindow::OnSize() {
    RECT client;
    GetClientRect(hwnd(), &client);
    const int margin = ScaleForDpi(kMargin, dpi_);
    const int statusHeight = ScaleForDpi(kStatusHeight, dpi_);
    const int width = client.right - 2 * margin;
    MoveWindow(status_, margin, margin, width, statusHeight, TRUE);
    const int listTop = 2 * margin + statusHeight;
    MoveWindow(list_, margin, listTop, width, client.bottom - listTop - margin, TRUE);
}

bool FsimWindow::OnCreate() {
    dpi_ = WindowDpi(hwnd());
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd(), GWLP_HINSTANCE));
    status_ = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 0, 0, 0,
                              0, hwnd(), nullptr, instance, nullptr);
    list_ = CreateWindowExA(
        WS_EX_CLIENTEDGE, "LISTBOX", "",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 0, 0, 0,
        0, hwnd(), nullptr, instance, nullptr);
    if (status_ == nullptr || list_ == nullptr) {
        return false;
    }
    ApplyFont();
    server_.transcript().SetListener(
        [this](const TranscriptEntry& entry) { AddTranscriptLine(entry); });
    SetWindowPos(hwnd(), nullptr, 0, 0, ScaleForDpi(kWindowSize.cx, dpi_),
                 ScaleForDpi(kWindowSize.cy, dpi_), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowPosition();
    SetTimer(hwnd(), kPositionTimer, kPositionRefreshMs, nullptr);
    return true;
}

void FsimWindow::OnDpiChanged(UINT dpi) {
    const UINT previousDpi = dpi_;
    dpi_ = dpi;
    ApplyFont();
    widestLine_ = MulDiv(widestLine_, static_cast<int>(dpi_), static_cast<int>(previousDpi));
    SetHorizontalExtent();
}

void FsimWindow::OnDestroy() {
    KillTimer(hwnd(), kPositionTimer);
    server_.transcript().SetListener(nullptr);
    PostQuitMessage(0);
}

}  // namespace

std::wstring SpeedLabel(std::uint32_t speed) {
    return std::to_wstring(speed) + L"\u00D7";
}

void ReportFsimProblem(const std::string& text) {
    HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    if (errors != nullptr && errors != INVALID_HANDLE_VALUE) {
        const std::string line = "fsim: " + text + "\r\n";
        DWORD written = 0;
        if (WriteFile(errors, line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
            return;
        }
    }
    MessageBoxA(nullptr, text.c_str(), "Substitute simulator", MB_OK | MB_ICONERROR);
}

int RunFsimWindow(HINSTANCE instance, const FsimOptions& options,
                  std::shared_ptr<const Scenario> scenario, int show) {
    const std::string title = "Substitute simulator - " +
                              (scenario->name.empty() ? options.scenarioPath : scenario->name);
    FsimWindow window(std::move(scenario), options);
    std::string error;
    if (!options.transcriptPath.empty() &&
        !window.transcriptFile().Open(options.transcriptPath, error)) {
        ReportFsimProblem(error);
        return 2;
    }
    if (!window.Create(instance, options.windowClass, title)) {
        ReportFsimProblem("cannot create the simulator's window: " +
                          SystemErrorText(static_cast<int>(GetLastError())));
        return 2;
    }
    ShowWindow(window.hwnd(), show);
    return RunMessageLoop();
}

}  // namespace aerolinker
