// The figures of the trace, KML and GPX: each must read back as the value rounded to its places,
// halves away from zero, whichever way the writer takes to get there.
#include "common/fixed_number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace aerolinker {
namespace {

// What the figure must be: the value in units of its last place, rounded as llround does, with
// the point put in, and no sign on a figure that rounds to zero.
std::string Expected(double value, int decimals) {
    const long long scaled = std::llround(value * std::pow(10.0, decimals));
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, scaled < 0 ? -scaled : scaled);
    std::string text(digits, end.ptr);
    const auto places = static_cast<std::size_t>(decimals);
    if (places > 0) {
        if (text.size() <= places) {
            text.insert(0, places + 1 - text.size(), '0');  // one digit before the point
        }
        text.insert(text.size() - places, ".");
    }
    return scaled < 0 ? "-" + text : text;
}

TEST(FixedNumberTextTest, FiguresReadAsTheValueRoundedToTheirPlaces) {
    const struct {
        double value;
        int decimals;
    } cases[] = {
        {0.0, 0},
        {-0.0, 3},
        {-0.0004, 3},
        {0.5, 0},
        {-0.5, 0},
        {2.5, 0},
        {0.125, 2},
        {-0.125, 2},
        {45.123456, 6},
        {-122.3456789, 6},
        {9.96, 1},
        {99.95, 1},
        {999999.5, 0},
        {1.0, 9},
        {4294967295.0, 0},
        {4294967296.0, 0},
        {-4294967296.0, 0},
        {4294.967295, 6},
        {4294.9672955, 6},
        {4294.967296, 6},
        {123456789.0, 6},
        {-987654321.25, 1},
        {99999999999999.0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " to " << c.decimals << " places");
        EXPECT_EQ(FixedText(c.value, c.decimals), Expected(c.value, c.decimals));
    }
}

TEST(FixedNumberTextTest, ValuesBeyondTheFastWayAndGarbageStayReadable) {
    EXPECT_EQ(FixedText(1e16, 0), "10000000000000000");
    EXPECT_EQ(FixedText(-1e15, 1), "-1000000000000000.0");
    EXPECT_EQ(FixedText(std::numeric_limits<double>::quiet_NaN(), 2), "0.00");
    EXPECT_EQ(FixedText(std::numeric_limits<double>::infinity(), 0), "0");
    EXPECT_EQ(FixedText(-std::numeric_limits<double>::infinity(), 1), "0.0");
}

// A line longer than the writer's buffer, figures of every length across its flushes, reads the
// same as the figures written one by one.
TEST(FixedNumberTextTest, AWriterGivesTheSameTextAcrossItsFlushes) {
    std::string written = "row:";
    std::string expected = "row:";
    {
        FigureWriter out(written);
        for (int i = 0; i < 400; ++i) {
            const double value = (i % 2 == 0 ? 1.0 : -1.0) * std::pow(7.3, i % 23) / 3.0;
            const int decimals = i % 8;
            out.Fixed(value, decimals);
            out.Char(',');
            expected += FixedText(value, decimals) + ",";
        }
    }
    EXPECT_EQ(written, expected);
}

}  // namespace
}  // namespace aerolinker
