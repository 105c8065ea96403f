// What the fuzzers that check more than "no crash" share: a failed property ends the run with
// its reason, and a reader of files gets one file of its own for the whole run.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace aerolinker::fuzzing {

// libFuzzer keeps the input of a run that aborts, so a broken property is found again.
inline void Require(bool condition, const char* fuzzer, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", fuzzer, what);
        std::abort();
    }
}

// `fileName` in a folder of this run's own, removed when the run ends. The name is joined with
// a backslash, as the program joins its own paths.
inline const std::string& RunFile(const char* fuzzer, const char* fileName) {
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        (std::string("aerolinker-") + fuzzer + "-" + std::to_string(::getpid()));
    static const std::string path = [&] {
        std::filesystem::create_directories(folder);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
        return folder.string() + "\\" + fileName;
    }();
    return path;
}

}  // namespace aerolinker::fuzzing
