// HTTPS against local servers with certificates of a throwaway authority: the transport takes
// a certificate for the name it asked for, from an authority it trusts, and nothing else.
#include "airline/net/http_transport.h"

#include <gtest/gtest.h>

#include <string>

#include "airline/net/local_servers.h"

namespace aerolinker {
namespace {

TEST(TlsTransportTest, OnlyATrustedCertificateForTheNameIsTaken) {
    const std::string authority = TestServerSetting(kTestAuthorityFile);
    const std::string rightName = LocalServerUrl(kTlsServerPort, "https", "localhost");
    // Served on this computer too, so only the certificate's name is wrong.
    const std::string otherName = LocalServerUrl(kOtherNameTlsServerPort, "https", "localhost");
    ASSERT_FALSE(authority.empty() || rightName.empty() || otherName.empty());
    const struct {
        std::string url;
        std::string caFile;
        int status;
        std::string error;
    } cases[] = {
        {rightName + "/ok", authority, 200, ""},
        {otherName + "/ok", authority, 0, "the server's certificate was refused"},
        {rightName + "/ok", "", 0, "the server's certificate was refused"},
    };
    for (const auto& c : cases) {
        TransportLimits limits;
        limits.caFile = c.caFile;
        const HttpReply reply = MakeHttpTransport(limits)->Send({"GET", c.url, {}, {}});
        EXPECT_EQ(reply.status, c.status) << c.url << " trusting " << c.caFile;
        EXPECT_EQ(reply.error, c.error) << c.url << " trusting " << c.caFile;
    }
}

}  // namespace
}  // namespace aerolinker
