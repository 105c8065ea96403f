// The "Flight profile" window: opening and its place, the redraw after a tick, painting
// through a picture in memory, and DPI.
#include "app/win32/profile_window.h"

#include <optional>

#include "app/win32/res/resource_ids.h"
#include "app/win32/window_ids.h"
#include "app/win32/window_layout.h"
#include "ui/win32/newer_api.h"

namespace aerolinker {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kOpeningWidth = 640;
constexpr int kOpeningHeight = 560;
// Below this the figures of the two plots would run into each other.
constexpr int kMinimumClientWidth = 360;
constexpr int kMinimumClientHeight = 400;
constexpr int kGapToOwner = 8;
constexpr int kTextFontPoints = 8;
constexpr const char* kFontFace = "Tahoma";
constexpr LONG kQuarterTurnLeft = 900;  // tenths of a degree

// The smallest frame of the window at `dpi`.
FrameSize MinimumFrame(UINT dpi) {
    RECT minimum = {0, 0, ScaleForDpi(kMinimumClientWidth, dpi),
                    ScaleForDpi(kMinimumClientHeight, dpi)};
    AdjustWindowRectForDpi(minimum, kWindowStyle, 0, dpi);
    return FrameSize{minimum.right - minimum.left, minimum.bottom - minimum.top};
}

// The work area of the screen `owner` stands on (the primary one without an owner).
PixelRect WorkAreaOf(HWND owner) {
    HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                             : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) {
        return PixelRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return PixelRect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

// The text font in bold, or turned a quarter left.
HFONT VariantOf(HFONT font, LONG weight, LONG escapement) {
    LOGFONTA variant = {};
    GetObjectA(font, sizeof variant, &variant);
    variant.lfWeight = weight;
    variant.lfEscapement = escapement;
    variant.lfOrientation = escapement;
    return CreateFontIndirectA(&variant);
}

}  // namespace

ProfileWindow::ProfileWindow(HINSTANCE module, const ProfileSource& source, ConfigStore& places)
    : module_(module), source_(source), place_(places, kProfileWindowName) {}

ProfileWindow::~ProfileWindow() {
    if (hwnd()) {
        DestroyWindow(hwnd());
    }
}

bool ProfileWindow::Open(HWND owner) {
    if (hwnd()) {
        if (IsIconic(hwnd())) {
            ShowWindow(hwnd(), SW_RESTORE);
        }
        SetForegroundWindow(hwnd());
        return true;
    }
    HICON icon = LoadIconA(module_, MAKEINTRESOURCEA(IDI_AEROLINKER));
    if (!RegisterWindowClass(module_, kProfileWindowClass, icon, icon)) {
        return false;
    }
    const std::optional<WindowPlace> kept = place_.Reachable();
    RECT frame;
    if (kept) {
        frame = FrameOf(*kept);
    } else {
        const UINT dpi = owner ? WindowDpi(owner) : SystemDpi();
        RECT ownerFrame = {};
        if (owner) {
            GetWindowRect(owner, &ownerFrame);
        }
        const PixelRect beside = PlaceBeside(
            PixelRect{ownerFrame.left, ownerFrame.top, ownerFrame.right, ownerFrame.bottom},
            WorkAreaOf(owner),
            FrameSize{ScaleForDpi(kOpeningWidth, dpi), ScaleForDpi(kOpeningHeight, dpi)},
            MinimumFrame(dpi), ScaleForDpi(kGapToOwner, dpi));
        frame = RECT{beside.left, beside.top, beside.right, beside.bottom};
    }
    if (!CreateFor(0, kProfileWindowClass, kProfileCaption, kWindowStyle, frame, owner, module_)) {
        return false;
    }
    place_.Follow(hwnd());
    drawn_ = CurrentSize();
    ShowWindow(hwnd(), kept && kept->maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    UpdateWindow(hwnd());
    return true;
}

ProfileWindow::FlightSize ProfileWindow::CurrentSize() const {
    FlightSize size;
    size.rows = source_.Rows().size();
    size.marks = source_.Marks().size();
    size.landing = source_.Landing().has_value();
    size.lastSeconds = source_.Rows().empty() ? 0 : source_.Rows().back().utcSeconds;
    return size;
}

bool ProfileWindow::Refresh() {
    const FlightSize now = CurrentSize();
    if (!hwnd() || now == drawn_) {
        return false;
    }
    drawn_ = now;
    InvalidateRect(hwnd(), nullptr, FALSE);
    return true;
}

void ProfileWindow::Draw(HDC dc, int width, int height) const {
    const ProfileFonts fonts = {textFont_.get(), boldFont_.get(), verticalFont_.get()};
    const std::optional<LandingReport> landing = source_.Landing();
    DrawProfilePicture(dc, width, height, static_cast<int>(dpi_), fonts,
                       ProfileFlight{source_.Rows(), source_.Marks(), landing});
}

bool ProfileWindow::OnCreate() {
    ApplyDpi(WindowDpi(hwnd()));
    return true;
}

void ProfileWindow::OnSize() {
    // Every part of the picture depends on the size.
    InvalidateRect(hwnd(), nullptr, FALSE);
}

LRESULT ProfileWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:  // the picture covers the whole client area
            return 1;
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_WINDOWPOSCHANGED:
            place_.Follow(hwnd());
            break;  // WM_SIZE and WM_MOVE come from the default handling
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                PostMessageA(hwnd(), WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefaultMessage(message, wParam, lParam);
}

void ProfileWindow::OnPaint() {
    // Drawn into a picture in memory first and copied in one step, so that a redraw at every
    // tick or while the window is resized does not flicker.
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd(), &paint);
    RECT client = {};
    GetClientRect(hwnd(), &client);
    if (client.right > 0 && client.bottom > 0) {
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP picture = CreateCompatibleBitmap(dc, client.right, client.bottom);
        if (memory && picture) {
            HGDIOBJ previous = SelectObject(memory, picture);
            Draw(memory, client.right, client.bottom);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
            SelectObject(memory, previous);
        }
        if (picture) {
            DeleteObject(picture);
        }
        if (memory) {
            DeleteDC(memory);
        }
    }
    EndPaint(hwnd(), &paint);
}

void ProfileWindow::OnGetMinMaxInfo(MINMAXINFO& info) const {
    const FrameSize minimum = MinimumFrame(dpi_);
    info.ptMinTrackSize.x = minimum.width;
    info.ptMinTrackSize.y = minimum.height;
}

void ProfileWindow::ApplyDpi(UINT dpi) {
    dpi_ = dpi;
    HFONT text = CreatePointFont(kFontFace, kTextFontPoints, dpi_, VARIABLE_PITCH | FF_SWISS);
    boldFont_.Reset(VariantOf(text, FW_BOLD, 0));
    verticalFont_.Reset(VariantOf(text, FW_NORMAL, kQuarterTurnLeft));
    textFont_.Reset(text);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

}  // namespace aerolinker
