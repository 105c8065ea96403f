// The airline server's transport on Windows: WinHTTP, synchronous, one request at a time on
// the airline worker's thread. WinHTTP checks the certificate and host name against Windows'
// own store; redirects are switched off so the key's header only reaches the address the pilot
// entered, and a redirect comes back as its status.
#include <windows.h>
#include <winhttp.h>

#include <cassert>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

#include "airline/net/http_transport.h"
#include "airline/net/transport_common.h"

namespace aerolinker {
namespace {

using Clock = std::chrono::steady_clock;

// Large enough that a reply of a few hundred kilobytes takes few calls.
constexpr DWORD kReadChunkBytes = 16 * 1024;
// WinHttpSendRequest's length for a NUL-terminated header block.
constexpr DWORD kHeadersNulTerminated = static_cast<DWORD>(-1);

class Handle {
public:
    explicit Handle(HINTERNET handle = nullptr) : handle_(handle) {}
    ~Handle() {
        if (handle_ != nullptr) {
            WinHttpCloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_; }

private:
    HINTERNET handle_;
};

std::wstring Widened(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

// Where a request failed decides what a timeout means: while sending, the server was never
// reached; afterwards, it did not answer.
enum class Stage { Sending, Waiting };

// The pilot's text for WinHTTP's error code, and the only place that reads one.
std::string Explain(DWORD code, Stage stage, int replyTimeoutMs) {
    switch (code) {
        case ERROR_WINHTTP_CANNOT_CONNECT:
            return kNoConnection;
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return kNameNotFound;
        case ERROR_WINHTTP_TIMEOUT:
        // Wine hands on the socket's own error when a read times out (or, below, is cut off).
        case WSAETIMEDOUT:
            return stage == Stage::Sending ? std::string(kNoConnection)
                                           : NoReplyWithin(replyTimeoutMs);
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
            return kCertificateRefused;
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
            return kNoSecureConnection;
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case WSAECONNRESET:
        case WSAECONNABORTED:
            return kConnectionBroken;
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
            return kUnreadableReply;
        case ERROR_WINHTTP_INVALID_URL:
        case ERROR_WINHTTP_UNRECOGNIZED_SCHEME:
            return kBadAddress;
        default:
            return kRequestFailed;
    }
}

class WinHttpTransport final : public HttpTransport {
public:
    explicit WinHttpTransport(const TransportLimits& limits) : limits_(limits) {
        assert(limits_.connectTimeoutMs > 0 && limits_.replyTimeoutMs > 0);
        const std::wstring agent = Widened(kHttpUserAgent);
        // The system's proxy settings with WinHTTP's automatic choice where Windows has it
        // (8.1 and later); Windows 7 refuses that access type and gets the static settings.
        session_ = WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                               WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (session_ == nullptr) {
            session_ = WinHttpOpen(agent.c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                   WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        }
        if (session_ == nullptr) {
            sessionError_ =
                GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WINHTTP_INTERNAL_ERROR;
        }
    }
    ~WinHttpTransport() override {
        if (session_ != nullptr) {
            WinHttpCloseHandle(session_);
        }
    }
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;

    HttpReply Send(const HttpRequest& request) override {
        HttpReply reply;
        const Clock::time_point deadline =
            Clock::now() + std::chrono::milliseconds(limits_.replyTimeoutMs);
        Stage stage = Stage::Sending;
        const DWORD code = Exchange(request, deadline, reply, stage);
        if (code != ERROR_SUCCESS) {
            reply.status = 0;
            reply.body.clear();
            if (reply.error.empty()) {
                reply.error = Explain(code, stage, limits_.replyTimeoutMs);
            }
        }
        return reply;
    }

private:
    // One request from connection to the reply's last byte: ERROR_SUCCESS or WinHTTP's error
    // code, with `reply.error` set when the refusal is the transport's own. The code is read
    // where the call failed: closing the handles on the way out resets the thread's last error.
    DWORD Exchange(const HttpRequest& request, Clock::time_point deadline, HttpReply& reply,
                   Stage& stage) {
        if (session_ == nullptr) {
            return sessionError_;
        }
        std::wstring url = Widened(request.url);
        URL_COMPONENTS parts = {};
        parts.dwStructSize = sizeof parts;
        // Lengths of -1 ask for each part as a pointer into `url`.
        parts.dwHostNameLength = static_cast<DWORD>(-1);
        parts.dwUrlPathLength = static_cast<DWORD>(-1);
        parts.dwExtraInfoLength = static_cast<DWORD>(-1);
        if (!WinHttpCrackUrl(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
            return GetLastError();
        }
        const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
        std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
        object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
        if (object.empty()) {
            object = L"/";
        }
        const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

        const Handle connection(WinHttpConnect(session_, host.c_str(), parts.nPort, 0));
        if (connection.get() == nullptr) {
            return GetLastError();
        }
        const std::wstring method = Widened(request.method);
        const Handle exchange(WinHttpOpenRequest(
            connection.get(), method.c_str(), object.c_str(), nullptr, WINHTTP_NO_REFERER,
            WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0));
        if (exchange.get() == nullptr) {
            return GetLastError();
        }
        // No redirects, and no kept-alive connection: a request is never sent again behind
        // our back on a connection the server had closed (it may have acted on it).
        DWORD disabled = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_KEEP_ALIVE;
        if (!WinHttpSetOption(exchange.get(), WINHTTP_OPTION_DISABLE_FEATURE, &disabled,
                              sizeof disabled)) {
            return GetLastError();
        }

        std::wstring headers;
        for (const auto& [name, value] : request.headers) {
            headers += Widened(name) + L": " + Widened(value) + L"\r\n";
        }
        // WinHTTP counts a body in a DWORD; a longer one could only be sent cut short.
        const auto bodyLength = static_cast<DWORD>(request.body.size());
        if (bodyLength != request.body.size()) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        if (!LimitTo(exchange.get(), deadline) ||
            !WinHttpSendRequest(
                exchange.get(), headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(),
                headers.empty() ? 0 : kHeadersNulTerminated, const_cast<char*>(request.body.data()),
                bodyLength, bodyLength, 0)) {
            return GetLastError();
        }

        stage = Stage::Waiting;
        if (!LimitTo(exchange.get(), deadline) ||
            !WinHttpReceiveResponse(exchange.get(), nullptr)) {
            return GetLastError();
        }
        DWORD status = 0;
        DWORD statusSize = sizeof status;
        if (!WinHttpQueryHeaders(
                exchange.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize, WINHTTP_NO_HEADER_INDEX)) {
            return GetLastError();
        }

        // WinHTTP's receive timeout is per receive, so a server sending a byte at a time would
        // never trip it: each wait gets only what is left of the whole exchange's time, and
        // asks only for what has arrived (a read may otherwise wait to fill its buffer).
        std::string chunk(kReadChunkBytes, '\0');
        for (;;) {
            DWORD available = 0;
            if (!LimitTo(exchange.get(), deadline) ||
                !WinHttpQueryDataAvailable(exchange.get(), &available)) {
                return GetLastError();
            }
            if (available == 0) {
                break;
            }
            DWORD read = 0;
            if (!WinHttpReadData(exchange.get(), chunk.data(),
                                 available < kReadChunkBytes ? available : kReadChunkBytes,
                                 &read)) {
                return GetLastError();
            }
            if (read > limits_.maxReplyBytes - reply.body.size()) {
                reply.error = ReplyLargerThan(limits_.maxReplyBytes);
                return ERROR_NOT_ENOUGH_MEMORY;
            }
            reply.body.append(chunk.data(), read);
        }
        reply.status = static_cast<int>(status);
        return ERROR_SUCCESS;
    }

    // Sets the request's timeouts to what is left before `deadline`; false (a timeout) when
    // nothing is. The wait for the reply's headers has an option of its own, which some
    // WinHTTPs (Wine's) already spend inside WinHttpSendRequest.
    bool LimitTo(HINTERNET exchange, Clock::time_point deadline) const {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            SetLastError(ERROR_WINHTTP_TIMEOUT);
            return false;
        }
        const int leftMs = static_cast<int>(left);
        const int connectMs = leftMs < limits_.connectTimeoutMs ? leftMs : limits_.connectTimeoutMs;
        DWORD headersMs = static_cast<DWORD>(leftMs);
        return WinHttpSetTimeouts(exchange, connectMs, connectMs, leftMs, leftMs) &&
               WinHttpSetOption(exchange, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersMs,
                                sizeof headersMs);
    }

    TransportLimits limits_;
    HINTERNET session_ = nullptr;
    DWORD sessionError_ = ERROR_SUCCESS;
};

}  // namespace

std::unique_ptr<HttpTransport> MakeHttpTransport(const TransportLimits& limits) {
    return std::make_unique<WinHttpTransport>(limits);
}

}  // namespace aerolinker
