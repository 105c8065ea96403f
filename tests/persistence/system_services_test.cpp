// The take-over of an older copy's settings into the user's settings folder.
#include "persistence/system_services.h"

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "persistence/portable/services.h"
#include "temp_folder.h"

namespace aerolinker {
namespace {

// Every kind of line an older copy's file may hold: two sections, comments, a blank line,
// keys of any case and no final line break.
constexpr const char* kOlderSettings =
    "[Aerolinker]\r\nPilotName=Jane Doe\r\nflightdir=D:\\Flights\r\n; kept\r\n\r\n"
    "[Other]\r\nKey=Value";

TEST(TakeOverTest, TheFirstPlaceWithAFileComesAcrossWholeAndIsLeftAlone) {
    TempFolder folder;
    ASSERT_TRUE(CreateFolders(folder.PathOf("store")) && CreateFolders(folder.PathOf("windows")));
    folder.Put("store\\Aerolinker.ini", std::string(kOlderSettings) + "\r\nFrom=store");
    folder.Put("windows\\Aerolinker.ini", std::string(kOlderSettings) + "\r\nFrom=windows");
    const GivenFolder settings(folder.PathOf("user\\Aerolinker"));
    const GivenFolder store(folder.PathOf("store"));
    const GivenFolder windows(folder.PathOf("windows"));
    const GivenFolder none(folder.PathOf("no such folder"));

    // The virtual store's copy first, the Windows folder's when the store has none.
    EXPECT_EQ(TakeOverOlderSettings(settings, {&none, &store, &windows}), ConfigFilePath(store));
    EXPECT_EQ(folder.Contents("user\\Aerolinker\\Aerolinker.ini"),
              std::string(kOlderSettings) + "\r\nFrom=store");
    EXPECT_EQ(folder.Contents("store\\Aerolinker.ini"),
              std::string(kOlderSettings) + "\r\nFrom=store");

    // Once the user has settings of their own, nothing is taken over again.
    folder.Put("user\\Aerolinker\\Aerolinker.ini", "[Aerolinker]\r\nPilotName=Mine\r\n");
    EXPECT_EQ(TakeOverOlderSettings(settings, {&store, &windows}), "");
    EXPECT_EQ(folder.Contents("user\\Aerolinker\\Aerolinker.ini"),
              "[Aerolinker]\r\nPilotName=Mine\r\n");

    const GivenFolder other(folder.PathOf("other user"));
    EXPECT_EQ(TakeOverOlderSettings(other, {&none, &windows}), ConfigFilePath(windows));
    EXPECT_EQ(folder.Contents("other user\\Aerolinker.ini"),
              std::string(kOlderSettings) + "\r\nFrom=windows");
    // Nothing anywhere: no settings file, but the folder for the first save.
    const GivenFolder fresh(folder.PathOf("fresh\\Aerolinker"));
    EXPECT_EQ(TakeOverOlderSettings(fresh, {&none}), "");
    EXPECT_FALSE(FileExists(ConfigFilePath(fresh)));
    EXPECT_EQ(ReplaceFileContents(ConfigFilePath(fresh), "[Aerolinker]\r\n"), 0);
}

}  // namespace
}  // namespace aerolinker
