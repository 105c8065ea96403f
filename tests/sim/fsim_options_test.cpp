// fsim.exe's command line.
#include "sim/fsim_options.h"

#include <gtest/gtest.h>

namespace aerolinker {
namespace {

TEST(FsimOptionsTest, ReadsEveryOption) {
    FsimOptions options;
    std::string error;
    ASSERT_TRUE(ParseFsimArguments({"--flights", "C:\\Flights", "--class", "FS98MAIN",
                                    "--transcript", "t.txt", "lieo-lirq.scenario"},
                                   options, error))
        << error;
    EXPECT_EQ(options.scenarioPath, "lieo-lirq.scenario");
    EXPECT_EQ(options.flightsFolder, "C:\\Flights");
    EXPECT_EQ(options.windowClass, "FS98MAIN");
    EXPECT_EQ(options.transcriptPath, "t.txt");

    FsimOptions defaults;
    ASSERT_TRUE(ParseFsimArguments({"a.scenario"}, defaults, error));
    EXPECT_EQ(defaults.flightsFolder, ".");
    EXPECT_EQ(defaults.windowClass, "UIPCMAIN");
    EXPECT_EQ(defaults.transcriptPath, "");
}

TEST(FsimOptionsTest, RefusesWhatMakesNoSense) {
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        {{}, "no scenario given"},
        {{"a", "b"}, "one scenario only"},
        {{"--flights"}, "--flights needs a value"},
        {{"--class", "FSX", "a"}, "the window class is UIPCMAIN or FS98MAIN, not FSX"},
        {{"--verbose", "a"}, "unknown option --verbose"},
        {{"--flights", "", "a"}, "the flights folder is empty"},
    };
    for (const auto& c : cases) {
        FsimOptions options;
        std::string error;
        EXPECT_FALSE(ParseFsimArguments(c.arguments, options, error));
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
}  // namespace aerolinker
