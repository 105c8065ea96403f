// Locale-free number texts through std::to_chars and std::from_chars.
#include "common/fixed_number_text.h"

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

// Appends the digits of a whole number of units of 10^-decimals, with the point put in: the
// fast way for the trace's figures, every tick (to_chars' exact fixed form costs ten times as
// much). Zero has no sign.
void AppendScaled(std::string& text, long long scaled, int decimals) {
    char digits[40];
    char* end = digits + sizeof digits;
    char* at = end;
    unsigned long long magnitude = scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled)
                                              : static_cast<unsigned long long>(scaled);
    int count = 0;
    do {
        if (count == decimals && decimals > 0) {
            *--at = '.';
        }
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
        ++count;
    } while (magnitude > 0 || count <= decimals);
    if (scaled < 0) {
        *--at = '-';
    }
    text.append(at, end);
}

}  // namespace

void AppendFixed(std::string& text, double value, int decimals) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals >= 0 && decimals < 10 && std::fabs(value) * kPowers[decimals] < 1e15) {
        AppendScaled(text, std::llround(value * kPowers[decimals]), decimals);
        return;
    }
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    text += WithoutNegativeZero(std::string(buffer, result.ptr));
}

std::string FixedText(double value, int decimals) {
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
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
