// Rounding, padding and the two number texts, under both sets of regional settings.
#include "regional/regional_number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "regional/regional_cases.h"

namespace aerolinker {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double x;
        int expected;
    } const cases[] = {
        {2.5, 2},
        {3.5, 4},
        {4.5, 4},
        {-2.5, -2},
        {-3.5, -4},
        {0.5, 0},
        {-0.5, 0},
        {359.5, 360},
        {1013.0, 1013},
        {2.4, 2},
        {2.6, 3},
        {-2.6, -3},
        // The neighbours of a half are not halves.
        {2.4999999999999996, 2},
        {2.5000000000000004, 3},
        {0.49999999999999994, 0},
        {-0.49999999999999994, 0},
        // Out of range saturates instead of wrapping.
        {1e12, INT_MAX},
        {-1e12, INT_MIN},
        {kInfinity, INT_MAX},
        {kNaN, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.x), c.expected) << c.x;
    }
}

TEST(PadTest, FillsAndCutsToTheWidth) {
    struct Case {
        char fill;
        std::string text;
        int width;
        std::string left;
        std::string rightOrCut;
    } const cases[] = {
        {' ', "9:05", 6, "  9:05", "9:05  "},
        {'0', "5", 3, "005", "500"},
        {'0', "360", 3, "360", "360"},
        {' ', "LIEO", 8, "    LIEO", "LIEO    "},
        {' ', " ", 8, "        ", "        "},
        {' ', "", 6, "      ", "      "},
        {' ', "", 8, "        ", "        "},
        {' ', "ABCDEFGHI", 8, "ABCDEFGHI", "ABCDEFGH"},
        {'0', "1234", 3, "1234", "123"},
        {' ', "AB", 0, "AB", ""},
        {' ', "AB", -3, "AB", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PadLeft(c.fill, c.text, c.width), c.left) << c.text << " " << c.width;
        EXPECT_EQ(PadRightOrCut(c.fill, c.text, c.width), c.rightOrCut) << c.text << " " << c.width;
    }
}

TEST(NumberTextTest, ShortestTextWithFifteenSignificantDigits) {
    struct Case {
        double x;
        std::string dot;
        std::string comma;
    } const cases[] = {
        {12, "12", "12"},
        {12.5, "12.5", "12,5"},
        {0.3, "0.3", "0,3"},
        {-5, "-5", "-5"},
        {0, "0", "0"},
        {-0.0, "0", "0"},
        {100, "100", "100"},
        {1013, "1013", "1013"},
        {1250 / 100.0, "12.5", "12,5"},
        {0.1 + 0.2, "0.3", "0,3"},
        {1.0 / 3, "0.333333333333333", "0,333333333333333"},
        {-2.0 / 3, "-0.666666666666667", "-0,666666666666667"},
        {1234567.25, "1234567.25", "1234567,25"},
        {123456789012345.6, "123456789012346", "123456789012346"},
        {999999999999999.4, "999999999999999", "999999999999999"},
        // Plain notation from 0.00001 up to just below 10^15, scientific outside.
        {0.00001, "0.00001", "0,00001"},
        {-0.000012, "-0.000012", "-0,000012"},
        {0.0000099, "9.9E-6", "9,9E-6"},
        {1.5e-7, "1.5E-7", "1,5E-7"},
        {1e15, "1E15", "1E15"},
        {999999999999999.9, "1E15", "1E15"},
        {-2.5e20, "-2.5E20", "-2,5E20"},
        {kNaN, "NAN", "NAN"},
        {-kInfinity, "-INF", "-INF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NumberText(c.x, DotColonSettings()), c.dot) << c.dot;
        EXPECT_EQ(NumberText(c.x, CommaDotSettings()), c.comma) << c.dot;
    }
}

TEST(PatternNumberTextTest, RoundsHalvesOfTheDecimalValueAwayFromZero) {
    struct Case {
        const char* pattern;
        double x;
        std::string dot;
        std::string comma;
    } const cases[] = {
        {"0000", 134.915, "0135", "0135"},
        {"000", 21.6, "022", "022"},
        {"000", 1234.4, "1234", "1234"},
        {"00", 7, "07", "07"},
        {"000.0", 5.25, "005.3", "005,3"},
        {"0000", 0, "0000", "0000"},
        {"000", -3, "-003", "-003"},
        {"0000", -3, "-0003", "-0003"},
        // Halves away from zero, unlike RoundHalfEven.
        {"0000", 4.5, "0005", "0005"},
        {"0", 2.5, "3", "3"},
        {"0", -2.5, "-3", "-3"},
        {"0", 0.49999999999999994, "0", "0"},
        // Binary doubles just below the decimal half must not pull it down.
        {"0.00", 1.005, "1.01", "1,01"},
        {"0.00", 2.675, "2.68", "2,68"},
        {"000.0", 0.05, "000.1", "000,1"},
        // Carries into a new digit.
        {"00", 99.5, "100", "100"},
        {"000.0", 9.95, "010.0", "010,0"},
        {"000.0", -9.95, "-010.0", "-010,0"},
        // A value that rounds to zero carries no sign.
        {"000", -0.4, "000", "000"},
        {"000.0", -0.00001, "000.0", "000,0"},
        {"00000", 12345.5, "12346", "12346"},
        {"0000", 1e20, "100000000000000000000", "100000000000000000000"},
        {"0000", 3e-300, "0000", "0000"},
        {"000", kNaN, "NAN", "NAN"},
        {"000", kInfinity, "INF", "INF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PatternNumberText(c.pattern, c.x, DotColonSettings()), c.dot)
            << c.pattern << " " << c.x;
        EXPECT_EQ(PatternNumberText(c.pattern, c.x, CommaDotSettings()), c.comma)
            << c.pattern << " " << c.x;
    }
}

}  // namespace
}  // namespace aerolinker
