// Helpers shared by the substitute simulator's tests: scenarios from text and a scratch
// flights folder that goes away with the test.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "sim/scenario_parser.h"

namespace aerolinker::testing {

inline std::shared_ptr<const Scenario> ScenarioFrom(const std::string& text) {
    return std::make_shared<const Scenario>(ParseScenario(text));
}

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("aerolinker_sim_" + std::string(test ? test->name() : "test") + "_" +
                 std::to_string(std::random_device{}()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path() const { return path_.string(); }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace aerolinker::testing
