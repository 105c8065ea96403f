// libFuzzer target: arbitrary bytes as the configuration file. Reads must give a value or the
// documented error, and a write must make its key read back while every other line of the
// file stays as it was.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_support.h"
#include "common/app_error.h"
#include "common/file_io.h"
#include "persistence/ini_file.h"

namespace {

const std::string& RunFile() {
    return aerolinker::fuzzing::RunFile("ini_fuzzer", "Aerolinker.ini");
}

void Require(bool condition, const char* what) {
    aerolinker::fuzzing::Require(condition, "ini_fuzzer", what);
}

using aerolinker::AppError;
using aerolinker::IniFile;

// Where the old and the new text differ, the old text may hold one line at most: the line
// the write replaced. Inserted lines leave nothing of the old text in between.
size_t LinesChanged(const std::string& before, const std::string& after) {
    size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    size_t feeds = 0;
    for (size_t i = prefix; i < before.size() - suffix; ++i) {
        feeds += before[i] == '\n';
    }
    return feeds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An odd first byte puts the input behind a sound section of our own, so that the paths
    // inside a matching section are reached without a seed corpus.
    std::string before;
    if (size > 0 && (data[0] & 1) != 0) {
        before = "[aerolinker]\r\nPilotName=x\r\nRiga=0x1F\r\nToTime=10:05:30\r\n";
    }
    before.append(reinterpret_cast<const char*>(data), size);
    Require(aerolinker::ReplaceFileContents(RunFile(), before) == 0, "cannot set up the file");
    IniFile ini(RunFile(), aerolinker::RegionalSettings{});

    const std::string otherText = ini.ReadText("Other", "ID", "<none>");
    const std::int32_t counter = ini.ReadInteger("aerolinker", "Riga", 1);
    Require(ini.ReadText("Aerolinker", "Clearance", "").size() <= aerolinker::kMaxIniTextLength,
            "a read returned more than 2047 characters");
    try {
        ini.ReadTime("Aerolinker", "ToTime", 0.5);
    } catch (const AppError&) {
        // The documented answer to a value that is not a time.
    }

    ini.WriteText("Aerolinker", "PilotName", "FUZZ PILOT");
    std::string after;
    Require(aerolinker::ReadFileContents(RunFile(), after) == 0, "the file is gone");
    Require(ini.ReadText("aerolinker", "pilotname", "") == "FUZZ PILOT",
            "the written key does not read back");
    Require(ini.ReadText("Other", "ID", "<none>") == otherText, "another section changed");
    Require(ini.ReadInteger("aerolinker", "Riga", 1) == counter, "another key changed");
    Require(LinesChanged(before, after) <= 1, "the write changed more than its own line");
    return 0;
}
