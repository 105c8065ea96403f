// The airline server's transport on Linux: libcurl, one blocking request at a time. The
// certificate and host name are checked as curl does by default; redirects are returned to the
// caller, never followed, so the key's header can only reach the address the pilot entered.
#include <curl/curl.h>

#include <cassert>
#include <cctype>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "airline/net/http_transport.h"
#include "airline/net/transport_common.h"

namespace aerolinker {
namespace {

// Only these may ever be spoken, whatever the address says.
constexpr char kAllowedProtocols[] = "http,https";
// An empty "Expect:" stops curl from waiting for "100 Continue" before a large body, which
// some servers never send.
constexpr char kNoExpectHeader[] = "Expect:";
// curl would label a body as a form when the request does not say what it is; WinHTTP sends
// no such label, and neither platform should claim what the caller did not.
constexpr char kNoContentTypeHeader[] = "Content-Type:";
constexpr long kOn = 1L;
constexpr long kOff = 0L;
// Verify that the certificate names the host (curl's value for "check the name").
constexpr long kVerifyHostName = 2L;

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool IsContentType(const std::string& name) {
    static constexpr char kContentType[] = "content-type";
    if (name.size() != sizeof kContentType - 1) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kContentType[i]) {
            return false;
        }
    }
    return true;
}

struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
    bool Add(const std::string& line) {
        curl_slist* longer = curl_slist_append(list, line.c_str());
        if (longer == nullptr) {
            return false;
        }
        list = longer;
        return true;
    }
};

// Where the reply's body goes: refused as a whole once it would pass the limit, so a huge or
// endless reply never grows memory beyond it.
struct BodySink {
    std::string* body;
    std::size_t limit;
    bool tooLarge = false;
};

std::size_t WriteBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<BodySink*>(user);
    const std::size_t bytes = size * count;
    if (bytes > sink->limit - sink->body->size()) {
        sink->tooLarge = true;
        return 0;  // anything but `bytes` stops the transfer
    }
    sink->body->append(data, bytes);
    return bytes;
}

class CurlTransport final : public HttpTransport {
public:
    explicit CurlTransport(const TransportLimits& limits) : limits_(limits) {
        assert(limits_.connectTimeoutMs > 0 && limits_.replyTimeoutMs > 0);
        InitialiseCurlOnce();
        // One handle for the transport's life: curl keeps the connection to the server open
        // between requests on it.
        handle_ = curl_easy_init();
    }
    ~CurlTransport() override { curl_easy_cleanup(handle_); }
    CurlTransport(const CurlTransport&) = delete;
    CurlTransport& operator=(const CurlTransport&) = delete;

    HttpReply Send(const HttpRequest& request) override {
        HttpReply reply;
        if (handle_ == nullptr) {
            reply.error = kRequestFailed;
            return reply;
        }
        curl_easy_reset(handle_);

        HeaderList headers;
        bool headersMade = headers.Add(kNoExpectHeader);
        bool typeNamed = false;
        for (const auto& [name, value] : request.headers) {
            headersMade = headersMade && headers.Add(name + ": " + value);
            typeNamed = typeNamed || IsContentType(name);
        }
        if (!typeNamed) {
            headersMade = headersMade && headers.Add(kNoContentTypeHeader);
        }
        if (!headersMade) {
            reply.error = kRequestFailed;
            return reply;
        }

        BodySink sink{&reply.body, limits_.maxReplyBytes};
        const CURLcode set = Configure(request, headers.list, sink);
        const CURLcode done = set == CURLE_OK ? curl_easy_perform(handle_) : set;
        if (done != CURLE_OK) {
            reply.body.clear();
            reply.error = sink.tooLarge ? ReplyLargerThan(limits_.maxReplyBytes) : Explain(done);
            return reply;
        }
        long status = 0;
        curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &status);
        reply.status = static_cast<int>(status);
        return reply;
    }

private:
    // Every option of one request; the first that curl refuses ends it.
    CURLcode Configure(const HttpRequest& request, curl_slist* headers, BodySink& sink) {
        CURLcode code = CURLE_OK;
        auto set = [&](CURLoption option, auto value) {
            if (code == CURLE_OK) {
                code = curl_easy_setopt(handle_, option, value);
            }
        };
        set(CURLOPT_URL, request.url.c_str());
        set(CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
        set(CURLOPT_FOLLOWLOCATION, kOff);
        // A fresh connection for every request: curl sends a request again by itself when a
        // kept-alive connection turns out closed, and a report the server had already made
        // would be made twice. What is sent again is our decision alone.
        set(CURLOPT_FORBID_REUSE, kOn);
        set(CURLOPT_FRESH_CONNECT, kOn);
        // The request runs on the airline worker's thread: no signals, no alarm() timeouts.
        set(CURLOPT_NOSIGNAL, kOn);
        set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.connectTimeoutMs));
        set(CURLOPT_TIMEOUT_MS, static_cast<long>(limits_.replyTimeoutMs));
        set(CURLOPT_SSL_VERIFYPEER, kOn);
        set(CURLOPT_SSL_VERIFYHOST, kVerifyHostName);
        if (!limits_.caFile.empty()) {
            set(CURLOPT_CAINFO, limits_.caFile.c_str());
        }
        // A reply that announces its length is refused before its first byte arrives.
        set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits_.maxReplyBytes));
        set(CURLOPT_USERAGENT, kHttpUserAgent);
        set(CURLOPT_HTTPHEADER, headers);
        set(CURLOPT_WRITEFUNCTION, &WriteBody);
        set(CURLOPT_WRITEDATA, static_cast<void*>(&sink));

        // A body makes it a POST as far as curl is concerned; the method named is what the
        // server sees. curl points at the body, it does not copy it: `request` outlives the
        // transfer.
        if (!request.body.empty() || request.method == "POST") {
            set(CURLOPT_POSTFIELDS, request.body.data());
            set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        } else {
            set(CURLOPT_HTTPGET, kOn);
        }
        if (request.method != "GET" && request.method != "POST") {
            set(CURLOPT_CUSTOMREQUEST, request.method.c_str());
        }
        return code;
    }

    // curl's own error text can quote the request; the pilot gets ours.
    std::string Explain(CURLcode code) const {
        switch (code) {
            case CURLE_COULDNT_CONNECT:
                return kNoConnection;
            case CURLE_COULDNT_RESOLVE_HOST:
                return kNameNotFound;
            case CURLE_OPERATION_TIMEDOUT:
                return Connected() ? NoReplyWithin(limits_.replyTimeoutMs) : kNoConnection;
            case CURLE_PEER_FAILED_VERIFICATION:
                return kCertificateRefused;
            case CURLE_SSL_CONNECT_ERROR:
            case CURLE_SSL_CACERT_BADFILE:
            case CURLE_SSL_CIPHER:
            case CURLE_SSL_ENGINE_INITFAILED:
                return kNoSecureConnection;
            case CURLE_FILESIZE_EXCEEDED:
                return ReplyLargerThan(limits_.maxReplyBytes);
            case CURLE_GOT_NOTHING:
            case CURLE_RECV_ERROR:
            case CURLE_SEND_ERROR:
            case CURLE_PARTIAL_FILE:
                return kConnectionBroken;
            case CURLE_WEIRD_SERVER_REPLY:
            case CURLE_BAD_CONTENT_ENCODING:
                return kUnreadableReply;
            case CURLE_UNSUPPORTED_PROTOCOL:
            case CURLE_URL_MALFORMAT:
                return kBadAddress;
            default:
                return kRequestFailed;
        }
    }

    // Whether the request was on its way: on a reused connection the connect time stays 0,
    // the time to the request's first byte does not.
    bool Connected() const {
        curl_off_t readyToSend = 0;
        return curl_easy_getinfo(handle_, CURLINFO_PRETRANSFER_TIME_T, &readyToSend) == CURLE_OK &&
               readyToSend > 0;
    }

    TransportLimits limits_;
    CURL* handle_ = nullptr;
};

}  // namespace

std::unique_ptr<HttpTransport> MakeHttpTransport(const TransportLimits& limits) {
    return std::make_unique<CurlTransport>(limits);
}

}  // namespace aerolinker
