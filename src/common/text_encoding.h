// UTF-8 for the files other tools read (logbook.csv, KML, GPX, SVG) from the program's texts:
// aircraft titles from the simulator and names from the configuration are the system's ANSI
// text (its code page), while a text typed on a UTF-8 system already is UTF-8.
#pragma once

#include <string>

namespace aerolinker {

// Valid UTF-8 sequences stay as they are; every other byte is a character of the system's
// code page (Windows: the ANSI code page; elsewhere Windows-1252, the code page of the
// simulator's Western versions) and is written as its UTF-8 form.
std::string Utf8FromSystemText(const std::string& text);

// The length of a well-formed UTF-8 sequence of two to four bytes starting at `i`, or 0.
size_t Utf8SequenceLength(const std::string& text, size_t i);

// Appends the UTF-8 form of a run of bytes in the system's code page. Each platform has its
// own (win32/ and posix/).
void AppendSystemTextAsUtf8(std::string& out, const std::string& bytes);

// A file saved as "Unicode" (UTF-16, little-endian, after its byte-order mark FF FE) as the
// system's code page's text, and back, as Windows' own services read and write such files: a
// character the code page lacks becomes '?'. An odd last byte is dropped. Each platform has
// its own (win32/ and posix/).
std::string SystemTextFromUtf16(const std::string& utf16le);
std::string Utf16FromSystemText(const std::string& text);

}  // namespace aerolinker
