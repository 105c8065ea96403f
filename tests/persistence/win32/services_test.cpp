// The Windows folder as the platform reports it, and the shell's copy for the backups.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "persistence/win32/services.h"
#include "../temp_folder.h"

namespace aerolinker {
namespace {

TEST(Win32WindowsFolderTest, ReportsAnExistingFolderWithoutTrailingSeparator) {
    Win32WindowsFolder windows;
    std::string path = windows.Path();
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), '\\');
    EXPECT_TRUE(std::filesystem::is_directory(path)) << path;
    EXPECT_EQ(ConfigFilePath(windows), path + "\\Aerolinker.ini");
    EXPECT_EQ(ConfigBackupPath(windows), path + "\\Aerolinker.inibak");
}

TEST(ShellFileCopierTest, CopiesOntoAnExistingBackupWithoutAsking) {
    TempFolder folder;
    folder.Put("Navforge.log", "CORALSTRAITS ARLINES\r\nline two\r\n");
    folder.Put("Navforge.bak", "an older, longer log that must go entirely\r\n");
    ShellFileCopier copier;
    EXPECT_TRUE(copier.Copy(folder.PathOf("Navforge.log"), folder.PathOf("Navforge.bak")));
    EXPECT_EQ(folder.Contents("Navforge.bak"), "CORALSTRAITS ARLINES\r\nline two\r\n");
    EXPECT_EQ(folder.Contents("Navforge.log"), "CORALSTRAITS ARLINES\r\nline two\r\n");
}

TEST(ShellFileCopierTest, CreatesTheBackupWhenThereIsNone) {
    TempFolder folder;
    folder.Put("Aerolinker.ini", "[Aerolinker]\r\nRiga=3\r\n");
    ShellFileCopier copier;
    EXPECT_TRUE(copier.Copy(folder.PathOf("Aerolinker.ini"), folder.PathOf("Aerolinker.inibak")));
    EXPECT_EQ(folder.Contents("Aerolinker.inibak"), "[Aerolinker]\r\nRiga=3\r\n");
}

}  // namespace
}  // namespace aerolinker
