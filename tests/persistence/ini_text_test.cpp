// The INI layout rules on text: which line a key is read from, and how a write changes the
// text while every other line stays as it was.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "persistence/ini_text.h"

namespace aerolinker {
namespace {

struct FindCase {
    const char* what;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

class FindIniValueTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindIniValueTest, ReadsTheValueWindowsWouldRead) {
    const FindCase& c = GetParam();
    std::optional<std::string_view> found = FindIniValue(c.text, c.section, c.key);
    std::optional<std::string> got;
    if (found) {
        got = std::string(*found);
    }
    EXPECT_EQ(got, c.expected) << c.what;
}

const std::string kBasic = "[Aerolinker]\r\nPilotName=ACE\r\nID=\r\n";

INSTANTIATE_TEST_SUITE_P(
    Lines, FindIniValueTest,
    testing::Values(
        FindCase{"plain", kBasic, "Aerolinker", "PilotName", "ACE"},
        FindCase{"names ignore case", kBasic, "aerolinker", "PILOTNAME", "ACE"},
        FindCase{"present but empty", kBasic, "Aerolinker", "ID", ""},
        FindCase{"missing key", kBasic, "Aerolinker", "Number", std::nullopt},
        FindCase{"missing section", kBasic, "Other", "PilotName", std::nullopt},
        FindCase{"empty text", "", "Aerolinker", "PilotName", std::nullopt},
        FindCase{"LF line ends", "[Aerolinker]\nPilotName=ACE\nID=7\n", "Aerolinker", "ID", "7"},
        FindCase{"last line without line end", "[Aerolinker]\r\nID=7", "Aerolinker", "ID", "7"},
        FindCase{"blanks around names and value", " [ Aerolinker ] \r\n\t PilotName \t=  A B  \r\n",
                 "Aerolinker", "PilotName", "A B"},
        FindCase{"double quotes dropped", "[Aerolinker]\r\nID=\" 7 \"\r\n", "Aerolinker", "ID",
                 " 7 "},
        FindCase{"single quotes dropped", "[Aerolinker]\r\nID='7'\r\n", "Aerolinker", "ID", "7"},
        FindCase{"unpaired quote kept", "[Aerolinker]\r\nID=\"7'\r\n", "Aerolinker", "ID", "\"7'"},
        FindCase{"lone quote kept", "[Aerolinker]\r\nID=\"\r\n", "Aerolinker", "ID", "\""},
        FindCase{"equals sign inside the value", "[Aerolinker]\r\nClearance=A=B\r\n", "Aerolinker",
                 "Clearance", "A=B"},
        FindCase{"key before any section", "ID=1\r\n[Aerolinker]\r\nPilotName=ACE\r\n",
                 "Aerolinker", "ID", std::nullopt},
        FindCase{"same key in another section", "[Other]\r\nID=1\r\n[Aerolinker]\r\nID=2\r\n",
                 "Aerolinker", "ID", "2"},
        FindCase{"first of duplicate keys", "[Aerolinker]\r\nID=1\r\nid=2\r\n", "Aerolinker", "ID",
                 "1"},
        FindCase{"first of duplicate sections", "[A]\r\nID=1\r\n[B]\r\n[a]\r\nID=2\r\n", "A", "ID",
                 "1"},
        FindCase{"a duplicate section adds nothing", "[A]\r\nID=1\r\n[a]\r\nNumber=2\r\n", "A",
                 "Number", std::nullopt},
        FindCase{"commented out", "[Aerolinker]\r\n;ID=1\r\n", "Aerolinker", "ID", std::nullopt},
        FindCase{"line without equals sign", "[Aerolinker]\r\nID\r\nNumber=3\r\n", "Aerolinker",
                 "ID", std::nullopt},
        FindCase{"no header without the closing bracket", "[Aerolinker\r\nID=4\r\n", "Aerolinker",
                 "ID", std::nullopt},
        FindCase{"text after the closing bracket", "[Aerolinker] main\r\nID=4\r\n", "Aerolinker",
                 "ID", "4"},
        FindCase{"byte order mark before the first section", "\xEF\xBB\xBF[Aerolinker]\r\nID=7\r\n",
                 "Aerolinker", "ID", "7"},
        FindCase{"bytes above 127 pass unchanged", "[Aerolinker]\r\nN\xE9me=Caf\xE9\r\n",
                 "Aerolinker", "N\xE9me", "Caf\xE9"},
        FindCase{"only ASCII letters fold", "[Aerolinker]\r\nN\xE9me=Caf\xE9\r\n", "Aerolinker",
                 "N\xC9me", std::nullopt},
        FindCase{"NUL bytes are ordinary bytes", std::string("[A]\r\nID=1\0002\r\n", 13), "A", "ID",
                 std::string("1\0002", 3)}));

struct SetCase {
    const char* what;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

class SetIniValueTest : public testing::TestWithParam<SetCase> {};

TEST_P(SetIniValueTest, ChangesOneLineAndKeepsTheRest) {
    const SetCase& c = GetParam();
    std::string after = SetIniValue(c.before, c.section, c.key, c.value);
    EXPECT_EQ(after, c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SetIniValueTest,
    testing::Values(SetCase{"first write", "", "Aerolinker", "ID", "7", "[Aerolinker]\r\nID=7\r\n"},
                    SetCase{"empty value", "", "Aerolinker", "ID", "", "[Aerolinker]\r\nID=\r\n"},
                    SetCase{"replaces in place, keeps spelling and the other lines' LF",
                            "; pilot data\n[aerolinker]\nid = 1 \nNumber=2\n", "Aerolinker", "ID",
                            "7", "; pilot data\n[aerolinker]\nid=7\r\nNumber=2\n"},
                    SetCase{"new key after the section's last line, before the blank line",
                            "[Aerolinker]\r\nA=1\r\n\r\n[Other]\r\nB=2\r\n", "Aerolinker", "ID",
                            "7", "[Aerolinker]\r\nA=1\r\nID=7\r\n\r\n[Other]\r\nB=2\r\n"},
                    SetCase{"section at the end without a line end", "[Aerolinker]\r\nA=1",
                            "Aerolinker", "ID", "7", "[Aerolinker]\r\nA=1\r\nID=7\r\n"},
                    SetCase{"empty section", "[Aerolinker]\r\n[Other]\r\n", "Aerolinker", "ID", "7",
                            "[Aerolinker]\r\nID=7\r\n[Other]\r\n"},
                    SetCase{"new section after the others", "[Other]\r\nB=2\r\n", "Aerolinker",
                            "ID", "7", "[Other]\r\nB=2\r\n\r\n[Aerolinker]\r\nID=7\r\n"},
                    SetCase{"new section after a text without a line end", "[Other]\r\nB=2",
                            "Aerolinker", "ID", "7",
                            "[Other]\r\nB=2\r\n\r\n[Aerolinker]\r\nID=7\r\n"},
                    SetCase{"no second blank line", "[Other]\r\nB=2\r\n\r\n", "Aerolinker", "ID",
                            "7", "[Other]\r\nB=2\r\n\r\n[Aerolinker]\r\nID=7\r\n"},
                    SetCase{"keys before any section stay there", "ID=1\r\n", "Aerolinker", "ID",
                            "7", "ID=1\r\n\r\n[Aerolinker]\r\nID=7\r\n"},
                    SetCase{"the first of duplicate sections", "[A]\r\nX=1\r\n[a]\r\nID=2\r\n", "A",
                            "ID", "7", "[A]\r\nX=1\r\nID=7\r\n[a]\r\nID=2\r\n"},
                    SetCase{"the first of duplicate keys", "[A]\r\nID=1\r\nID=2\r\n", "A", "ID",
                            "7", "[A]\r\nID=7\r\nID=2\r\n"},
                    SetCase{"line breaks in the value cannot plant a section", "[A]\r\n", "A", "ID",
                            "x\r\n[Evil]\nID=9", "[A]\r\nID=x  [Evil] ID=9\r\n"},
                    SetCase{"byte order mark kept", "\xEF\xBB\xBFID=1\r\n[A]\r\n", "A", "ID", "7",
                            "\xEF\xBB\xBFID=1\r\n[A]\r\nID=7\r\n"},
                    SetCase{"first line after a byte order mark", "\xEF\xBB\xBF[A]\r\nID=1\r\n",
                            "A", "ID", "7", "\xEF\xBB\xBF[A]\r\nID=7\r\n"},
                    SetCase{"bytes above 127 written unchanged", "[A]\r\n", "A", "N\xE9me",
                            "Caf\xE9", "[A]\r\nN\xE9me=Caf\xE9\r\n"}));

// A write must change what that one key reads and nothing else, whatever else the file holds.
TEST(SetIniValueProperty, EveryOtherKeyReadsAsBefore) {
    const std::string before =
        "; written by hand\r\n"
        "Stray=0\r\n"
        "[Other]\r\n"
        "ID=other\r\n"
        "PilotName = \"quoted\"\r\n"
        "\r\n"
        "[Aerolinker]\n"
        "PilotName=ACE\n"
        "Junk line\n"
        "Number=42\n"
        "[AEROLINKER]\r\n"
        "ID=shadowed\r\n"
        "[Last]\r\n"
        "Key=v";
    const std::vector<std::pair<std::string, std::string>> probes = {
        {"Other", "ID"},          {"Other", "PilotName"}, {"Aerolinker", "PilotName"},
        {"Aerolinker", "Number"}, {"Aerolinker", "ID"},   {"Last", "Key"},
        {"Missing", "Key"}};
    for (const auto& [section, key] : probes) {
        std::string after = SetIniValue(before, section, key, "new");
        EXPECT_EQ(FindIniValue(after, section, key), std::optional<std::string_view>("new"))
            << section << "/" << key;
        for (const auto& [otherSection, otherKey] : probes) {
            if (otherSection == section && otherKey == key) {
                continue;
            }
            EXPECT_EQ(FindIniValue(after, otherSection, otherKey),
                      FindIniValue(before, otherSection, otherKey))
                << "writing " << section << "/" << key << " changed " << otherSection << "/"
                << otherKey;
        }
    }
}

}  // namespace
}  // namespace aerolinker
