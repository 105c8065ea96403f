// The growing file: exactly the bytes appended once closed, across its chunks; the zero bytes a
// stopped program leaves are cut at the next opening; a full or missing folder is an error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "common/growing_file.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

class GrowingFileTest : public testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("aerolinker-growing-" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string PathOf(const std::string& name) const { return folder_.string() + "\\" + name; }
    std::string Contents(const std::string& name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Put(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }

    fs::path folder_;
};

const std::string kHeader = "Time,Altitude\r\n";

std::string Row(int i) {
    return std::to_string(i) + "," + std::to_string(i * 7) + "\r\n";
}

TEST_F(GrowingFileTest, HoldsExactlyWhatWasAppendedAcrossChunksAndOpenings) {
    std::string expected = kHeader;
    {
        GrowingFile file(PathOf("trace.csv"));
        // Past two chunks, with rows across each boundary.
        for (int i = 0; expected.size() < 2 * GrowingFile::kChunkBytes + 100; ++i) {
            ASSERT_EQ(file.Append(kHeader, Row(i)), 0);
            expected += Row(i);
        }
    }
    EXPECT_EQ(Contents("trace.csv"), expected);
    // A second opening goes on after the last row, without a second header.
    GrowingFile again(PathOf("trace.csv"));
    ASSERT_EQ(again.Append(kHeader, Row(-1)), 0);
    again.Close();
    EXPECT_EQ(Contents("trace.csv"), expected + Row(-1));
}

// What a program stopped with the file open leaves: its rows, maybe one cut short, then zero
// bytes to the end of the chunk. The next opening cuts the zeros and closes a cut row first.
TEST_F(GrowingFileTest, CutsTheZerosAStoppedProgramLeft) {
    const std::string zeros(5000, '\0');
    const struct {
        const char* name;
        std::string left;
        std::string after;  // the file once one row is appended
    } cases[] = {
        {"whole rows", kHeader + Row(1) + zeros, kHeader + Row(1) + Row(2)},
        {"a row cut short", kHeader + Row(1) + "2,1" + zeros,
         kHeader + Row(1) + "2,1\r\n" + Row(2)},
        {"nothing but zeros", zeros, kHeader + Row(2)},
        {"zeros past a chunk", kHeader + std::string(GrowingFile::kChunkBytes + 10, '\0'),
         kHeader + Row(2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Put("trace.csv", c.left);
        GrowingFile file(PathOf("trace.csv"));
        ASSERT_EQ(file.Append(kHeader, Row(2)), 0);
        file.Close();
        EXPECT_EQ(Contents("trace.csv"), c.after);
    }
}

TEST_F(GrowingFileTest, AFolderThatIsNotThereIsAnErrorEveryTime) {
    GrowingFile file(PathOf("gone") + "\\trace.csv");
    EXPECT_NE(file.Append(kHeader, Row(1)), 0);
    EXPECT_NE(file.Append(kHeader, Row(2)), 0);
    EXPECT_FALSE(fs::exists(folder_ / "gone"));
}

TEST(LengthWithoutTrailingZerosTest, StopsAtTheLastByteThatIsNotZero) {
    EXPECT_EQ(LengthWithoutTrailingZeros(std::string("a\0b\0\0", 5)), 3u);
    EXPECT_EQ(LengthWithoutTrailingZeros(std::string(3, '\0')), 0u);
    EXPECT_EQ(LengthWithoutTrailingZeros(""), 0u);
}

// The child's part of the test below, run in a process of its own: three rows appended, then
// the process killed with the file open. Skipped when the test runs it as a test of its own.
constexpr char kChildVariable[] = "AEROLINKER_GROWING_FILE_CHILD";
const std::string kChildRows = Row(0) + Row(1) + Row(2);

[[noreturn]] void AppendThreeRowsAndDie(const std::string& path) {
    GrowingFile file(path);
    for (int i = 0; i < 3; ++i) {
        if (file.Append(kHeader, Row(i)) != 0) {
            std::exit(1);
        }
    }
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), 3);
#else
    kill(getpid(), SIGKILL);
#endif
    std::exit(2);
}

TEST(GrowingFileChild, AppendsThreeRowsAndIsKilled) {
    const char* path = std::getenv(kChildVariable);
    if (path == nullptr) {
        GTEST_SKIP() << "the child of RowsOutliveAProgramKilledWithTheFileOpen";
    }
    AppendThreeRowsAndDie(path);
}

// Runs the child; true when it was killed as it should be.
bool KillAChildWithTheFileOpen(const std::string& path) {
#ifdef _WIN32
    SetEnvironmentVariableA(kChildVariable, path.c_str());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command =
        "\"" + std::string(self) + "\" --gtest_filter=GrowingFileChild.AppendsThreeRowsAndIsKilled";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(kChildVariable, nullptr);
    if (!started) {
        return false;
    }
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended && code == 3;
#else
    const pid_t child = fork();
    if (child == 0) {
        AppendThreeRowsAndDie(path);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status) &&
           WTERMSIG(status) == SIGKILL;
#endif
}

// The rows are in the system's cache as soon as they are appended: a program killed before it
// closes the file loses none of them.
TEST_F(GrowingFileTest, RowsOutliveAProgramKilledWithTheFileOpen) {
    const std::string path = PathOf("trace.csv");
    ASSERT_TRUE(KillAChildWithTheFileOpen(path));
    const std::string left = Contents("trace.csv");
    EXPECT_EQ(left.size(), GrowingFile::kChunkBytes);
    EXPECT_EQ(left.substr(0, LengthWithoutTrailingZeros(left)), kHeader + kChildRows);

    GrowingFile file(path);
    ASSERT_EQ(file.Append(kHeader, Row(3)), 0);
    file.Close();
    EXPECT_EQ(Contents("trace.csv"), kHeader + kChildRows + Row(3));
}

#ifndef _WIN32
// A disk with less room than a chunk, here a limit on the size of the files this process
// writes: the rows go on as long as there is room for them, and only then fail.
TEST_F(GrowingFileTest, RowsGoOnWithLessRoomThanAChunk) {
    const std::string path = PathOf("trace.csv");
    constexpr rlim_t kRoom = 40 * 1024;
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kRoom, kRoom};
        setrlimit(RLIMIT_FSIZE, &limit);
        GrowingFile file(path);
        std::size_t written = kHeader.size();
        for (int i = 0;; ++i) {
            if (file.Append(kHeader, Row(i)) != 0) {
                // Failed only for want of room, with every row before in the file.
                _exit(kRoom - written < 100 ? 0 : 1);
            }
            written += Row(i).size();
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a row failed with room left";
    std::string expected = kHeader;
    for (int i = 0; expected.size() + Row(i).size() <= kRoom - 100; ++i) {
        expected += Row(i);
    }
    EXPECT_TRUE(Contents("trace.csv").substr(0, expected.size()) == expected)
        << "the rows that had room are not all in the file";
}
#endif

}  // namespace
}  // namespace aerolinker
