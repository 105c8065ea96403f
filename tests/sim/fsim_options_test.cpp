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

TEST(FsimOptionsTest, RefusesWhatMakesNoSenseNamingTheOption) {
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        {{}, "SCENARIO is required"},
        {{"a", "b"}, "The following argument was not expected: b"},
        {{"--flights"}, "--flights: 1 required TEXT missing"},
        {{"--class", "FSX", "a"}, "--class: FSX not in {UIPCMAIN,FS98MAIN}"},
        {{"--verbose", "a"}, "The following argument was not expected: --verbose"},
        {{"--help", "a"}, "The following argument was not expected: --help"},
        {{"--flights", "", "a"}, "--flights: the flights folder is empty"},
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
