// CRC-32 gives the standard check values, so a file's check can be verified by any tool.
#include "common/crc32.h"

#include <gtest/gtest.h>

namespace aerolinker {
namespace {

TEST(Crc32Test, GivesTheStandardCheckValues) {
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
    EXPECT_EQ(Crc32(std::string_view("\0", 1)), 0xD202EF8Du);
}

}  // namespace
}  // namespace aerolinker
