// A fresh folder per test, removed afterwards, with paths joined by "\" as the program joins
// them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/file_io.h"

namespace aerolinker {

class TempFolder {
public:
    TempFolder() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            std::string("aerolinker-persistence-") + test->test_suite_name() + "-" + test->name();
        for (char& c : name) {
            if (c == '/') {
                c = '-';
            }
        }
        folder_ = std::filesystem::temp_directory_path() / name;
        Remove();
        std::filesystem::create_directories(folder_);
    }
    ~TempFolder() { Remove(); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder as the program names folders: no trailing separator.
    std::string Path() const {
        std::string path = folder_.string();
        while (!path.empty() && (path.back() == '/' || path.back() == '\\')) {
            path.pop_back();
        }
        return path;
    }
    std::string PathOf(const std::string& name) const { return Path() + "\\" + name; }
    const std::filesystem::path& Native() const { return folder_; }

    std::string Contents(const std::string& name) const {
        std::string bytes;
        EXPECT_EQ(ReadFileContents(PathOf(name), bytes), 0) << name;
        return bytes;
    }
    void Put(const std::string& name, const std::string& bytes) const {
        ASSERT_EQ(ReplaceFileContents(PathOf(name), bytes), 0) << name;
    }

private:
    // Tests make files and folders read-only; Windows will not delete those.
    void Remove() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (fs::recursive_directory_iterator entry(folder_, ignored), end; entry != end;
             entry.increment(ignored)) {
            fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(folder_, ignored);
    }

    std::filesystem::path folder_;
};

}  // namespace aerolinker
