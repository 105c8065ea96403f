// The window places: a place kept beside the program's own settings, each window's apart,
// and a damaged place read as none rather than as part of one.
#include "persistence/window_places.h"

#include <gtest/gtest.h>

#include <string>

#include "persistence/ini_file.h"
#include "temp_folder.h"

namespace aerolinker {
namespace {

class WindowPlacesTest : public testing::Test {
protected:
    IniFile Ini() { return IniFile(folder_.PathOf("Aerolinker.ini"), RegionalSettings{}); }
    TempFolder folder_;
};

TEST_F(WindowPlacesTest, EachWindowKeepsItsPlaceInItsOwnSectionLeavingTheSettingsAlone) {
    const std::string settings = "[Aerolinker]\r\nPilotName=Jane Doe\r\nRiga=4\r\n";
    folder_.Put("Aerolinker.ini", settings);
    IniFile ini = Ini();
    const WindowPlace main{-1270, 40, 900, 640, true};
    const WindowPlace profile{1290, 8, 640, 560, false};
    WriteWindowPlace(ini, kMainWindowName, main);
    WriteWindowPlace(ini, kProfileWindowName, profile);
    EXPECT_EQ(ReadWindowPlace(ini, kMainWindowName), main);
    EXPECT_EQ(ReadWindowPlace(ini, kProfileWindowName), profile);

    // Moved again, the window's keys are replaced, not added to.
    const WindowPlace moved{10, 20, 700, 500, false};
    WriteWindowPlace(ini, kMainWindowName, moved);
    EXPECT_EQ(ReadWindowPlace(ini, kMainWindowName), moved);
    EXPECT_EQ(folder_.Contents("Aerolinker.ini"),
              settings +
                  "\r\n[WindowPlaces]\r\nMainLeft=10\r\nMainTop=20\r\nMainWidth=700\r\n"
                  "MainHeight=500\r\nMainMaximised=0\r\nProfileLeft=1290\r\nProfileTop=8\r\n"
                  "ProfileWidth=640\r\nProfileHeight=560\r\nProfileMaximised=0\r\n");
}

TEST_F(WindowPlacesTest, AMissingOrDamagedKeyGivesNoPlace) {
    const std::string whole =
        "MainLeft=10\r\nMainTop=-20\r\nMainWidth=700\r\nMainHeight=500\r\nMainMaximised=1\r\n";
    struct Case {
        const char* key;
        const char* damaged;  // nullptr: the key is left out
    };
    const Case cases[] = {
        {"MainTop", nullptr},   {"MainLeft", "ten"},    {"MainWidth", "0"},
        {"MainHeight", "-500"}, {"MainMaximised", "2"}, {"MainMaximised", nullptr},
        {"MainWidth", "700px"}, {"MainLeft", ""},
    };
    for (const Case& c : cases) {
        std::string text = "[WindowPlaces]\r\n";
        for (size_t at = 0; at < whole.size();) {
            const size_t end = whole.find("\r\n", at) + 2;
            const std::string line = whole.substr(at, end - at);
            if (line.rfind(std::string(c.key) + "=", 0) != 0) {
                text += line;
            } else if (c.damaged) {
                text += std::string(c.key) + "=" + c.damaged + "\r\n";
            }
            at = end;
        }
        folder_.Put("Aerolinker.ini", text);
        IniFile ini = Ini();
        EXPECT_EQ(ReadWindowPlace(ini, kMainWindowName), std::nullopt)
            << c.key << "=" << (c.damaged ? c.damaged : "(missing)");
    }
    folder_.Put("Aerolinker.ini", "[WindowPlaces]\r\n" + whole);
    IniFile ini = Ini();
    EXPECT_EQ(ReadWindowPlace(ini, kMainWindowName), (WindowPlace{10, -20, 700, 500, true}));
    EXPECT_EQ(ReadWindowPlace(ini, kProfileWindowName), std::nullopt);
}

}  // namespace
}  // namespace aerolinker
