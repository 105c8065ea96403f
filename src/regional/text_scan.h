// Small steps of reading the digits of a time text, shared by the clock and time readers.
#pragma once

#include <cstddef>
#include <string>

namespace aerolinker {

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without control characters and blanks at either end.
std::string TrimBlanks(const std::string& text);

// Reads 1 or 2 digits at pos and moves past them; -1 (pos unchanged) when there are none
// or more than two.
int ReadSmallNumber(const std::string& text, size_t& pos);

}  // namespace aerolinker
