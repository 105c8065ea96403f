// The platform's transport against small local servers (http_test_servers.py, which starts
// them and gives their ports in the environment): replies with their status and body, methods,
// headers and bodies that arrive as sent, redirects not followed, replies over the size limit
// refused, and every way no reply comes ending in status 0 with the reason, in time.
#include "airline/net/http_transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "airline/net/local_servers.h"

namespace aerolinker {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kQuickTimeoutMs = 1000;
// More than one read's worth, so a reply is put together from several.
constexpr std::size_t kReplyLimit = 100000;
// A sanitized build under Wine is slow; a timeout that fires at all fires well before this.
constexpr long long kTimeoutSlackMs = 3000;

TransportLimits QuickLimits() {
    TransportLimits limits;
    limits.connectTimeoutMs = kQuickTimeoutMs;
    limits.replyTimeoutMs = kQuickTimeoutMs;
    limits.maxReplyBytes = kReplyLimit;
    return limits;
}

HttpRequest Get(const std::string& url) {
    return HttpRequest{"GET", url, {}, {}};
}

TEST(HttpTransportTest, RepliesArriveWithStatusAndBody) {
    const std::string server = LocalServerUrl(kPlainServerPort);
    ASSERT_FALSE(server.empty());
    const std::string bigEnough(kReplyLimit, 'x');
    const struct {
        HttpRequest request;
        int status;
        std::string body;
        std::string error;
    } cases[] = {
        {Get(server + "/ok"), 200, "flight accepted", ""},
        {Get(server + "/missing"), 404, "no such flight", ""},
        // Followed, a redirect would carry the key's header wherever it pointed.
        {Get(server + "/redirect"), 302, "moved", ""},
        {Get(server + "/bytes/" + std::to_string(kReplyLimit)), 200, bigEnough, ""},
        {Get(server + "/bytes/" + std::to_string(kReplyLimit + 1)), 0, "",
         "the server's reply was larger than 100000 bytes"},
        {{"POST",
          server + "/echo",
          {{"X-Test-Key", "k-123"}, {"Content-Type", "application/json"}},
          R"({"pirep":"Zoë"})"},
         200,
         R"(POST key=k-123 type=application/json body={"pirep":"Zoë"})",
         ""},
        {{"PUT", server + "/echo", {}, "fuel=1200"},
         200,
         "PUT key=None type=None body=fuel=1200",
         ""},
        {{"DELETE", server + "/echo", {}, {}}, 200, "DELETE key=None type=None body=", ""},
    };

    // Made on this thread, used on another, as the airline worker does; one transport for all,
    // so a refused reply must leave it fit for the next request.
    auto transport = MakeHttpTransport(QuickLimits());
    std::vector<HttpReply> replies;
    std::thread worker([&] {
        for (const auto& c : cases) {
            replies.push_back(transport->Send(c.request));
        }
    });
    worker.join();

    ASSERT_EQ(replies.size(), std::size(cases));
    for (std::size_t i = 0; i < replies.size(); ++i) {
        const std::string& url = cases[i].request.url;
        EXPECT_EQ(replies[i].status, cases[i].status) << url;
        EXPECT_EQ(replies[i].body, cases[i].body) << url;
        EXPECT_EQ(replies[i].error, cases[i].error) << url;
    }
}

TEST(HttpTransportTest, NoReplyIsStatusZeroWithTheReasonInTime) {
    const std::string silent = LocalServerUrl(kSilentServerPort);
    const std::string refused = LocalServerUrl(kRefusedServerPort);
    const std::string plain = LocalServerUrl(kPlainServerPort);
    ASSERT_FALSE(silent.empty() || refused.empty() || plain.empty());
    const struct {
        std::string url;
        std::string error;
    } cases[] = {
        {refused + "/ok", "could not connect to the server"},
        {silent + "/ok", "no reply within 1 s"},
        // Every byte comes quickly, the whole never does: the limit is on the whole exchange.
        {plain + "/trickle", "no reply within 1 s"},
        {"file:///etc/hosts", "the server's address is not an http or https address"},
    };
    auto transport = MakeHttpTransport(QuickLimits());
    for (const auto& c : cases) {
        const Clock::time_point start = Clock::now();
        const HttpReply reply = transport->Send(Get(c.url));
        const auto tookMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_EQ(reply.status, 0) << c.url;
        EXPECT_EQ(reply.body, "") << c.url;
        EXPECT_EQ(reply.error, c.error) << c.url;
        EXPECT_LT(tookMs, kQuickTimeoutMs + kTimeoutSlackMs) << c.url;
    }
}

}  // namespace
}  // namespace aerolinker
