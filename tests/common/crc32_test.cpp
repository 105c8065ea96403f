// CRC-32 gives the standard check values, so a file's check can be verified by any tool.
#include "common/crc32.h"

#include <gtest/gtest.h>

namespace aerolinker {
namespace {

TEST(Crc32Test, GivesTheStandardCheckValues) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32(std::string_view("\0", 1)), 0xD202EF8Du);
    // Eight bytes at a time and the rest one by one.
    EXPECT_EQ(Crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
}

}  // namespace
}  // namespace aerolinker
