// Proof that our INI file and Windows' own INI service read each other's writes: names in any
// case, empty values, and files holding other sections and comments.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "persistence/ini_file.h"
#include "../temp_folder.h"

namespace aerolinker {
namespace {

constexpr char kSection[] = "Aerolinker";

class IniInteropTest : public testing::Test {
protected:
    std::string Path() { return folder_.PathOf("Aerolinker.ini"); }

    void WindowsWrite(const char* section, const char* key, const char* value) {
        ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, Path().c_str()))
            << section << "/" << key;
        FlushWindowsCache();
    }

    // What GetPrivateProfileStringA returns, or "<default>" for a missing key.
    std::string WindowsRead(const char* section, const char* key) {
        FlushWindowsCache();
        char buffer[2048] = {};
        GetPrivateProfileStringA(section, key, "<default>", buffer, sizeof buffer, Path().c_str());
        return buffer;
    }

    // The INI service may keep a file in memory; all-null arguments make it let go, so that
    // the other side's writes are seen.
    void FlushWindowsCache() {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, Path().c_str());
    }

    TempFolder folder_;
};

TEST_F(IniInteropTest, OursReadsWhatWindowsWrote) {
    WindowsWrite("Other", "PilotName", "NOT THIS ONE");
    WindowsWrite(kSection, "PilotName", "ACE PILOT");
    WindowsWrite(kSection, "ID", "");
    WindowsWrite(kSection, "Flightdir", "D:\\My Flights");
    WindowsWrite(kSection, "Wayp", "-1");
    WindowsWrite("Third", "Key", "x");

    IniFile ini(Path(), RegionalSettings{});
    EXPECT_EQ(ini.ReadText("aerolinker", "pilotname", "None"), "ACE PILOT");
    EXPECT_EQ(ini.ReadText(kSection, "ID", "None"), "");
    EXPECT_EQ(ini.ReadText(kSection, "FlightDir", "C:\\"), "D:\\My Flights");
    EXPECT_EQ(ini.ReadInteger("AEROLINKER", "WAYP", 1), -1);
    EXPECT_EQ(ini.ReadText(kSection, "Number", "None"), "None");
    EXPECT_EQ(ini.ReadText("Other", "PilotName", ""), "NOT THIS ONE");
    EXPECT_EQ(ini.ReadText("Third", "Key", ""), "x");
}

TEST_F(IniInteropTest, WindowsReadsWhatOursWrote) {
    folder_.Put("Aerolinker.ini",
                "; Settings of other programs stay where they are\r\n"
                "[Other]\r\n"
                "Colour=blue\r\n"
                "\r\n"
                "[aerolinker]\r\n"
                "; the pilot\r\n"
                "pilotname=OLD\r\n"
                "\r\n"
                "[Last]\r\n"
                "Key=v\r\n");
    IniFile ini(Path(), RegionalSettings{});
    ini.WriteText(kSection, "PilotName", "ACE PILOT");
    ini.WriteText(kSection, "Number", "");
    ini.WriteText(kSection, "Flightdir", "D:\\My Flights");
    ini.WriteInteger(kSection, "Riga", 3);
    ini.WriteText("New", "Key", "n");

    EXPECT_EQ(WindowsRead("AeroLinker", "PILOTNAME"), "ACE PILOT");
    EXPECT_EQ(WindowsRead(kSection, "Number"), "");
    EXPECT_EQ(WindowsRead(kSection, "FlightDir"), "D:\\My Flights");
    EXPECT_EQ(GetPrivateProfileIntA(kSection, "riga", 1, Path().c_str()), 3u);
    EXPECT_EQ(WindowsRead(kSection, "ID"), "<default>");
    EXPECT_EQ(WindowsRead("Other", "Colour"), "blue");
    EXPECT_EQ(WindowsRead("Last", "Key"), "v");
    EXPECT_EQ(WindowsRead("New", "Key"), "n");
}

TEST_F(IniInteropTest, BothSidesTakeTurnsOnOneFile) {
    IniFile ini(Path(), RegionalSettings{});
    ini.WriteText(kSection, "PilotName", "FIRST");
    WindowsWrite(kSection, "pilotNAME", "SECOND");
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", ""), "SECOND");
    ini.WriteText(kSection, "PILOTNAME", "THIRD");
    EXPECT_EQ(WindowsRead(kSection, "PilotName"), "THIRD");
    WindowsWrite(kSection, "ID", "CSA123");
    EXPECT_EQ(ini.ReadText(kSection, "id", ""), "CSA123");
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", ""), "THIRD");
}

}  // namespace
}  // namespace aerolinker
