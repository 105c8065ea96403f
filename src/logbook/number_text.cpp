// Locale-free number texts through std::to_chars and std::from_chars.
#include "logbook/number_text.h"

#include <charconv>
#include <cmath>

namespace aerolinker {

namespace {

std::string WithoutNegativeZero(std::string text) {
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

}  // namespace

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return WithoutNegativeZero(std::string(buffer, result.ptr));
}

std::string ShortestText(double value) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return WithoutNegativeZero(std::string(buffer, result.ptr));
}

bool ParseNumber(std::string_view text, double& value) {
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

bool ParseInteger(std::string_view text, long long& value) {
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

}  // namespace aerolinker
