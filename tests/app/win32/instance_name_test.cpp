// The single-instance mutex is named after the program file, wherever it lies.
#include "app/win32/instance_name.h"

#include <gtest/gtest.h>

namespace aerolinker {
namespace {

TEST(InstanceMutexName, IsTheFileNameWithoutFolderInUpperCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Aerolinker\\aerolinker.exe", "AEROLINKER.EXE"},
        {"D:\\Flight\\Tools\\AeroLinker.Exe", "AEROLINKER.EXE"},
        {"aerolinker.exe", "AEROLINKER.EXE"},
        {"\\\\server\\share\\apps\\aerolinker.exe", "AEROLINKER.EXE"},
        {"\\\\?\\C:\\very\\long\\aerolinker.exe", "AEROLINKER.EXE"},
        {"C:aerolinker.exe", "AEROLINKER.EXE"},
        {"Z:/home/pilot/bin/aerolinker.exe", "AEROLINKER.EXE"},
        // A renamed copy is another program as far as the guard goes.
        {"C:\\Apps\\aerolinker-test.exe", "AEROLINKER-TEST.EXE"},
        // Letters beyond ASCII stay as they are: the name must not depend on the code page.
        {"C:\\Apps\\vol\xe9.exe", "VOL\xe9.EXE"},
    };
    for (const auto& [path, expected] : cases) {
        EXPECT_EQ(InstanceMutexName(path), expected) << path;
    }
}

}  // namespace
}  // namespace aerolinker
