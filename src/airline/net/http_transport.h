// The airline server's transport: one HTTP request and its reply, blocking, on the airline
// worker's thread. WinHTTP on Windows and libcurl on Linux implement it; tests give their own.
// A reply is untrusted input: its size is bounded here and its text is read by the caller.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace aerolinker {

struct HttpRequest {
    std::string method;  // "GET", "POST", "PUT", "DELETE"
    std::string url;     // absolute, already checked by CheckServerAddress
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

struct HttpReply {
    // The HTTP status; 0 when no reply came (no connection, a timeout, a refused certificate,
    // a reply cut short or larger than allowed).
    int status = 0;
    std::string body;
    // Why no reply came, for the pilot; never holds a header's value.
    std::string error;
};

struct TransportLimits {
    int connectTimeoutMs = 10000;
    // The whole exchange, from the request's first byte to the reply's last.
    int replyTimeoutMs = 30000;
    // A reply longer than this is refused as a whole (status 0).
    std::size_t maxReplyBytes = 4u << 20;
    // A certificate authority file to trust instead of the system's (tests; Linux only).
    std::string caFile;
};

class HttpTransport {
public:
    virtual ~HttpTransport() = default;
    virtual HttpReply Send(const HttpRequest& request) = 0;
};

// The platform's transport (curl_transport.cpp or winhttp_transport.cpp, chosen at link time).
std::unique_ptr<HttpTransport> MakeHttpTransport(const TransportLimits& limits);

}  // namespace aerolinker
