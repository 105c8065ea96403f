// The main window on Windows: the tool bar, the text area `Memo1`, the status bar `Status`, the
// timer `Timer1`, the message box `abcW` and the sound `LWave`. It carries out the roles the
// flight asks of it, and its window procedure only passes each message on to the handler
// named for it, in TFConnection.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "app/connection_form.h"
#include "session/main_window_roles.h"
#include "app/win32/kept_place.h"
#include "app/win32/log_view.h"
#include "app/win32/lwave.h"
#include "app/win32/profile_source.h"
#include "app/win32/profile_window.h"
#include "app/win32/tool_bar.h"
#include "ui/win32/dpi.h"
#include "ui/win32/window_base.h"

namespace aerolinker {

class AirlineConnection;
class TFPilot;

// Opens the pilot form at its log folder field.
constexpr UINT kEditLogFolderMessage = WM_APP + 1;
// Shows the errors posted while an action ran, once it has returned.
constexpr UINT kPostedErrorsMessage = WM_APP + 2;

class MainWindow : public WindowBase, public MainWindowRoles {
public:
    explicit MainWindow(HINSTANCE module);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window, hidden, with every control in its start state, where the pilot
    // left it when `places` keeps a place still on a screen. `handlers` and `places` must
    // outlive the window.
    bool Create(TFConnection& handlers, ConfigStore& places);
    void SetPilotForm(TFPilot* pilotForm) { pilotForm_ = pilotForm; }
    // The airline, polled on a timer of its own while it has anything to do; it must outlive
    // the window.
    void SetAirline(AirlineConnection* airline);
    void Show(int showCommand);
    // Destroys the window and its controls; the owner calls it while the handlers still live
    // (the text area lets go of the flight's log document here).
    void Destroy();
    // Keys the window takes before the control with the focus sees them: the tool bar's
    // shortcuts, and Tab and Shift+Tab, which move the focus between the buttons and the log
    // instead of typing into the log (Ctrl+Tab is left to the control). True when taken.
    bool TakeKey(MSG& message);

    // MainWindowRoles
    void SetCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    void LayOutStatusPanels();
    void SetFlightStatus(const std::string& text) override;
    void SetAirlineStatus(const std::string& text) override;
    void ShowMessageBox(const std::string& text) override;
    bool AskYesNo(const std::string& question) override;
    void EditLogFolder() override;
    void ShowStandardMessage(const std::string& text) override;
    void SetTimerEnabled(bool enabled) override;
    bool TimerEnabled() const override { return timerEnabled_; }
    void SetSituationButtonsEnabled(bool enabled) override;
    void PlaySound() override;
    void PauseUserInterface(unsigned milliseconds) override;
    void ReportError(const std::string& text) override;
    void PostError(const std::string& text) override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Message handlers.
    bool OnCreate() override;
    void OnSize() override;
    void OnCommand(int id, int notification);
    void OnTimer(UINT_PTR timerId);
    void OnPaint();
    void OnGetMinMaxInfo(MINMAXINFO& info) const;
    void OnActivate(bool active);
    void OnClose();
    void OnDestroy() override;

    // "Info's": the pilot form, modal.
    void ShowPilotForm();
    // "Flight profile": the one profile window, opened or brought to the front.
    void ShowProfile();
    // After anything that may have changed the flight.
    void RefreshProfile();
    // The airline's timer runs while the airline has anything to do (after its start, a poll
    // or the pilot form, which may have changed its settings).
    void RefreshAirlineTimer();
    void OnDpiChanged(UINT dpi) override { ApplyDpi(dpi); }
    void ApplyDpi(UINT dpi);
    int StatusBarHeight() const;
    HWND MessageOwner() const;
    void ShowPostedErrors();

    HINSTANCE module_;
    TFConnection* handlers_ = nullptr;
    TFPilot* pilotForm_ = nullptr;
    AirlineConnection* airline_ = nullptr;
    bool airlineTimer_ = false;
    ToolBar toolBar_;
    HWND memo_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<LogView> logView_;
    std::unique_ptr<ProfileSource> profileSource_;
    std::unique_ptr<ProfileWindow> profileWindow_;
    LWave wave_;
    OwnedFont memoFont_;
    OwnedFont windowFont_;
    UINT dpi_ = kDesignDpi;
    std::optional<KeptPlace> place_;
    bool openMaximised_ = false;
    HACCEL shortcuts_ = nullptr;
    // The control that had the focus when the window was last left, given it back on return.
    HWND lastFocus_ = nullptr;
    bool askingToClose_ = false;
    bool timerEnabled_ = false;
    std::deque<std::string> postedErrors_;
    std::string statusText_;
    std::string airlineText_;
    bool showingPostedErrors_ = false;
};

}  // namespace aerolinker
