// RFC 4180 CSV: what needs quoting is quoted, and every field reads back as it was written.
#include "common/csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace aerolinker {
namespace {

TEST(CsvTest, RecordsQuoteOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvRecord({"LIEO", "", "Cessna 172 Skyhawk"}), "LIEO,,Cessna 172 Skyhawk\r\n");
    EXPECT_EQ(CsvRecord({"Beech, King Air", "say \"hi\"", "a\r\nb", "c\nd", "e\rf"}),
              "\"Beech, King Air\",\"say \"\"hi\"\"\",\"a\r\nb\",\"c\nd\",\"e\rf\"\r\n");
}

TEST(CsvTest, FieldsReadBackAsWritten) {
    const std::vector<CsvFields> table = {
        {"Date", "Aircraft", "Pilot"},
        {"2026-12-07", "Beech, \"King\" Air 350", "Rossi\r\nMario"},
        {"", "", ""},
        {" spaced ", "\"", ",,"},
        {"only"},
    };
    std::string text;
    for (const CsvFields& record : table) {
        text += CsvRecord(record);
    }
    std::vector<CsvFields> read;
    ASSERT_TRUE(ParseCsv(text, read));
    EXPECT_EQ(read, table);
}

TEST(CsvTest, LenientLineEndsStrictQuotes) {
    std::vector<CsvFields> read;
    ASSERT_TRUE(ParseCsv("a,b\nc,\n\"d\"", read));  // LF only, a trailing empty field, no end
    EXPECT_EQ(read, (std::vector<CsvFields>{{"a", "b"}, {"c", ""}, {"d"}}));
    ASSERT_TRUE(ParseCsv("", read));
    EXPECT_TRUE(read.empty());

    for (const char* bad :
         {"\"open,quote\r\n", "\"closed\"stray\r\n", "un\"quoted\r\n", "lone\rcr\r\n"}) {
        EXPECT_FALSE(ParseCsv(bad, read)) << bad;
    }
}

}  // namespace
}  // namespace aerolinker
