// The console host's key file: what it reads of the file, which modes it refuses, how it
// writes the key, and that no error text ever carries the key.
#include "airline/keys/key_store.h"

#include <sys/stat.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

using testing::HasSubstr;
using testing::Not;

constexpr char kKey[] = "test-key-0123456789abcdef";

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(NativePath(path).c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class KeyFileTest : public testing::Test {
protected:
    std::string Path() const { return folder_.PathOf("airline-key"); }
    // A key file as the pilot might have written it by hand.
    void PutFile(const std::string& bytes, mode_t mode) {
        folder_.Put("airline-key", bytes);
        ASSERT_EQ(chmod(NativePath(Path()).c_str(), mode), 0);
    }

    TempFolder folder_;
    std::unique_ptr<ApiKeyStore> store_ = MakeApiKeyStore(Path());
};

TEST_F(KeyFileTest, SavedKeyReadsBackFromAnOwnerOnlyFileAndAnEmptyKeyRemovesIt) {
    std::string key = "left over";
    std::string error;
    EXPECT_TRUE(store_->Load(key, error)) << "no file: nothing stored, no error";
    EXPECT_EQ(key, "");
    EXPECT_EQ(error, "");

    // Owner-only whatever the umask, and over a file others could read.
    PutFile("old-key\n", 0644);
    const mode_t umaskBefore = umask(0);
    const bool saved = store_->Save(kKey, error);
    umask(umaskBefore);
    ASSERT_TRUE(saved) << error;
    EXPECT_EQ(ModeOf(Path()), 0600u);
    EXPECT_EQ(folder_.Contents("airline-key"), std::string(kKey) + "\n");
    ASSERT_TRUE(store_->Load(key, error)) << error;
    EXPECT_EQ(key, kKey);

    ASSERT_TRUE(store_->Save("", error)) << error;
    EXPECT_FALSE(FileExists(Path()));
    EXPECT_TRUE(store_->Save("", error)) << "removing what is not there: " << error;
    EXPECT_TRUE(store_->Load(key, error));
    EXPECT_EQ(key, "");
}

TEST_F(KeyFileTest, TheKeyIsTheFirstLineWithoutSurroundingBlanks) {
    const struct {
        const char* file;
        const char* key;
    } cases[] = {
        {"  test-key \t\n", "test-key"},
        {"test-key\r\n", "test-key"},
        {"test-key", "test-key"},
        {"test-key\nsecond line\n", "test-key"},
        {"\ntest-key\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        PutFile(c.file, 0600);
        std::string key;
        std::string error;
        EXPECT_TRUE(store_->Load(key, error)) << c.file;
        EXPECT_EQ(key, c.key) << c.file;
    }
}

// Refused by the mode bits themselves: the tests run as root, who could read the file anyway,
// and the program refuses it all the same.
TEST_F(KeyFileTest, AFileTheGroupOrOthersMayReadOrWriteIsRefusedWithoutShowingTheKey) {
    const struct {
        mode_t mode;
        bool refused;
    } cases[] = {
        {0600, false}, {0400, false}, {0644, true}, {0640, true},
        {0604, true},  {0620, true},  {0602, true}, {0610, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << c.mode);
        PutFile(std::string(kKey) + "\n", c.mode);
        std::string key;
        std::string error;
        EXPECT_EQ(store_->Load(key, error), !c.refused);
        if (c.refused) {
            EXPECT_EQ(key, "");
            EXPECT_THAT(error, HasSubstr(NativePath(Path())));
            EXPECT_THAT(error, HasSubstr("readable by its owner only (chmod 600"));
            EXPECT_THAT(error, Not(HasSubstr(kKey)));
        } else {
            EXPECT_EQ(key, kKey);
        }
    }
}

TEST_F(KeyFileTest, FailedReadsAndWritesNameTheFileButNeverTheKey) {
    std::string error;
    const std::unique_ptr<ApiKeyStore> nowhere = MakeApiKeyStore(folder_.PathOf("no\\such\\key"));
    EXPECT_FALSE(nowhere->Save(kKey, error));
    EXPECT_THAT(error, HasSubstr("Cannot create file"));
    EXPECT_THAT(error, Not(HasSubstr(kKey)));

    // A folder where the file should be: neither readable as a key nor replaceable by one.
    ASSERT_TRUE(std::filesystem::create_directory(NativePath(Path())));
    std::string key;
    error.clear();
    EXPECT_FALSE(store_->Load(key, error));
    EXPECT_THAT(error, HasSubstr("Cannot open file"));
    error.clear();
    EXPECT_FALSE(store_->Save(kKey, error));
    EXPECT_THAT(error, HasSubstr("Cannot create file"));
    EXPECT_THAT(error, Not(HasSubstr(kKey)));
}

}  // namespace
}  // namespace aerolinker
