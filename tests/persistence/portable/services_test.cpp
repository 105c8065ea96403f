// The portable Windows folder and backup copy, and the configuration file's full names.
#include <gtest/gtest.h>

#include "common/file_io.h"
#include "persistence/portable/services.h"
#include "../temp_folder.h"

namespace aerolinker {
namespace {

TEST(ConfigPathsTest, JoinTheFolderAndTheFileNames) {
    GivenFolder windows("C:\\WINDOWS");
    EXPECT_EQ(ConfigFilePath(windows), "C:\\WINDOWS\\Aerolinker.ini");
    EXPECT_EQ(ConfigBackupPath(windows), "C:\\WINDOWS\\Aerolinker.inibak");
    // A folder named with a trailing separator does not double it.
    EXPECT_EQ(ConfigFilePath(GivenFolder("/tmp/win/")), "/tmp/win\\Aerolinker.ini");
}

TEST(ByteFileCopierTest, ReplacesTheTargetAndReportsAMissingSource) {
    TempFolder folder;
    folder.Put("Aerolinker.ini", "[Aerolinker]\r\nRiga=3\r\n");
    folder.Put("Aerolinker.inibak", "older and longer backup\r\n");
    ByteFileCopier copier;
    EXPECT_TRUE(copier.Copy(folder.PathOf("Aerolinker.ini"), folder.PathOf("Aerolinker.inibak")));
    EXPECT_EQ(folder.Contents("Aerolinker.inibak"), "[Aerolinker]\r\nRiga=3\r\n");

    EXPECT_FALSE(copier.Copy(folder.PathOf("Navforge.log"), folder.PathOf("Aerolinker.inibak")));
    EXPECT_EQ(folder.Contents("Aerolinker.inibak"), "[Aerolinker]\r\nRiga=3\r\n");
    EXPECT_FALSE(FileExists(folder.PathOf("Navforge.log")));
}

}  // namespace
}  // namespace aerolinker
