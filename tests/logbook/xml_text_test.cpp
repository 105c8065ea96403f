// Text as the KML, GPX and SVG files carry it: markup escaped, the program's ANSI text turned
// into UTF-8, and nothing an XML reader refuses.
#include "logbook/xml_text.h"

#include <gtest/gtest.h>

namespace aerolinker {
namespace {

TEST(XmlTextTest, EscapesMarkupAndRepairsAnsiText) {
    const struct {
        const char* text;
        const char* xml;
    } cases[] = {
        {"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c&apos;"},
        // ANSI é and € become UTF-8; UTF-8 already there is kept.
        {"R\xE9gional \x80 caf\xC3\xA9", "R\xC3\xA9gional \xE2\x82\xAC caf\xC3\xA9"},
        // An ANSI é before a plain letter looks like the start of a UTF-8 sequence: still ANSI.
        {"R\xE9union", "R\xC3\xA9union"},
        // A title cut at its field's end after a byte that starts a sequence.
        {"Caf\xC3", "Caf\xC3\x83"},
        // Control characters XML forbids become blanks; tab and line ends are kept.
        {"a\x01"
         "b\tc\r\n",
         "a b\tc\r\n"},
        // A code Windows-1252 leaves unassigned becomes the replacement character.
        {"x\x81y", "x\xEF\xBF\xBDy"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(XmlText(c.text), c.xml) << c.text;
    }
}

}  // namespace
}  // namespace aerolinker
