// Whole-file writes replace the old content atomically and report failures by error code.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/app_error.h"
#include "common/file_io.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("aerolinker-fileio-" +
                   std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    // Paths are joined with "\" as the program does everywhere.
    std::string PathOf(const std::string& name) { return folder_.string() + "\\" + name; }

    fs::path folder_;
};

TEST_F(FileIoTest, ReplacesWholeContentAndLeavesNoTemporaryBehind) {
    std::string path = PathOf("Navforge.log");
    ASSERT_EQ(ReplaceFileContents(path, "first version, rather long\r\n"), 0);
    ASSERT_EQ(ReplaceFileContents(path, "second\r\n"), 0);

    std::string read;
    ASSERT_EQ(ReadFileContents(path, read), 0);
    EXPECT_EQ(read, "second\r\n");
    EXPECT_TRUE(FileExists(path));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

// A target that is a folder lets the temporary be written but not renamed over it: the
// failure is reported, and neither the folder nor its neighbourhood gains a stray file.
TEST_F(FileIoTest, FailedRenameLeavesNoTemporaryBehind) {
    const std::string path = PathOf("Navforge.log");
    fs::create_directories(folder_ / "Navforge.log");
    std::ofstream(folder_ / "Navforge.log" / "kept.txt") << "kept";

    EXPECT_NE(ReplaceFileContents(path, "text"), 0);
    EXPECT_TRUE(fs::is_directory(folder_ / "Navforge.log"));
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
        names.push_back(entry.path().lexically_relative(folder_).generic_string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Navforge.log", "Navforge.log/kept.txt"}));
}

TEST_F(FileIoTest, MissingFolderIsReportedAndCreatesNothing) {
    std::string path = PathOf("no-such-folder") + "\\Navforge.log";
    int error = ReplaceFileContents(path, "text");
    EXPECT_NE(error, 0);
    EXPECT_FALSE(FileExists(path));

    std::string message = CannotCreateFileError(path, error).what();
    EXPECT_EQ(message.rfind("Cannot create file \"" + path + "\". ", 0), 0u) << message;
    EXPECT_GT(message.size(), ("Cannot create file \"" + path + "\". ").size())
        << "the system's reason is missing";
}

TEST_F(FileIoTest, ReadingAMissingFileGivesTheErrorNotAnEmptyText) {
    std::string read = "untouched";
    EXPECT_NE(ReadFileContents(PathOf("absent.log"), read), 0);
    EXPECT_FALSE(FileExists(PathOf("absent.log")));
}

TEST(AppErrorTest, MessagesAreTheProgramsOwnTexts) {
    EXPECT_STREQ(InvalidTimeError("25:00").what(), "'25:00' is not a valid time");
    EXPECT_STREQ(UnableToWriteError("C:\\WINDOWS\\Aerolinker.ini").what(),
                 "Unable to write to C:\\WINDOWS\\Aerolinker.ini");
}

}  // namespace
}  // namespace aerolinker
