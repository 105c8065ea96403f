// The airline's worker and link, made from the stored settings and remade when they change.
#include "app/win32/airline_connection.h"

#include "airline/net/http_transport.h"
#include "airline/net/server_address.h"
#include "common/app_error.h"
#include "persistence/config_keys.h"

namespace aerolinker {
namespace {

constexpr char kNoKeyStored[] =
    "An airline server is set but no API key is stored: type the key the airline gave you in "
    "the pilot form (Info's).";

}  // namespace

AirlineConnection::AirlineConnection(TFConnection& handlers, ConfigStore& config,
                                     MainWindowRoles& window, const std::string& keyFile)
    : handlers_(handlers), config_(config), window_(window), keys_(MakeApiKeyStore(keyFile)) {}

AirlineConnection::~AirlineConnection() {
    Close();
}

void AirlineConnection::Start() {
    Open();
}

void AirlineConnection::Poll() {
    // The link's message box runs a message loop in which the timer fires again: that poll
    // must neither remake the link under this one nor take its news out of order.
    if (polling_) {
        return;
    }
    polling_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{polling_};
    if (settingsChanged_ && !handlers_.FlightTracked()) {
        settingsChanged_ = false;
        Close();
        Open();
    }
    // A ticking flight takes the news in at each tick itself.
    if (link_ && !window_.TimerEnabled()) {
        link_->Poll();
    }
}

std::string AirlineConnection::Server() {
    return config_.ReadText(keys::AirlineServer.readSection, keys::AirlineServer.readName, "");
}

bool AirlineConnection::LoadKey(std::string& key, std::string& error) {
    return keys_->Load(key, error);
}

void AirlineConnection::Save(const std::string& base, const std::string& newKey) {
    // Only a change is written: a pilot without an airline gets no new line in the file.
    const bool serverChanged = base != Server();
    if (serverChanged) {
        config_.WriteText(kConfigSection, keys::AirlineServer.name, base);
    }
    if (!newKey.empty()) {
        std::string error;
        if (!keys_->Save(newKey, error)) {
            throw AppError(error);
        }
    }
    if (!serverChanged && newKey.empty()) {
        return;
    }
    // A flight under way keeps the worker it started with: its reports stay on one server.
    if (handlers_.FlightTracked()) {
        settingsChanged_ = true;
        return;
    }
    Close();
    Open();
}

void AirlineConnection::Open() {
    const std::string address = Server();
    if (address.empty()) {
        return;
    }
    // The file may have been edited by hand: the address is checked as the form checks it.
    std::string base;
    if (const std::string refused = CheckServerAddress(address, base); !refused.empty()) {
        window_.PostError(refused);
        return;
    }
    std::string key;
    std::string error;
    if (!keys_->Load(key, error)) {
        window_.PostError(error);
        return;
    }
    if (key.empty()) {
        window_.PostError(kNoKeyStored);
        return;
    }
    sender_ = std::make_unique<AirlineSender>(MakeHttpTransport(TransportLimits{}),
                                              AirlineServer{base, key}, handlers_.LogFolder());
    link_ = std::make_unique<AirlineLink>(handlers_.Session(), *sender_, window_);
    if (rules_) {
        link_->WatchRules(*rules_);
    }
    handlers_.Subscribe(*link_);
    // What an earlier run left in the outbox goes now, not at the next flight.
    sender_->Wake();
}

void AirlineConnection::Close() {
    if (link_) {
        handlers_.Unsubscribe(*link_);
        link_.reset();
    }
    sender_.reset();
}

}  // namespace aerolinker
