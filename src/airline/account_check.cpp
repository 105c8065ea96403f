// The pilot form's "Test": one GET of the user route with the key.
#include "airline/account_check.h"

#include "airline/acars_messages.h"
#include "airline/net/server_address.h"

namespace aerolinker {

AccountCheck CheckAirlineAccount(HttpTransport& transport, const std::string& serverAddress,
                                 const std::string& apiKey) {
    AccountCheck check;
    std::string base;
    if (const std::string refused = CheckServerAddress(serverAddress, base); !refused.empty()) {
        check.text = refused;
        return check;
    }
    if (apiKey.empty()) {
        check.text = "No API key: copy it from your profile on the airline's site.";
        return check;
    }
    HttpRequest request;
    request.method = "GET";
    request.url = base + "/api/user";
    request.headers = {{"X-API-Key", apiKey}, {"Accept", "application/json"}};
    const HttpReply reply = transport.Send(request);
    if (reply.status == 0) {
        check.text = "No answer from the airline server: " + reply.error + ".";
        return check;
    }
    std::string pilot;
    std::string airline;
    if (reply.status >= 200 && reply.status < 300 && ParseUser(reply.body, pilot, airline)) {
        check.ok = true;
        check.text = airline.empty() ? pilot : pilot + ", " + airline;
        return check;
    }
    const std::string message = ServerMessage(reply.body);
    check.text = "The airline server answered " + std::to_string(reply.status) +
                 (message.empty() ? std::string(".") : ": " + message);
    return check;
}

}  // namespace aerolinker
