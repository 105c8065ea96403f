// Text for the recorder's XML files (KML, GPX, SVG), which are UTF-8.
#pragma once

#include <string>

namespace aerolinker {

// Escapes & < > " ' and makes the text valid UTF-8 for XML 1.0. The program's texts (aircraft
// titles, pilot names, waypoint idents) are the system's ANSI text: a byte that does not start
// a valid UTF-8 sequence is read as Windows-1252 and written as its UTF-8 form, and control
// characters XML forbids become spaces, so a title like "Caravane Ré" never breaks the file.
std::string XmlText(const std::string& text);

}  // namespace aerolinker
