// fsim.exe's window: serves each "FsasmLib:IPC" message from another process, lists the
// transcript and shows where the scenario stands. The window procedure only dispatches.
#include "sim/win32/fsim_window.h"

#include <commctrl.h>

#include <cstdio>
#include <limits>
#include <string>
#include <utility>

#include "common/app_error.h"
#include "link/fsuipc_link.h"
#include "sim/sim_server.h"
#include "sim/win32/shared_area.h"
#include "sim/win32/transcript_file.h"

namespace aerolinker {

namespace {

// Layout in pixels at 96 DPI, scaled by the window's DPI.
constexpr int kBaseDpi = 96;
constexpr int kWindowWidth = 760;
constexpr int kWindowHeight = 440;
constexpr int kMargin = 8;
constexpr int kStatusHeight = 22;
constexpr int kFontPoints = 9;
constexpr int kPointsPerInch = 72;
// The position is shown a few times a second, not at every request: repainting the window
// while the program waits for its answer would cost each batch more than serving it.
constexpr UINT_PTR kPositionTimer = 1;
constexpr UINT kPositionRefreshMs = 250;

// GetDpiForWindow came with Windows 10 1607; older systems (and older Wine) give the
// device's DPI instead.
struct DpiCalls {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    GetDpiForWindowCall getDpiForWindow = nullptr;
};

const DpiCalls& Dpi() {
    static const DpiCalls calls = [] {
        DpiCalls loaded;
        if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
            loaded.getDpiForWindow = reinterpret_cast<DpiCalls::GetDpiForWindowCall>(
                reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
        }
        return loaded;
    }();
    return calls;
}

UINT WindowDpi(HWND window) {
    if (Dpi().getDpiForWindow != nullptr) {
        const UINT dpi = Dpi().getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

int Scale(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), kBaseDpi);
}

struct FsimWindow {
    FsimWindow(std::shared_ptr<const Scenario> scenario, const FsimOptions& options)
        : server(std::move(scenario), SimServer::Options{options.flightsFolder}) {}

    SimServer server;
    Win32AreaMapper mapper;
    ClientAreaCache clientAreas{mapper};
    TranscriptFile transcriptFile;
    UINT ipcMessage = 0;
    HWND window = nullptr;
    HWND status = nullptr;
    HWND list = nullptr;
    HFONT font = nullptr;
    UINT dpi = kBaseDpi;
    int widestLine = 0;  // pixels, for the list's horizontal scroll range
    std::uint64_t shownPosition = std::numeric_limits<std::uint64_t>::max();
};

FsimWindow* StateOf(HWND window) {
    return reinterpret_cast<FsimWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void ShowPosition(FsimWindow& w) {
    const ScenarioPlayer& player = w.server.player();
    if (player.position() == w.shownPosition) {
        return;
    }
    w.shownPosition = player.position();
    char text[512];
    const std::uint32_t clock = player.clockSeconds();
    std::snprintf(
        text, sizeof text, "%s    Tick %llu of %llu    Clock %02u:%02u:%02u%s",
        w.server.scenario().name.c_str(), static_cast<unsigned long long>(player.position()),
        static_cast<unsigned long long>(player.totalTicks()), clock / 3600, clock / 60 % 60,
        clock % 60, player.holding() ? "    (holding the last frame)" : "");
    SetWindowTextA(w.status, text);
}

void AddTranscriptLine(FsimWindow& w, const TranscriptEntry& entry) {
    const std::string line = entry.Line();
    w.transcriptFile.Append(line);
    const LRESULT index =
        SendMessageA(w.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (index >= 0) {
        SendMessageA(w.list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    }
    HDC dc = GetDC(w.list);
    HGDIOBJ previous = SelectObject(dc, w.font);
    SIZE extent = {};
    GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(w.list, dc);
    if (extent.cx > w.widestLine) {
        w.widestLine = extent.cx;
        SendMessageA(w.list, LB_SETHORIZONTALEXTENT,
                     static_cast<WPARAM>(w.widestLine + Scale(kMargin, w.dpi)), 0);
    }
}

void ApplyFont(FsimWindow& w) {
    HFONT font =
        CreateFontA(-MulDiv(kFontPoints, static_cast<int>(w.dpi), kPointsPerInch), 0, 0, 0,
                    FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier New");
    SendMessageA(w.status, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageA(w.list, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (w.font != nullptr) {
        DeleteObject(w.font);
    }
    w.font = font;
}

void OnSize(FsimWindow& w) {
    RECT client;
    GetClientRect(w.window, &client);
    const int margin = Scale(kMargin, w.dpi);
    const int statusHeight = Scale(kStatusHeight, w.dpi);
    const int width = client.right - 2 * margin;
    MoveWindow(w.status, margin, margin, width, statusHeight, TRUE);
    const int listTop = 2 * margin + statusHeight;
    MoveWindow(w.list, margin, listTop, width, client.bottom - listTop - margin, TRUE);
}

LRESULT OnCreate(FsimWindow& w, HWND window) {
    w.window = window;
    w.dpi = WindowDpi(window);
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    w.status = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP, 0, 0, 0,
                               0, window, nullptr, instance, nullptr);
    w.list = CreateWindowExA(
        WS_EX_CLIENTEDGE, "LISTBOX", "",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 0, 0, 0,
        0, window, nullptr, instance, nullptr);
    if (w.status == nullptr || w.list == nullptr) {
        return -1;
    }
    ApplyFont(w);
    w.server.transcript().SetListener(
        [&w](const TranscriptEntry& entry) { AddTranscriptLine(w, entry); });
    SetWindowPos(window, nullptr, 0, 0, Scale(kWindowWidth, w.dpi), Scale(kWindowHeight, w.dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowPosition(w);
    SetTimer(window, kPositionTimer, kPositionRefreshMs, nullptr);
    return 0;
}

LRESULT OnDpiChanged(FsimWindow& w, WPARAM wParam, LPARAM lParam) {
    const UINT previousDpi = w.dpi;
    w.dpi = HIWORD(wParam);
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    ApplyFont(w);
    w.widestLine = MulDiv(w.widestLine, static_cast<int>(w.dpi), static_cast<int>(previousDpi));
    SendMessageA(w.list, LB_SETHORIZONTALEXTENT,
                 static_cast<WPARAM>(w.widestLine + Scale(kMargin, w.dpi)), 0);
    SetWindowPos(w.window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT OnIpcRequest(FsimWindow& w, WPARAM atom) {
    return static_cast<LRESULT>(w.clientAreas.Serve(w.server, atom));
}

void OnDestroy(FsimWindow& w) {
    KillTimer(w.window, kPositionTimer);
    w.server.transcript().SetListener(nullptr);
    if (w.font != nullptr) {
        DeleteObject(w.font);
        w.font = nullptr;
    }
    PostQuitMessage(0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    FsimWindow* state = StateOf(window);
    if (state == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // The registered message has no fixed number, so it cannot be a case label.
    if (state->ipcMessage != 0 && message == state->ipcMessage) {
        return OnIpcRequest(*state, wParam);
    }
    switch (message) {
        case WM_CREATE:
            return OnCreate(*state, window);
        case WM_SIZE:
            OnSize(*state);
            return 0;
        case WM_TIMER:
            ShowPosition(*state);
            return 0;
        case WM_DPICHANGED:
            return OnDpiChanged(*state, wParam, lParam);
        case WM_DESTROY:
            OnDestroy(*state);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

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
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // Two servers of one class would leave the program talking to whichever Windows finds
    // first: FSUIPC (or WideClient, or another fsim) is already there.
    if (FindWindowExA(nullptr, nullptr, options.windowClass.c_str(), nullptr) != nullptr) {
        ReportFsimProblem("a window of class " + options.windowClass +
                          " is already open: FSUIPC, WideClient or another fsim is running");
        return 2;
    }

    const std::string title = "Substitute simulator - " +
                              (scenario->name.empty() ? options.scenarioPath : scenario->name);
    FsimWindow state(std::move(scenario), options);
    std::string error;
    if (!options.transcriptPath.empty() &&
        !state.transcriptFile.Open(options.transcriptPath, error)) {
        ReportFsimProblem(error);
        return 2;
    }
    state.ipcMessage = RegisterWindowMessageA(protocol::kMessageName);

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = options.windowClass.c_str();
    if (RegisterClassExA(&windowClass) == 0 ||
        CreateWindowExA(0, options.windowClass.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW,
                        CW_USEDEFAULT, CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr,
                        instance, &state) == nullptr) {
        ReportFsimProblem("cannot create the simulator's window: " +
                          SystemErrorText(static_cast<int>(GetLastError())));
        return 2;
    }
    ShowWindow(state.window, show);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace aerolinker
