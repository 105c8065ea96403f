// The scenarios fsim offers a pilot who starts it without one: the bundled flights, and only
// the scenario files of a folder, in alphabetical order.
#include "sim/scenario_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim_test_support.h"

namespace aerolinker {
namespace {

using testing::ScratchFolder;
using Names = std::vector<std::string>;

TEST(ScenarioFolderTest, ListsTheBundledFlights) {
    const char* source = std::getenv("AEROLINKER_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(ScenarioFilesIn(std::string(source) + "/" + kBundledScenarioFolder),
              (Names{"egkk-eghi.scn", "lieo-lirq.scn", "no-flight-plan.scn"}));
}

TEST(ScenarioFolderTest, ListsOnlyScenarioFilesWhateverTheirCase) {
    ScratchFolder folder;
    for (const char* name : {"b.scn", "A.SCN", "README.md", "c.scn.txt", "scn"}) {
        std::ofstream(folder.file(name)) << "frame\n";
    }
    std::filesystem::create_directory(folder.file("flights.scn"));
    EXPECT_EQ(ScenarioFilesIn(folder.path()), (Names{"A.SCN", "b.scn"}));
    EXPECT_EQ(ScenarioFilesIn(folder.path() + "/missing"), Names{});
}

}  // namespace
}  // namespace aerolinker
