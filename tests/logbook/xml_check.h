// A small XML reader for the writers' tests: it refuses what an XML parser refuses (unclosed
// or crossed tags, a bare & or <, unquoted attributes, text after the root, bytes that are
// not UTF-8) and gives the element tree so a test can check the file's structure. Below it,
// the short flight the KML, GPX and SVG tests all draw.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "persistence/temp_folder.h"
#include "recorder/trace.h"
#include "recorder/track.h"

namespace aerolinker::testing_xml {

struct Element {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::string text;  // all character data directly inside, entities decoded
    std::vector<Element> children;

    std::vector<const Element*> All(const std::string& childName) const {
        std::vector<const Element*> found;
        for (const Element& child : children) {
            if (child.name == childName) {
                found.push_back(&child);
            }
        }
        return found;
    }
    // The first child of that name, or nullptr.
    const Element* Child(const std::string& childName) const {
        auto found = All(childName);
        return found.empty() ? nullptr : found.front();
    }
};

class Reader {
public:
    explicit Reader(const std::string& text) : s_(text) {}

    // Empty when the document is well-formed; otherwise what is wrong and where.
    std::string Parse(Element& root) {
        if (!ValidUtf8()) {
            return "not UTF-8";
        }
        SkipMisc();
        if (!Peek("<")) {
            return Fail("no root element");
        }
        if (!ReadElement(root)) {
            return error_;
        }
        SkipMisc();
        return i_ == s_.size() ? "" : Fail("text after the root element");
    }

private:
    bool Peek(const char* what) const {
        return s_.compare(i_, std::char_traits<char>::length(what), what) == 0;
    }
    std::string Fail(const std::string& why) {
        error_ = why + " at " + std::to_string(i_);
        return error_;
    }
    bool Failed(const std::string& why) {
        Fail(why);
        return false;
    }
    void SkipSpace() {
        while (i_ < s_.size() && std::string(" \t\r\n").find(s_[i_]) != std::string::npos) {
            ++i_;
        }
    }
    // Declarations, processing instructions and comments between elements.
    void SkipMisc() {
        for (SkipSpace(); Peek("<?") || Peek("<!--"); SkipSpace()) {
            const char* end = Peek("<?") ? "?>" : "-->";
            size_t at = s_.find(end, i_);
            i_ = at == std::string::npos ? s_.size() : at + std::char_traits<char>::length(end);
        }
    }
    std::string Name() {
        size_t start = i_;
        while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) ||
                                  std::string(":_-.").find(s_[i_]) != std::string::npos)) {
            ++i_;
        }
        return s_.substr(start, i_ - start);
    }
    // Character data up to `stop`, with its entities decoded.
    bool CharData(char stop, std::string& out) {
        while (i_ < s_.size() && s_[i_] != stop) {
            if (s_[i_] == '<') {
                return Failed("bare <");
            }
            if (s_[i_] != '&') {
                out += s_[i_++];
                continue;
            }
            size_t semicolon = s_.find(';', i_);
            if (semicolon == std::string::npos) {
                return Failed("unterminated entity");
            }
            const std::string entity = s_.substr(i_ + 1, semicolon - i_ - 1);
            static const std::map<std::string, std::string> named = {
                {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}};
            if (named.count(entity)) {
                out += named.at(entity);
            } else if (entity.size() > 1 && entity[0] == '#') {
                out += "?";  // numeric references: well-formed, the value is not checked
            } else {
                return Failed("unknown entity &" + entity + ";");
            }
            i_ = semicolon + 1;
        }
        return true;
    }
    bool ReadElement(Element& element) {
        ++i_;  // <
        element.name = Name();
        if (element.name.empty()) {
            return Failed("element without a name");
        }
        for (;;) {
            SkipSpace();
            if (Peek("/>")) {
                i_ += 2;
                return true;
            }
            if (Peek(">")) {
                ++i_;
                break;
            }
            std::string attribute = Name();
            SkipSpace();
            if (attribute.empty() || !Peek("=")) {
                return Failed("bad attribute in <" + element.name + ">");
            }
            ++i_;
            SkipSpace();
            if (i_ >= s_.size() || (s_[i_] != '"' && s_[i_] != '\'')) {
                return Failed("unquoted attribute value");
            }
            const char quote = s_[i_++];
            std::string value;
            if (!CharData(quote, value) || i_ >= s_.size()) {
                return Failed("unterminated attribute value");
            }
            ++i_;
            if (!element.attributes.emplace(attribute, value).second) {
                return Failed("attribute given twice");
            }
        }
        for (;;) {
            if (!CharData('<', element.text)) {
                return false;
            }
            if (i_ >= s_.size()) {
                return Failed("<" + element.name + "> never closed");
            }
            if (Peek("<!--")) {
                size_t end = s_.find("-->", i_);
                i_ = end == std::string::npos ? s_.size() : end + 3;
            } else if (Peek("</")) {
                i_ += 2;
                if (Name() != element.name || !Peek(">")) {
                    return Failed("</...> does not close <" + element.name + ">");
                }
                ++i_;
                return true;
            } else {
                element.children.emplace_back();
                if (!ReadElement(element.children.back())) {
                    return false;
                }
            }
        }
    }
    bool ValidUtf8() const {
        for (size_t k = 0; k < s_.size();) {
            const unsigned char lead = static_cast<unsigned char>(s_[k]);
            size_t length = lead < 0x80                    ? 1
                            : lead >= 0xC2 && lead <= 0xDF ? 2
                            : lead >= 0xE0 && lead <= 0xEF ? 3
                            : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                           : 0;
            if (length == 0 || k + length > s_.size()) {
                return false;
            }
            for (size_t m = 1; m < length; ++m) {
                if ((static_cast<unsigned char>(s_[k + m]) & 0xC0) != 0x80) {
                    return false;
                }
            }
            if (lead < 0x20 && lead != '\t' && lead != '\n' && lead != '\r') {
                return false;
            }
            k += length;
        }
        return true;
    }

    const std::string& s_;
    size_t i_ = 0;
    std::string error_;
};

// The tree of a document that must be well-formed; a failure names what is wrong.
inline Element Parse(const std::string& text) {
    Element root;
    const std::string error = Reader(text).Parse(root);
    EXPECT_EQ(error, "") << text.substr(0, 2000);
    return root;
}

// xmllint, where installed, as a second opinion on well-formedness.
inline void CheckWithXmllint(const std::string& text, const std::string& extension) {
    if (std::system("xmllint --version > /dev/null 2>&1") != 0) {
        return;
    }
    TempFolder folder;
    folder.Put("file" + extension, text);
    const std::string file = folder.Native().string() + "/file" + extension;
    EXPECT_EQ(std::system(("xmllint --noout '" + file + "'").c_str()), 0) << extension;
}

// The sample flight's day, 7 December 2026, as UTC seconds.
inline constexpr long long kSampleDay = 20794LL * 86400;

// Olbia to Florence in a few rows: climb, cruise, descent; each tick is 5 s.
inline std::vector<TraceRow> SampleRows() {
    const double points[][3] = {{40.8989, 9.5175, 60}, {40.95, 9.56, 2500},
                                {41.2, 9.8, 6000},     {42.3, 10.5, 9800},
                                {43.3, 11.0, 4000},    {43.8100, 11.2051, 142}};
    std::vector<TraceRow> rows;
    long long second = kSampleDay + 10 * 3600 + 5 * 60;
    for (const auto& p : points) {
        TraceRow row;
        row.utcSeconds = second += 5;
        row.latitude = p[0];
        row.longitude = p[1];
        row.altitudeFeet = p[2];
        rows.push_back(row);
    }
    return rows;
}

// Take-off, one waypoint whose name holds markup characters, landing.
inline std::vector<TrackMark> SampleMarks() {
    return {{MarkKind::kTakeOff, "LIEO", kSampleDay + 36310, 40.8989, 9.5175, 60},
            {MarkKind::kWaypoint, "ELB<&>", kSampleDay + 36325, 42.3, 10.5, 9800},
            {MarkKind::kLanding, "LIRQ", kSampleDay + 36335, 43.81, 11.2051, 142}};
}

// A title with markup characters and an ANSI (Windows-1252) "é" as the program holds it.
inline const std::string kSampleTitle = "LIEO - LIRQ \"R\xE9gional\" <test> & co";

}  // namespace aerolinker::testing_xml
