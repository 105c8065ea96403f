// Text for the recorder's XML files (KML, GPX, SVG), which are UTF-8.
#pragma once

#include <string>

namespace aerolinker {

// Escapes & < > " ' and makes the text valid UTF-8 for XML 1.0. The program's texts (aircraft
// titles, pilot names, waypoint idents) are the system's ANSI text, made UTF-8 by
// Utf8FromSystemText (common/text_encoding.h), and control
// characters XML forbids become spaces, so a title like "Caravane Ré" never breaks the file.
std::string XmlText(const std::string& text);

}  // namespace aerolinker
