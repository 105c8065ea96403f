// Small steps of reading the digits of a time text.
#include "regional/text_scan.h"

namespace aerolinker {
namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::string TrimBlanks(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

int ReadSmallNumber(const std::string& text, size_t& pos) {
    size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    const size_t count = end - pos;
    if (count == 0 || count > 2) {
        return -1;
    }
    int value = 0;
    for (; pos < end; ++pos) {
        value = value * 10 + (text[pos] - '0');
    }
    return value;
}

}  // namespace aerolinker
