// XML escaping with the ANSI-to-UTF-8 repair of the program's texts.
#include "logbook/xml_text.h"

#include "common/text_encoding.h"

namespace aerolinker {

std::string XmlText(const std::string& text) {
    const std::string utf8 = Utf8FromSystemText(text);
    std::string out;
    out.reserve(utf8.size());
    for (const char ch : utf8) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += (c < 0x20 && c != '\t' && c != '\n' && c != '\r') ? ' ' : ch;
        }
    }
    return out;
}

}  // namespace aerolinker
