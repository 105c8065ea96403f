// The pilot form `TFPilot` ("Pilot Informations"): the pilot's name, identifier and number and
// the two folders, shown modally by "Info's" and saved into the configuration file. A folder
// that does not exist is offered to be made before the save. Below them the airline: its
// server's address, saved with the rest, and the pilot's API key, which goes to the key store
// only and is never shown; "Test" asks the server whom the key belongs to.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "app/connection_form.h"
#include "app/win32/airline_connection.h"
#include "app/win32/folder_browse_dialog.h"
#include "app/win32/window_layout.h"
#include "persistence/pilot_profile.h"
#include "ui/win32/dpi.h"
#include "ui/win32/window_base.h"

namespace aerolinker {

// The answer of "Test", from its worker thread: wParam the test's number, lParam a
// std::string* (UTF-8) the form takes over.
constexpr UINT kAccountCheckedMessage = WM_APP + 3;

class TFPilot : public WindowBase {
public:
    TFPilot(HINSTANCE module, TFConnection& connection, AirlineConnection& airline);
    ~TFPilot() override;
    TFPilot(const TFPilot&) = delete;
    TFPilot& operator=(const TFPilot&) = delete;

    // Creates the form hidden; it lives, shown or not, until its owner is destroyed.
    bool Create(HWND owner);
    // Shows the form with the profile's texts and returns when it closes; meanwhile the main
    // window takes no input, though its timer still ticks. The pilot name gets the caret, or
    // MyFlightsDir when the log folder is to be chosen.
    void ShowModal(bool atLogFolder = false);

    // Handlers.
    void FormShow();
    void PilotSave();
    void ExitClick();
    void BottoneDirClick();
    void Fs2k4BrowseClick();
    // "Test": the server asked, on a thread of its own, with the key typed or else the one
    // stored; the answer shows under the fields when it comes.
    void AirlineTestClick();

    // The five fields as they stand, in the profile's order.
    PilotProfile FieldTexts() const;

    // The pilot's answers when a folder field names a folder that does not exist.
    enum class MissingFolderAnswer { kCreate, kKeepAsTyped, kBackToForm };

protected:
    // Asks with Yes (create), No (keep as typed) and Cancel (back to the form); tests answer
    // in the pilot's place.
    virtual MissingFolderAnswer AskAboutMissingFolder(const std::string& folder);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool OnCreate() override;
    void OnCommand(int id, int notification);
    void OnDpiChanged(UINT dpi) override { ApplyDpi(dpi); }
    void ApplyDpi(UINT dpi);
    void CentreOnDesktop();
    int DefaultButton() const;
    void Browse(HWND field);
    // False when the pilot goes back to the field to correct it.
    bool SettleMissingFolder(HWND field);
    // The airline's fields as stored: the address, an empty key field, whether a key is kept.
    void ShowAirline();
    // The typed server's checked address, "" for none; a refused address raises its message.
    std::string CheckedServer();
    void ShowResult(const std::string& utf8Text);
    void OnAccountChecked(WPARAM test, LPARAM text);

    HINSTANCE module_;
    TFConnection& connection_;
    AirlineConnection& airline_;
    HWND owner_ = nullptr;
    std::array<HWND, kPilotFieldCount> labels_ = {};
    HWND EPilot = nullptr;
    HWND EId = nullptr;
    HWND EPilotN = nullptr;
    HWND FDir = nullptr;
    HWND fs2k4 = nullptr;
    HWND BottoneDir = nullptr;
    HWND fs2k4Browse_ = nullptr;
    HWND save_ = nullptr;
    HWND exit_ = nullptr;
    HWND airlineServerLabel_ = nullptr;
    HWND airlineServer_ = nullptr;
    HWND apiKeyLabel_ = nullptr;
    HWND apiKey_ = nullptr;
    HWND airlineTest_ = nullptr;
    HWND airlineResult_ = nullptr;
    // The number of the last "Test": an answer to an earlier one is dropped.
    WPARAM lastTest_ = 0;
    // The one dialog both browse buttons use.
    FolderBrowseDialog Browsefs2k4{"FlightSim2k4"};
    OwnedFont font_;
    UINT dpi_ = kDesignDpi;
    bool modal_ = false;
    // The field the pilot was in when the form lost the keyboard (to a message box, the folder
    // dialog or another program); it gets it back when the form is active again.
    HWND lastFocus_ = nullptr;
    void OnActivate(bool active);
};

}  // namespace aerolinker
