// What aerolinker.exe carries in its resources: the chime in its exact format, the manifest
// (Common Controls 6, per-monitor DPI, no elevation), the version, the icon and the tool-bar
// pictures with their transparency.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/win32/res/resource_ids.h"
#include "app/win32/tool_bar.h"

namespace aerolinker {
namespace {

// The program file as the test's environment names it; a Linux path lies on drive Z:.
std::string ProgramPath() {
    const char* path = std::getenv("AEROLINKER_EXE");
    if (!path) {
        return std::string();
    }
    std::string windowsPath = path[0] == '/' ? std::string("Z:") + path : path;
    for (char& c : windowsPath) {
        if (c == '/') {
            c = '\\';
        }
    }
    return windowsPath;
}

class ProgramResources : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = ProgramPath();
        ASSERT_FALSE(path.empty()) << "AEROLINKER_EXE is not set";
        module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr) << path;
    }
    void TearDown() override {
        if (module_) {
            FreeLibrary(module_);
        }
    }

    std::string Resource(const char* type, int id) const {
        HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(id), type);
        if (!found) {
            return std::string();
        }
        const void* data = LockResource(LoadResource(module_, found));
        return std::string(static_cast<const char*>(data), SizeofResource(module_, found));
    }

    HMODULE module_ = nullptr;
};

template <typename T>
T At(const std::string& bytes, size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST_F(ProgramResources, ChimeIsShortMonoSixteenBitPcmAt22050Hz) {
    const std::string wave = Resource("WAVE", IDW_LWAVE);
    ASSERT_GE(wave.size(), 44u);
    EXPECT_EQ(wave.substr(0, 4), "RIFF");
    EXPECT_EQ(At<std::uint32_t>(wave, 4), wave.size() - 8);
    EXPECT_EQ(wave.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(At<std::uint16_t>(wave, 20), 1);       // PCM
    EXPECT_EQ(At<std::uint16_t>(wave, 22), 1);       // mono
    EXPECT_EQ(At<std::uint32_t>(wave, 24), 22050u);  // samples a second
    EXPECT_EQ(At<std::uint16_t>(wave, 34), 16);      // bits a sample
    ASSERT_EQ(wave.substr(36, 4), "data");
    const std::uint32_t dataBytes = At<std::uint32_t>(wave, 40);
    EXPECT_EQ(dataBytes, 19404u);
    ASSERT_EQ(wave.size(), 44u + dataBytes);

    // Audible, never clipped, and ending on silence so that it stops without a click.
    int peak = 0;
    for (size_t offset = 44; offset < wave.size(); offset += 2) {
        peak = std::max(peak, std::abs(static_cast<int>(At<std::int16_t>(wave, offset))));
    }
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 32767);
    EXPECT_LT(std::abs(At<std::int16_t>(wave, wave.size() - 2)), 64);
}

TEST_F(ProgramResources, ManifestAsksForCommonControls6PerMonitorDpiAndNoElevation) {
    const std::string manifest = Resource(MAKEINTRESOURCEA(24), 1);  // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

TEST_F(ProgramResources, VersionNamesTheProgramAndItsRelease) {
    const std::string path = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    auto text = [&info](const char* name) {
        char* value = nullptr;
        UINT length = 0;
        const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
            return std::string();
        }
        return std::string(value);
    };
    EXPECT_EQ(text("ProductName"), "Aerolinker");
    EXPECT_EQ(text("FileVersion"), "2.1.0.0");
    EXPECT_EQ(text("OriginalFilename"), "aerolinker.exe");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020001u);
}

TEST_F(ProgramResources, IconComesInTheSmallAndLargeSizes) {
    const std::string group = Resource(MAKEINTRESOURCEA(14), IDI_AEROLINKER);  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u);
    const std::size_t count = At<std::uint16_t>(group, 4);
    ASSERT_GE(group.size(), 6 + count * 14);
    std::vector<int> sizes;
    for (std::size_t i = 0; i < count; ++i) {
        const int width = static_cast<unsigned char>(group[6 + i * 14]);
        sizes.push_back(width == 0 ? 256 : width);
    }
    for (int wanted : {16, 32, 48}) {
        EXPECT_NE(std::find(sizes.begin(), sizes.end(), wanted), sizes.end()) << wanted;
    }
}

TEST_F(ProgramResources, ToolBarPicturesAreOneSquareAButtonWithTransparency) {
    for (const auto& [id, side] : {std::pair<int, int>{IDB_TOOLBAR_48, 48}, {IDB_TOOLBAR_96, 96}}) {
        const std::string bitmap = Resource(MAKEINTRESOURCEA(2), id);  // RT_BITMAP
        ASSERT_GE(bitmap.size(), 40u) << id;
        EXPECT_EQ(At<std::int32_t>(bitmap, 4), side * kToolButtonCount);
        EXPECT_EQ(At<std::int32_t>(bitmap, 8), side);
        EXPECT_EQ(At<std::uint16_t>(bitmap, 14), 32);
        const size_t pixels = At<std::uint32_t>(bitmap, 0);  // the header's own size
        size_t clear = 0;
        size_t solid = 0;
        for (size_t offset = pixels + 3; offset < bitmap.size(); offset += 4) {
            const auto alpha = static_cast<unsigned char>(bitmap[offset]);
            clear += alpha == 0;
            solid += alpha == 255;
        }
        EXPECT_GT(clear, 0u) << "a background shows through";
        EXPECT_GT(solid, 0u) << "the pictures themselves are opaque";
    }

    PictureStrip strip;
    ASSERT_TRUE(strip.Load(module_, IDB_TOOLBAR_48));
    EXPECT_EQ(strip.size(), 48);
}

}  // namespace
}  // namespace aerolinker
