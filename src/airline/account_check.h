// The pilot form's "Test": the airline server's user route asked with the key, and what came
// back as one line for the pilot (the pilot's name and airline, or why not).
#pragma once

#include <string>

#include "airline/net/http_transport.h"

namespace aerolinker {

struct AccountCheck {
    bool ok = false;
    // "Zoë Pilot, Coralstraits Airlines (CSA)" or the server's own message, or why no answer
    // came. Never holds the key.
    std::string text;
};

AccountCheck CheckAirlineAccount(HttpTransport& transport, const std::string& serverAddress,
                                 const std::string& apiKey);

}  // namespace aerolinker
