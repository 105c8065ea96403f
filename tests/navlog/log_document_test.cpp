// The log document's line operations, its saves and its header lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/app_error.h"
#include "common/file_io.h"
#include "navlog/log_document.h"
#include "navlog/log_file.h"
#include "navlog/log_header.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> LinesOf(const LogDocument& document) {
    return document.Lines();
}

TEST(LogDocumentTest, InsertAtMovesLinesDownAndIgnoresPositionsOutsideTheDocument) {
    LogDocument document;
    document.Append("a");
    document.Append("c");
    document.InsertAt(1, "b");
    document.InsertAt(3, "d");  // equal to the count: appends
    document.InsertAt(5, "past the end");
    document.InsertAt(-1, "negative");
    EXPECT_EQ(LinesOf(document), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(LogDocumentTest, LineBreaksInsideATextMakeSeveralLines) {
    LogDocument document;
    document.Append("first");
    document.Append("last");
    document.InsertAt(1, "Clearance   :LIEO->\r\n>LIRQ");
    document.Append("");
    EXPECT_EQ(LinesOf(document),
              (std::vector<std::string>{"first", "Clearance   :LIEO->", ">LIRQ", "last", ""}));
}

TEST(LogDocumentTest, LoadDropsOnlyTheBreakThatEndsTheText) {
    LogDocument document;
    document.Load("one\r\ntwo\r\n\r\n");
    EXPECT_EQ(LinesOf(document), (std::vector<std::string>{"one", "two", ""}));
    document.Load("");
    EXPECT_EQ(document.LineCount(), 0);
    document.Load("no break at the end");
    EXPECT_EQ(document.LineCount(), 1);
}

TEST(LogDocumentTest, DeleteAndChangeNotifications) {
    LogDocument document;
    int changes = 0;
    document.SetChangeListener([&] { ++changes; });
    document.Append("x");
    document.Append("y");
    document.Delete(0);
    document.Delete(7);  // outside: nothing
    EXPECT_EQ(LinesOf(document), (std::vector<std::string>{"y"}));
    EXPECT_EQ(changes, 3);
}

class LogFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("aerolinker-logfile-" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        document_.Append("CORALSTRAITS");
        document_.Append("row");
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string LogPath() const { return folder_.string() + kLogFileName; }
    std::string Read(const std::string& path) {
        std::string bytes;
        EXPECT_EQ(ReadFileContents(path, bytes), 0);
        return bytes;
    }

    fs::path folder_;
    LogDocument document_;
};

TEST_F(LogFileTest, DirectSaveEndsEveryLineWithCrLfAndNothingMore) {
    DirectSave(document_, LogPath());
    EXPECT_EQ(Read(LogPath()), "CORALSTRAITS\r\nrow\r\n");
}

TEST_F(LogFileTest, TrackerSaveEndsWithOneEmptyLine) {
    TrackerSave(document_, LogPath());
    EXPECT_EQ(Read(LogPath()), "CORALSTRAITS\r\nrow\r\n\r\n");
}

TEST_F(LogFileTest, AFailedSaveRaisesTheFileErrorAndKeepsThePreviousFile) {
    DirectSave(document_, LogPath());
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    document_.Append("never written");
    bool raised = false;
    try {
        TrackerSave(document_, LogPath());
    } catch (const AppError& error) {
        raised = true;
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"" + LogPath() + "\". ", 0),
                  0u)
            << error.what();
    }
    fs::permissions(folder_, fs::perms::owner_all);
    // Root may write into a read-only folder; the missing-folder case below covers it then.
    if (raised) {
        EXPECT_EQ(Read(LogPath()), "CORALSTRAITS\r\nrow\r\n");
    }
    const std::string missing = folder_.string() + "\\missing" + kLogFileName;
    EXPECT_THROW(DirectSave(document_, missing), AppError);
    EXPECT_FALSE(FileExists(missing));
}

TEST_F(LogFileTest, ReadingAMissingLogRaisesCannotOpen) {
    try {
        ReadLogFile(LogPath());
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot open file \"" + LogPath() + "\". ", 0),
                  0u);
    }
}

TEST(LogHeaderTest, HeaderAndTableHeaderLines) {
    LogDocument document;
    RegionalSettings regional;
    WriteLogHeader(document, "Generic Twin Turboprop", "Test Pilot",
                   LocalDateTime{2026, 12, 6, 9, 0, 0, 0}, regional);
    WriteTableHeader(document);
    const std::string separator(71, '-');
    EXPECT_EQ(LinesOf(document),
              (std::vector<std::string>{
                  "CORALSTRAITS ARLINES                                    NAVIGATION LOG",
                  separator,
                  "Aircraft Ident : Generic Twin Turboprop",
                  "Pilot          : Test Pilot",
                  "Date           : 06/12/2026",
                  separator,
                  separator,
                  "CHK-PNT |Frequency   | HDG |  ALT  | Wind  |Distance| ETE | ETO |NOTE ",
                  "or FIXES| VOR | NDB  |     |  (FL) |       |Leg/Rema| ATE | ATO |     ",
                  separator,
              }));
    EXPECT_EQ(document.Line(0).size(), 70u);
    EXPECT_EQ(document.Line(7).size(), 70u);
    EXPECT_EQ(document.Line(8).size(), 70u);

    regional.dateSeparator = '.';
    EXPECT_EQ(DateText(LocalDateTime{2026, 12, 6, 0, 0, 0, 0}, regional), "06.12.2026");
}

}  // namespace
}  // namespace aerolinker
