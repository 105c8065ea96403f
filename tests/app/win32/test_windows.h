// Helpers of the Windows program's unit tests: a fresh folder per test, and typing into a
// control the way the keyboard does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace aerolinker {

class TestFolder {
public:
    TestFolder() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string("aerolinker-win32-") + test->test_suite_name() + "-" + test->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Without a trailing separator, as the program names folders.
    std::string Path() const {
        std::string path = folder_.string();
        while (!path.empty() && (path.back() == '\\' || path.back() == '/')) {
            path.pop_back();
        }
        return path;
    }
    std::string File(const std::string& name) const { return Path() + "\\" + name; }

private:
    std::filesystem::path folder_;
};

// Sends the characters as the keyboard would, one WM_CHAR each ("\r" is the Enter key).
inline void TypeInto(HWND control, const std::string& text) {
    for (char c : text) {
        SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

inline void PlaceCaret(HWND edit, int position) {
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(position), position);
}

inline int CaretPosition(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end);
}

}  // namespace aerolinker
