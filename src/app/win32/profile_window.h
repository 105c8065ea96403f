// The "Flight profile" window: the current flight's vertical profile and ground track, drawn
// from the recorder's rows. It has no timer of its own: the main window tells it after each
// tick, and it redraws when the flight has grown. Owned by the main window, resizable, and
// drawn at the DPI of the screen it stands on. It opens where the pilot last left it, or
// beside the main window; Esc closes it.
#pragma once

#include <windows.h>

#include <cstddef>

#include "app/win32/kept_place.h"
#include "app/win32/profile_picture.h"
#include "app/win32/profile_source.h"
#include "persistence/config_store.h"
#include "ui/win32/dpi.h"
#include "ui/win32/window_base.h"

namespace aerolinker {

inline constexpr char kProfileCaption[] = "Flight profile";

class ProfileWindow : public WindowBase {
public:
    // The window's place is kept in `places`.
    ProfileWindow(HINSTANCE module, const ProfileSource& source, ConfigStore& places);
    ~ProfileWindow() override;
    ProfileWindow(const ProfileWindow&) = delete;
    ProfileWindow& operator=(const ProfileWindow&) = delete;

    // Opens the window where the pilot left it, else beside `owner`, or brings the one
    // already open to the front.
    bool Open(HWND owner);
    // After a tick: redraws when the flight has changed since it was last drawn. True when it
    // redraws; false when nothing changed or the window is closed.
    bool Refresh();
    // The whole picture, as the window shows it at its DPI, into `dc`.
    void Draw(HDC dc, int width, int height) const;

private:
    // What was drawn last, to tell whether a tick added anything.
    struct FlightSize {
        size_t rows = 0;
        size_t marks = 0;
        bool landing = false;
        long long lastSeconds = 0;
        bool operator==(const FlightSize& other) const {
            return rows == other.rows && marks == other.marks && landing == other.landing &&
                   lastSeconds == other.lastSeconds;
        }
    };
    FlightSize CurrentSize() const;

    bool OnCreate() override;
    void OnSize() override;
    void OnDpiChanged(UINT dpi) override { ApplyDpi(dpi); }
    void OnDestroy() override { place_.Keep(hwnd()); }
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint();
    void OnGetMinMaxInfo(MINMAXINFO& info) const;
    void ApplyDpi(UINT dpi);

    HINSTANCE module_;
    const ProfileSource& source_;
    KeptPlace place_;
    FlightSize drawn_;
    OwnedFont textFont_;
    OwnedFont boldFont_;
    OwnedFont verticalFont_;
    UINT dpi_ = kDesignDpi;
};

}  // namespace aerolinker
