// The key kept with DPAPI: it reads back for the same account, the file holds none of its
// bytes, and a file that does not decrypt (damaged, or protected by someone else) is refused
// with a text for the pilot that never holds the key.
#include "airline/keys/key_store.h"

#include <windows.h>
#include <dpapi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "persistence/temp_folder.h"

namespace aerolinker {
namespace {

using testing::HasSubstr;
using testing::Not;

constexpr char kKey[] = "test-key-0123456789abcdef";

// A blob DPAPI made for this account without the program's own entropy: what another
// program's (or an older, differently built) file would hold. Empty, with `error` set, when
// DPAPI refused.
std::string ForeignBlob(DWORD& error) {
    std::string key = kKey;
    DATA_BLOB in = {static_cast<DWORD>(key.size()), reinterpret_cast<BYTE*>(key.data())};
    DATA_BLOB out = {};
    if (!CryptProtectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out)) {
        error = GetLastError();
        return {};
    }
    error = 0;
    std::string blob(reinterpret_cast<const char*>(out.pbData), out.cbData);
    LocalFree(out.pbData);
    return blob;
}

class ProtectedKeyTest : public testing::Test {
protected:
    void SetUp() override {
        DWORD refused = 0;
        foreignBlob_ = ForeignBlob(refused);
        if (refused == ERROR_CALL_NOT_IMPLEMENTED) {
            GTEST_SKIP() << "this Windows (or Wine) does not implement CryptProtectData";
        }
        ASSERT_EQ(refused, 0u);
        std::string error;
        ASSERT_TRUE(store_->Save(kKey, error)) << error;
    }
    std::string Path() const { return folder_.PathOf("airline-key.bin"); }

    TempFolder folder_;
    std::unique_ptr<ApiKeyStore> store_ = MakeApiKeyStore(Path());
    std::string foreignBlob_;
};

TEST_F(ProtectedKeyTest, TheKeyReadsBackButTheFileHoldsNoneOfItsText) {
    const std::string blob = folder_.Contents("airline-key.bin");
    EXPECT_FALSE(blob.empty());
    EXPECT_EQ(blob.find(kKey), std::string::npos);
    // Nor a long piece of it: the key's tail, which is its unguessable part.
    EXPECT_EQ(blob.find("0123456789abcdef"), std::string::npos);

    std::string key;
    std::string error;
    ASSERT_TRUE(store_->Load(key, error)) << error;
    EXPECT_EQ(key, kKey);
    // Each save protects afresh, by a new random key: the same key gives another file.
    ASSERT_TRUE(store_->Save(kKey, error));
    EXPECT_NE(folder_.Contents("airline-key.bin"), blob);

    ASSERT_TRUE(store_->Save("", error)) << error;
    EXPECT_FALSE(FileExists(Path()));
    EXPECT_TRUE(store_->Load(key, error)) << "no file: nothing stored";
    EXPECT_EQ(key, "");
    EXPECT_TRUE(store_->Save("", error)) << "removing what is not there: " << error;
}

TEST_F(ProtectedKeyTest, AFileThatDoesNotDecryptIsRefusedWithoutShowingTheKey) {
    const std::string blob = folder_.Contents("airline-key.bin");
    std::string flipped = blob;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x5a);
    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"a byte changed", flipped},
        {"cut short", blob.substr(0, blob.size() - 8)},
        {"empty", ""},
        {"the key as plain text", kKey},
        {"protected without the program's entropy", foreignBlob_},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        folder_.Put("airline-key.bin", c.file);
        std::string key = "left over";
        std::string error;
        EXPECT_FALSE(store_->Load(key, error));
        EXPECT_EQ(key, "");
        EXPECT_THAT(error, HasSubstr("cannot be read by this Windows account"));
        EXPECT_THAT(error, HasSubstr(Path()));
        EXPECT_THAT(error, Not(HasSubstr(kKey)));
    }
}

}  // namespace
}  // namespace aerolinker
