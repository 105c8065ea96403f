// Where the local test servers listen: http_test_servers.py starts them and names their ports
// in the environment of the test it runs.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace aerolinker {

inline constexpr char kPlainServerPort[] = "AEROLINKER_TEST_HTTP_PORT";
inline constexpr char kSilentServerPort[] = "AEROLINKER_TEST_SILENT_PORT";
inline constexpr char kRefusedServerPort[] = "AEROLINKER_TEST_REFUSED_PORT";
inline constexpr char kTlsServerPort[] = "AEROLINKER_TEST_TLS_PORT";
inline constexpr char kOtherNameTlsServerPort[] = "AEROLINKER_TEST_TLS_OTHER_PORT";
inline constexpr char kTestAuthorityFile[] = "AEROLINKER_TEST_CA_FILE";

// The variable's value; empty, with the test failed, when the test was started without the
// servers.
inline std::string TestServerSetting(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') {
        ADD_FAILURE() << variable << " is not set: run the test through http_test_servers.py";
        return {};
    }
    return value;
}

// "<scheme>://<host>:<port>" of the server whose port the variable names, or empty.
inline std::string LocalServerUrl(const char* portVariable, const std::string& scheme = "http",
                                  const std::string& host = "127.0.0.1") {
    const std::string port = TestServerSetting(portVariable);
    return port.empty() ? std::string() : scheme + "://" + host + ":" + port;
}

}  // namespace aerolinker
