// fsim.exe's command line: what it accepts, what it defaults to, and that a refusal names
// the argument at fault so the one starting it can put it right.
#include "sim/fsim_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace aerolinker {
namespace {

TEST(FsimOptionsTest, AcceptsEveryOptionInAnyOrderAndDefaultsTheRest) {
    const struct {
        std::vector<std::string> arguments;
        FsimOptions expected;
    } cases[] = {
        {{"--flights", "C:\\Flights", "--class", "FS98MAIN", "--transcript", "t.txt", "--speed",
          "16", "lieo-lirq.scn"},
         {"lieo-lirq.scn", "C:\\Flights", "FS98MAIN", "t.txt", 16}},
        {{"a.scn"}, {"a.scn", ".", "UIPCMAIN", "", 1}},
        // Opened from its folder, with no scenario: the pilot chooses one.
        {{}, {"", ".", "UIPCMAIN", "", 1}},
        {{"--speed", "4"}, {"", ".", "UIPCMAIN", "", 4}},
        {{"a.scn", "--class", "FS98MAIN"}, {"a.scn", ".", "FS98MAIN", ""}},
        // Given twice, as a script that adds to a command line does: the last one counts.
        {{"--flights", "A", "a.scn", "--flights", "B"}, {"a.scn", "B", "UIPCMAIN", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front());
        FsimOptions options;
        std::string error;
        ASSERT_TRUE(ParseFsimArguments(c.arguments, options, error)) << error;
        EXPECT_EQ(options.scenarioPath, c.expected.scenarioPath);
        EXPECT_EQ(options.flightsFolder, c.expected.flightsFolder);
        EXPECT_EQ(options.windowClass, c.expected.windowClass);
        EXPECT_EQ(options.transcriptPath, c.expected.transcriptPath);
        EXPECT_EQ(options.speed, c.expected.speed);
    }
}

TEST(FsimOptionsTest, RefusesWhatMakesNoSenseNamingTheArgument) {
    const struct {
        std::vector<std::string> arguments;
        const char* named;  // the refusal must name it
    } cases[] = {
        {{"a.scn", "b.scn"}, "b.scn"},  // one scenario only
        {{"--flights"}, "--flights"},
        {{"--class", "FSX", "a"}, "--class"},
        {{"--verbose", "a"}, "--verbose"},
        {{"--help", "a"}, "--help"},  // no console to print help to
        {{"--flights", "", "a"}, "--flights"},
        {{"--speed", "2", "a"}, "--speed"},  // only the speeds fsim offers
        {{"--speed", "fast", "a"}, "--speed"},
        {{"--speed"}, "--speed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        FsimOptions options;
        std::string error;
        EXPECT_FALSE(ParseFsimArguments(c.arguments, options, error));
        EXPECT_NE(error.find(c.named), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace aerolinker
