// The configuration file on disk: defaults, write-through, the 2047-character limit, and every
// kind of damaged or protected file giving its default or its error without losing keys.
#include <gtest/gtest.h>

#include <chrono>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/app_error.h"
#include "common/file_io.h"
#include "persistence/ini_file.h"
#include "temp_folder.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

constexpr char kSection[] = "Aerolinker";
constexpr char kFile[] = "Aerolinker.ini";

class IniFileTest : public testing::Test {
protected:
    IniFile Ini() { return IniFile(folder_.PathOf(kFile), RegionalSettings{}); }
    std::string File() { return folder_.Contents(kFile); }

    void ExpectRefused(IniFile& ini, const std::string& key, const std::string& value) {
        try {
            ini.WriteText(kSection, key, value);
            ADD_FAILURE() << "the write of " << key << " was not refused";
        } catch (const AppError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + folder_.PathOf(kFile));
        }
    }

    int FilesInFolder() {
        int files = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_.Native())) {
            ++files;
        }
        return files;
    }

    TempFolder folder_;
};

TEST_F(IniFileTest, MissingFileGivesDefaultsAndReadsCreateNothing) {
    IniFile ini = Ini();
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "None");
    EXPECT_EQ(ini.ReadInteger(kSection, "Riga", 1), 1);
    EXPECT_FALSE(FileExists(folder_.PathOf(kFile)));
}

TEST_F(IniFileTest, FirstWriteCreatesTheFileWithCrLf) {
    IniFile ini = Ini();
    ini.WriteText(kSection, "PilotName", "ACE");
    ini.WriteInteger(kSection, "Wayp", -1);
    EXPECT_EQ(File(), "[Aerolinker]\r\nPilotName=ACE\r\nWayp=-1\r\n");
    EXPECT_EQ(FilesInFolder(), 1) << "a temporary file was left behind";
}

TEST_F(IniFileTest, NothingIsCachedBetweenCalls) {
    IniFile ini = Ini();
    ini.WriteText(kSection, "ID", "1");
    folder_.Put(kFile, "[Aerolinker]\nID=2\n");
    EXPECT_EQ(ini.ReadText(kSection, "ID", ""), "2");
    // A second store on the same file sees the first one's write at once.
    IniFile other = Ini();
    ini.WriteText(kSection, "Number", "3");
    EXPECT_EQ(other.ReadText(kSection, "number", ""), "3");
    EXPECT_EQ(File(), "[Aerolinker]\nID=2\nNumber=3\r\n");
}

TEST_F(IniFileTest, AWriteThatChangesNothingLeavesTheFileAlone) {
    IniFile ini = Ini();
    ini.WriteText(kSection, "NPunti", "5");
    const fs::path path = folder_.Native() / kFile;
    const auto old = fs::last_write_time(path) - std::chrono::hours(24);
    fs::last_write_time(path, old);
    ini.WriteText(kSection, "npunti", "5");
    EXPECT_EQ(fs::last_write_time(path), old) << "the same bytes were written again";
    ini.WriteText(kSection, "NPunti", "6");
    EXPECT_NE(fs::last_write_time(path), old);
    EXPECT_EQ(File(), "[Aerolinker]\r\nNPunti=6\r\n");
}

TEST_F(IniFileTest, EmptyValueIsNotTheDefault) {
    IniFile ini = Ini();
    ini.WriteText(kSection, "PilotName", "");
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "");
}

TEST_F(IniFileTest, LongValuesAreCutTo2047Characters) {
    IniFile ini = Ini();
    std::string route(3000, 'R');
    ini.WriteText(kSection, "Clearance", route);
    EXPECT_EQ(ini.ReadText(kSection, "Clearance", ""), std::string(2047, 'R'));
    EXPECT_EQ(ini.ReadText(kSection, "Missing", std::string(2100, 'D')), std::string(2047, 'D'));
    EXPECT_NE(File().find(route), std::string::npos) << "the file keeps the whole text";
}

TEST_F(IniFileTest, ValueEndsAtANulByte) {
    folder_.Put(kFile, std::string("[Aerolinker]\r\nID=12\0 34\r\n", 25));
    EXPECT_EQ(Ini().ReadText(kSection, "ID", ""), "12");
}

TEST_F(IniFileTest, LineOfSeveralMegabytesIsReadAndKept) {
    const std::string huge(6 * 1024 * 1024, 'x');
    const std::string before = "[Aerolinker]\r\nHuge=" + huge + "\r\n" + huge + "\r\nID=7\r\n";
    folder_.Put(kFile, before);
    IniFile ini = Ini();
    EXPECT_EQ(ini.ReadText(kSection, "ID", ""), "7");
    EXPECT_EQ(ini.ReadText(kSection, "Huge", ""), huge.substr(0, 2047));
    ini.WriteText(kSection, "ID", "8");
    EXPECT_EQ(File(), "[Aerolinker]\r\nHuge=" + huge + "\r\n" + huge + "\r\nID=8\r\n");
}

TEST_F(IniFileTest, BinaryGarbageGivesDefaultsAndIsKeptByAWrite) {
    // Deterministic noise over every byte value, CR, LF, "[", "]" and "=" included.
    std::string garbage;
    std::uint32_t state = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        state = state * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(state >> 16));
    }
    ASSERT_EQ(garbage.find("Aerolinker"), std::string::npos);
    folder_.Put(kFile, garbage);
    IniFile ini = Ini();
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "None");
    EXPECT_EQ(ini.ReadInteger(kSection, "Riga", 1), 1);
    ini.WriteText(kSection, "PilotName", "ACE");
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "ACE");
    std::string after = File();
    EXPECT_EQ(after.substr(0, garbage.size()), garbage);
}

TEST_F(IniFileTest, NamesAndValuesAboveAscii127PassUnchanged) {
    IniFile ini = Ini();
    ini.WriteText(kSection, "PilotName", "J\xD6RG M\xDCLLER");
    ini.WriteText("Se\xE7\xE3o", "Chave\xE9", "\xFF\x80");
    EXPECT_EQ(ini.ReadText("aerolinker", "pilotname", ""), "J\xD6RG M\xDCLLER");
    EXPECT_EQ(ini.ReadText("SE\xE7\xE3O", "CHAVE\xE9", ""), "\xFF\x80");
    EXPECT_EQ(File(),
              "[Aerolinker]\r\nPilotName=J\xD6RG M\xDCLLER\r\n\r\n[Se\xE7\xE3o]\r\n"
              "Chave\xE9=\xFF\x80\r\n");
}

// A file Notepad saved as "Unicode" (UTF-16 with its byte-order mark) is read, and a write
// keeps it UTF-16 instead of adding single-byte lines to it.
TEST_F(IniFileTest, AUnicodeFileIsReadAndWrittenAsUnicode) {
    const auto utf16 = [](const std::string& text) {
        std::string wide = "\xFF\xFE";
        for (char c : text) {
            wide += c;
            wide += '\0';
        }
        return wide;
    };
    folder_.Put(kFile, utf16("[Aerolinker]\r\nPilotName=ACE PILOT\r\nFlightdir=D:\\Logs\r\n"));
    IniFile ini = Ini();
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "ACE PILOT");
    ini.WriteText(kSection, "ID", "CSA7");
    EXPECT_EQ(ini.ReadText(kSection, "Flightdir", ""), "D:\\Logs");
    EXPECT_EQ(File(), utf16("[Aerolinker]\r\nPilotName=ACE PILOT\r\nFlightdir=D:\\Logs\r\n"
                            "ID=CSA7\r\n"));
    // Its characters in the code page (e acute, the euro sign) come as the code page's bytes;
    // one the code page lacks, as '?'.
    folder_.Put(kFile, utf16("[Aerolinker]\r\nPilotName=Jos") +
                           std::string("\xE9\0\xAC\x20\x2D\x4E", 6) + utf16("\r\n").substr(2));
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "Jos\xE9\x80?");
}

TEST_F(IniFileTest, ReadOnlyFileRefusesWritesAndStaysAsItWas) {
    const std::string before = "; hand-made\r\n[Aerolinker]\r\nPilotName=ACE\r\n";
    folder_.Put(kFile, before);
    fs::permissions(folder_.Native() / kFile,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    IniFile ini = Ini();
    ExpectRefused(ini, "ID", "7");
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", ""), "ACE");
    fs::permissions(folder_.Native() / kFile, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(File(), before);
}

TEST_F(IniFileTest, MissingFolderRefusesWrites) {
    IniFile ini(folder_.PathOf("no-such-folder") + "\\" + kFile, RegionalSettings{});
    try {
        ini.WriteText(kSection, "ID", "7");
        ADD_FAILURE() << "the write was not refused";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + ini.FileName());
    }
}

// A file that is there but cannot be read must not be replaced by one holding a single key.
TEST_F(IniFileTest, FolderInThePlaceOfTheFileGivesDefaultsAndRefusesWrites) {
    fs::create_directory(folder_.Native() / kFile);
    IniFile ini = Ini();
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "None");
    ExpectRefused(ini, "PilotName", "ACE");
    EXPECT_TRUE(fs::is_directory(folder_.Native() / kFile));
}

TEST_F(IniFileTest, ReadOnlyFolderRefusesWrites) {
    fs::permissions(folder_.Native(), fs::perms::owner_read | fs::perms::owner_exec,
                    fs::perm_options::replace);
    // Windows ignores a folder's read-only flag and root passes over POSIX permissions: where a
    // file can still be made in the folder, there is nothing to test.
    const fs::path probe = folder_.Native() / "probe";
    if (std::ofstream(probe).is_open()) {
        fs::remove(probe);
        GTEST_SKIP() << "the folder's read-only flag does not bind for this user or system";
    }
    IniFile ini = Ini();
    ExpectRefused(ini, "PilotName", "ACE");
    EXPECT_EQ(ini.ReadText(kSection, "PilotName", "None"), "None");
}

struct IntegerCase {
    const char* text;
    std::int32_t expected;  // with the default 99
};

class ParseIniIntegerTest : public testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIniIntegerTest, DecimalOrHexElseTheDefault) {
    EXPECT_EQ(ParseIniInteger(GetParam().text, 99), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseIniIntegerTest,
    testing::Values(IntegerCase{"0", 0}, IntegerCase{"67", 67}, IntegerCase{"0067", 67},
                    IntegerCase{"-1", -1}, IntegerCase{"+5", 5}, IntegerCase{"-0003", -3},
                    IntegerCase{"0x1F", 31}, IntegerCase{"0X1f", 31},
                    IntegerCase{"0x7FFFFFFF", 2147483647}, IntegerCase{"0xFFFFFFFF", -1},
                    IntegerCase{"0x100000000", 99}, IntegerCase{"0x", 99}, IntegerCase{"0xG", 99},
                    IntegerCase{"-0x1F", 99}, IntegerCase{"12abc", 99}, IntegerCase{"abc", 99},
                    IntegerCase{"", 99}, IntegerCase{"-", 99}, IntegerCase{"+", 99},
                    IntegerCase{"1 2", 99}, IntegerCase{"1.5", 99},
                    IntegerCase{"2147483647", 2147483647}, IntegerCase{"2147483648", 99},
                    IntegerCase{"-2147483648", INT32_MIN}, IntegerCase{"-2147483649", 99},
                    IntegerCase{"99999999999999999999999", 99}));

TEST_F(IniFileTest, IntegersAreReadFromTheTrimmedValue) {
    folder_.Put(kFile, "[Aerolinker]\r\nRiga =  0x1F \r\nWayp=12abc\r\nNPunti=\r\n");
    IniFile ini = Ini();
    EXPECT_EQ(ini.ReadInteger(kSection, "Riga", 1), 31);
    EXPECT_EQ(ini.ReadInteger(kSection, "Wayp", 1), 1);
    EXPECT_EQ(ini.ReadInteger(kSection, "NPunti", 1), 1);
}

}  // namespace
}  // namespace aerolinker
