// The substitute airline server as a process of the test: started on a free loopback port,
// told to fail through its control routes, its store read back as JSON, stopped at the end.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "airline/net/http_transport.h"

extern char** environ;

namespace aerolinker::testing_support {

inline constexpr char kAirlineTestKey[] = "test-key-0123456789abcdef";

class AirlineServerProcess {
public:
    explicit AirlineServerProcess(const std::filesystem::path& folder,
                                  std::vector<std::string> extra = {})
        : folder_(folder), transport_(MakeHttpTransport(TransportLimits{})) {
        std::filesystem::create_directories(folder_);
        const std::string script = std::string(SourceDir()) + "/src/sim/airline/airline_server.py";
        const std::string portFile = (folder_ / "port").string();
        std::filesystem::remove(portFile);
        std::vector<std::string> args = {"python3", script, "--port-file", portFile, "--quiet"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, "python3", nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            return;
        }
        for (int wait = 0; wait < 200 && !std::filesystem::exists(portFile); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        std::ifstream(portFile) >> port_;
    }
    ~AirlineServerProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    AirlineServerProcess(const AirlineServerProcess&) = delete;
    AirlineServerProcess& operator=(const AirlineServerProcess&) = delete;

    bool Running() const { return pid_ > 0 && port_ > 0; }
    std::string Base() const { return "http://127.0.0.1:" + std::to_string(port_); }

    HttpReply Control(const std::string& path, const nlohmann::json& body = nlohmann::json()) {
        HttpRequest request;
        request.method = "POST";
        request.url = Base() + "/_control/" + path;
        request.headers = {{"Content-Type", "application/json"}};
        request.body = body.is_null() ? "{}" : body.dump();
        return transport_->Send(request);
    }
    nlohmann::json Store() {
        HttpRequest request;
        request.method = "GET";
        request.url = Base() + "/_control/store";
        return nlohmann::json::parse(transport_->Send(request).body, nullptr, false);
    }

    static const char* SourceDir() {
        const char* dir = std::getenv("AEROLINKER_SOURCE_DIR");
        return dir ? dir : ".";
    }

private:
    std::filesystem::path folder_;
    std::unique_ptr<HttpTransport> transport_;
    pid_t pid_ = -1;
    int port_ = 0;
};

}  // namespace aerolinker::testing_support
