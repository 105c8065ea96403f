// The Windows program's airline: the server's address from the configuration, the pilot's API
// key from the key store beside it, and while both are set, the airline worker and the
// flight's link to it, following the flight session. Without a server nothing of it runs and
// nothing is read or written. Settings the pilot saves take effect between flights.
#pragma once

#include <memory>
#include <string>

#include "airline/airline_link.h"
#include "airline/airline_sender.h"
#include "airline/keys/key_store.h"
#include "app/connection_form.h"
#include "persistence/config_store.h"
#include "session/main_window_roles.h"

namespace aerolinker {

// The key's file in the settings folder, beside the configuration.
inline constexpr char kAirlineKeyFileName[] = "airline-key.bin";

class AirlineConnection {
public:
    // `handlers`, `config` and `window` must outlive the connection.
    AirlineConnection(TFConnection& handlers, ConfigStore& config, MainWindowRoles& window,
                      const std::string& keyFile);
    ~AirlineConnection();
    AirlineConnection(const AirlineConnection&) = delete;
    AirlineConnection& operator=(const AirlineConnection&) = delete;

    // At start, once the log folder is known (the outbox lives there).
    void Start();
    // The rules broken go to the airline too; before Start.
    void WatchRules(const RuleWatch& rules) { rules_ = &rules; }
    // The window's airline timer: between flights the worker's news; once a flight has ended,
    // the settings saved during it.
    void Poll();
    // Whether the timer has anything to do.
    bool NeedsPolling() const { return link_ != nullptr || settingsChanged_; }
    const AirlineLink* Link() const { return link_.get(); }

    // The pilot form's side. The address as stored, "" for none.
    std::string Server();
    bool LoadKey(std::string& key, std::string& error);
    // Stores the server's checked address (empty: no airline) and, when one is given, a new
    // key; an empty `newKey` keeps the stored one. A write that fails raises AppError.
    void Save(const std::string& base, const std::string& newKey);

private:
    // From the settings as stored: the worker and the link, or nothing.
    void Open();
    void Close();

    TFConnection& handlers_;
    ConfigStore& config_;
    MainWindowRoles& window_;
    std::unique_ptr<ApiKeyStore> keys_;
    std::unique_ptr<AirlineSender> sender_;
    std::unique_ptr<AirlineLink> link_;
    const RuleWatch* rules_ = nullptr;
    // Saved while a flight was tracked: applied once it no longer is.
    bool settingsChanged_ = false;
    bool polling_ = false;
};

}  // namespace aerolinker
