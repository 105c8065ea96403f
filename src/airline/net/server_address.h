// The airline server's address as the pilot types it: HTTPS, or plain HTTP only to this
// computer's own loopback address (a test server), never anything else.
#pragma once

#include <string>

namespace aerolinker {

// Accepts "https://host[:port][/path]" and "http://<loopback>[:port][/path]" (127.0.0.0/8,
// [::1], localhost), case of the scheme and host aside, surrounding blanks ignored. On success
// `base` is the address without a trailing slash, ready for "/api/..." to be appended, and the
// result is empty; otherwise the result is the message for the pilot and `base` is untouched.
std::string CheckServerAddress(const std::string& text, std::string& base);

}  // namespace aerolinker
