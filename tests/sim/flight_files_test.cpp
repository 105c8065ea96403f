// The substitute simulator's saved flights: which names the program may send, the file each
// name stands for, and a file read back only by the scenario that wrote it.
#include "sim/flight_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace aerolinker {
namespace {

constexpr const char* kBadCharacter = "the name holds a character no file name may hold";

TEST(FlightFilesTest, NamesThatWouldLeaveTheFolderAreRefused) {
    const struct {
        const char* name;
        const char* problem;
    } cases[] = {
        {"My flight-2_b.flt", ""},
        {"navforge", ""},
        {"", "no flight name"},
        {"..\\escape", "the name starts with a dot"},
        {".hidden", "the name starts with a dot"},
        {"sub\\dir", kBadCharacter},
        {"a/b", kBadCharacter},
        {"c:navforge", kBadCharacter},
        {"what?", kBadCharacter},
        {"tab\there", kBadCharacter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FlightNameProblem(c.name), c.problem) << c.name;
    }
}

TEST(FlightFilesTest, TheExtensionIsAddedOnceWhateverItsCase) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"navforge", "navforge.flt"},
        {"navforge.flt", "navforge.flt"},
        {"NAVFORGE.FLT", "NAVFORGE.FLT"},
        {".flt", ".flt.flt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FlightFileName(c.name), c.file) << c.name;
    }
}

TEST(FlightFilesTest, AFlightIsReadBackOnlyByItsOwnScenario) {
    const std::string scenario = "Three \"quoted\" frames";
    const std::string saved = FlightFileText(scenario, 1234567890123u);
    std::string crlf;
    for (const char c : saved) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const struct {
        const char* what;
        std::string text;
        std::string scenario;
        const char* reason;  // empty: read back
    } cases[] = {
        {"as written", saved, scenario, ""},
        {"with Windows line ends", crlf, scenario, ""},
        {"by another scenario", saved, "Three frames", "saved from another scenario"},
        {"without a position", "scenario \"Three frames\"\n", "Three frames", "not a saved flight"},
        {"a position that is no number", "scenario \"Three frames\"\nposition twelve\n",
         "Three frames", "not a saved flight"},
        {"empty", "", scenario, "not a saved flight"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint64_t position = 0;
        std::string reason;
        EXPECT_EQ(ReadFlightFileText(c.text, c.scenario, position, reason), *c.reason == '\0');
        EXPECT_EQ(reason, c.reason);
        if (*c.reason == '\0') {
            EXPECT_EQ(position, 1234567890123u);
        }
    }
}

}  // namespace
}  // namespace aerolinker
