// Typed values through the store: times and dates in the regional formats, and a time that
// is not one.
#include <gtest/gtest.h>

#include <string>

#include "common/app_error.h"
#include "persistence/ini_file.h"
#include "temp_folder.h"

namespace aerolinker {
namespace {

constexpr char kSection[] = "Aerolinker";

RegionalSettings Italian() {
    RegionalSettings regional;
    regional.decimalSeparator = ',';
    regional.timeSeparator = '.';
    regional.dateSeparator = '-';
    return regional;
}

class ConfigStoreTest : public testing::Test {
protected:
    std::string Path() { return folder_.PathOf("Aerolinker.ini"); }
    TempFolder folder_;
};

TEST_F(ConfigStoreTest, TimesAndDatesUseTheRegionalFormats) {
    IniFile ini(Path(), Italian());
    ini.WriteTime(kSection, "ToTime", (10 * 3600 + 5 * 60 + 30) / 86400.0);
    ini.WriteDate(kSection, "DateLog", LocalDateTime{2024, 3, 14, 23, 59, 58, 0});
    EXPECT_EQ(folder_.Contents("Aerolinker.ini"),
              "[Aerolinker]\r\nToTime=10.05.30\r\nDateLog=14-03-2024\r\n");
    EXPECT_NEAR(ini.ReadTime(kSection, "totime", 0), (10 * 3600 + 5 * 60 + 30) / 86400.0, 1e-9);
}

TEST_F(ConfigStoreTest, MissingTimeGivesTheDefaultToTheSecond) {
    IniFile ini(Path(), RegionalSettings{});
    const double defaultTime = (13 * 3600 + 14 * 60 + 15.75) / 86400.0;
    EXPECT_NEAR(ini.ReadTime(kSection, "ToTime", defaultTime), (13 * 3600 + 14 * 60 + 15) / 86400.0,
                1e-9);
}

TEST_F(ConfigStoreTest, TextThatIsNoTimeRaisesTheConversionError) {
    folder_.Put("Aerolinker.ini", "[Aerolinker]\r\nToTime=half past ten\r\nEmpty=\r\n");
    IniFile ini(Path(), RegionalSettings{});
    try {
        ini.ReadTime(kSection, "ToTime", 0.5);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "'half past ten' is not a valid time");
    }
    // A present empty value is text like any other, not a missing key.
    try {
        ini.ReadTime(kSection, "Empty", 0.5);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "'' is not a valid time");
    }
}

}  // namespace
}  // namespace aerolinker
