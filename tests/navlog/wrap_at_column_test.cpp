// The word-wrap of the flown route in the Navigation log.
#include "navlog/text_format.h"

#include <gtest/gtest.h>

#include <string>

namespace aerolinker {
namespace {

struct WrapCase {
    const char* name;
    std::string text;
    int limit;
    std::string expected;
};

TEST(WrapAtColumnTest, Routes) {
    const std::string eightGroups = "AAAAA->BBBBBB->CCCCCC->DDDDDD->EEEEEE->FFFFFF->GGGGGG->HHHHHH";
    ASSERT_EQ(eightGroups.size(), 61u);
    const WrapCase cases[] = {
        {"66-character route", "LIEO->OLBIA->ELBA1->PRTVE->ABCDE->FGHIJ->KLMNO->PQRST->UVWXY->LIRQ",
         60, "LIEO->OLBIA->ELBA1->PRTVE->ABCDE->FGHIJ->KLMNO->PQRST-\r\n>UVWXY->LIRQ"},
        {"61 characters", eightGroups, 60,
         "AAAAA->BBBBBB->CCCCCC->DDDDDD->EEEEEE->FFFFFF->GGGGGG-\r\n>HHHHHH"},
        {"61 characters ending in a break character", eightGroups.substr(0, 60) + "-", 60,
         eightGroups.substr(0, 60) + "-"},
        {"no break character", std::string(70, 'X'), 60, std::string(70, 'X')},
        {"short route", "LIEO->OLB->ELB", 60, "LIEO->OLB->ELB"},
        {"exactly the limit", std::string(30, 'A') + "-" + std::string(29, 'B'), 60,
         std::string(30, 'A') + "-" + std::string(29, 'B')},
        {"empty", "", 60, ""},
    };
    for (const WrapCase& c : cases) {
        EXPECT_EQ(WrapAtColumn(c.text, c.limit), c.expected) << c.name;
    }
}

TEST(WrapAtColumnTest, BreakRules) {
    const WrapCase cases[] = {
        {"tab is a break character", "AAA\tBBB", 4, "AAA\t\r\nBBB"},
        {"blank at the start of a line is no break point", " AAAAAAAA", 4, " AAAAAAAA"},
        {"the next line counts from 1 again", "AAAAAAA-BB-CCCC-DDDD", 10,
         "AAAAAAA-\r\nBB-CCCC-\r\nDDDD"},
        {"every line as long as the limit allows", "AAA AAA AAA AAA AAA", 8,
         "AAA AAA \r\nAAA AAA \r\nAAA"},
        {"quoted text is never broken", "AB 'CD EF GH IJ' KL", 8, "AB \r\n'CD EF GH IJ' \r\nKL"},
        {"double quotes too", "AB \"CD EF GH\" KL", 6, "AB \r\n\"CD EF GH\" \r\nKL"},
        {"an unclosed quote keeps the whole text", "AB 'CD EF GH IJ KL", 6, "AB 'CD EF GH IJ KL"},
        {"a quote of the other kind inside quotes is plain", "AB 'C\"D E' F\"G H", 6,
         "AB \r\n'C\"D E' \r\nF\"G H"},
        {"an existing line break restarts the count", "AAAA\r\nBBBB CCCC", 6,
         "AAAA\r\nBBBB \r\nCCCC"},
        {"a line break inside quotes does not restart the count", "A 'B\r\nC D' EEEE", 8,
         "A \r\n'B\r\nC D' \r\nEEEE"},
        {"a lone CR after the break point", "z \rJ", 1, "z \r\n\rJ"},
        {"a lone CR or LF is an ordinary character", "AAAA\rBB\nCC DD", 8, "AAAA\rBB\nCC \r\nDD"},
        {"trailing blanks get no empty line", "AAAA BBBB    ", 6, "AAAA \r\nBBBB    "},
        {"no break added before an existing one", "AAAA B\r\nCC", 6, "AAAA B\r\nCC"},
        {"blanks before an existing break", "AAAA B  \r\nCC", 6, "AAAA B  \r\nCC"},
        {"blanks after an existing break", "AAAA B\r\n  CC", 6, "AAAA \r\nB\r\n  CC"},
        {"limit 0 breaks at every break point", "A B C", 0, "A \r\nB \r\nC"},
    };
    for (const WrapCase& c : cases) {
        EXPECT_EQ(WrapAtColumn(c.text, c.limit), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace aerolinker
