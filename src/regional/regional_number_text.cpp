// Rounding, filling and cutting to a width, and the two number texts.
#include "regional/regional_number_text.h"

#include <cassert>
#include <charconv>
#include <climits>
#include <cmath>
#include <string_view>
#include <system_error>

namespace aerolinker {
namespace {

constexpr int kSignificantDigits = 15;

// The exact decimal digits of a number as the standard library writes it in scientific
// notation: "1.34915e+02" is {false, "134915", 2}, the value 0.134915 x 10^(2 + 1).
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

DecimalDigits ReadScientific(std::string_view text) {
    DecimalDigits result;
    size_t i = 0;
    if (text[i] == '-') {
        result.negative = true;
        ++i;
    }
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] != '.') {
            result.digits += text[i];
        }
    }
    assert(i < text.size());
    ++i;
    if (text[i] == '+') {
        ++i;
    }
    std::from_chars(text.data() + i, text.data() + text.size(), result.exponent);
    return result;
}

// Significant digits rounded to `precision` digits, or the shortest digits that read back as
// the same double when `precision` is 0.
DecimalDigits DigitsOf(double x, int precision) {
    char buffer[64];
    const std::to_chars_result written =
        precision > 0
            ? std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific,
                            precision - 1)
            : std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific);
    assert(written.ec == std::errc());
    return ReadScientific(std::string_view(buffer, static_cast<size_t>(written.ptr - buffer)));
}

std::string NonFiniteText(double x) {
    if (std::isnan(x)) {
        return "NAN";
    }
    return x < 0 ? "-INF" : "INF";
}

// Adds one to a run of decimal digits; "999" becomes "1000".
void IncrementDigits(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace

int RoundHalfEven(double x) {
    // Saturate rather than overflow: no number in the log comes near the limits.
    if (std::isnan(x)) {
        return 0;
    }
    if (x >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (x <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    // x - trunc(x) is exact in binary floating point, so an exact half is recognised as
    // one and nothing else is.
    const double whole = std::trunc(x);
    const double fraction = std::fabs(x - whole);
    const double away = x < 0 ? -1.0 : 1.0;
    double rounded = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        rounded += away;
    }
    return static_cast<int>(rounded);
}

std::string PadLeft(char fill, const std::string& text, int width) {
    if (width <= 0 || text.size() >= static_cast<size_t>(width)) {
        return text;
    }
    return std::string(static_cast<size_t>(width) - text.size(), fill) + text;
}

std::string PadRightOrCut(char fill, const std::string& text, int width) {
    if (width <= 0) {
        return std::string();
    }
    std::string result = text.substr(0, static_cast<size_t>(width));
    result.append(static_cast<size_t>(width) - result.size(), fill);
    return result;
}

std::string NumberText(double x, const RegionalSettings& regional) {
    if (!std::isfinite(x)) {
        return NonFiniteText(x);
    }
    if (x == 0.0) {
        return "0";  // also for -0: a pilot has no use for a negative zero
    }
    DecimalDigits d = DigitsOf(x, kSignificantDigits);
    const size_t last = d.digits.find_last_not_of('0');
    d.digits.resize(last + 1);

    std::string text = d.negative ? "-" : "";
    if (d.exponent >= -5 && d.exponent < kSignificantDigits) {
        if (d.exponent < 0) {
            text += '0';
            text += regional.decimalSeparator;
            text.append(static_cast<size_t>(-d.exponent - 1), '0');
            text += d.digits;
        } else {
            const size_t integerDigits = static_cast<size_t>(d.exponent) + 1;
            if (d.digits.size() <= integerDigits) {
                text += d.digits;
                text.append(integerDigits - d.digits.size(), '0');
            } else {
                text += d.digits.substr(0, integerDigits);
                text += regional.decimalSeparator;
                text += d.digits.substr(integerDigits);
            }
        }
    } else {
        text += d.digits[0];
        if (d.digits.size() > 1) {
            text += regional.decimalSeparator;
            text += d.digits.substr(1);
        }
        text += 'E';
        text += std::to_string(d.exponent);
    }
    return text;
}

// The rounding works on the decimal value the pilot sees, not on the binary double: 134.915
// is stored as 134.91499999999999, and 5.25 rounds on the decimal 5.25. So the shortest
// digits that read back as the same double are rounded as a decimal string, halves away
// from zero.
std::string PatternNumberText(const std::string& pattern, double x,
                              const RegionalSettings& regional) {
    const size_t point = pattern.find('.');
    const size_t integerZeros = point == std::string::npos ? pattern.size() : point;
    const size_t decimals = point == std::string::npos ? 0 : pattern.size() - point - 1;
    assert(pattern.find_first_not_of("0.") == std::string::npos);
    assert(point == std::string::npos || pattern.find('.', point + 1) == std::string::npos);

    if (!std::isfinite(x)) {
        return NonFiniteText(x);
    }
    const DecimalDigits d = DigitsOf(x, 0);

    // Integer and fraction digits of the exact decimal value.
    std::string integerPart;
    std::string fraction;
    if (d.exponent >= 0) {
        const size_t integerDigits = static_cast<size_t>(d.exponent) + 1;
        integerPart = d.digits.substr(0, integerDigits);
        integerPart.append(integerDigits - integerPart.size(), '0');
        if (d.digits.size() > integerDigits) {
            fraction = d.digits.substr(integerDigits);
        }
    } else {
        integerPart = "0";
        fraction = std::string(static_cast<size_t>(-d.exponent - 1), '0') + d.digits;
    }

    const bool roundUp = fraction.size() > decimals && fraction[decimals] >= '5';
    fraction.resize(decimals, '0');
    std::string all = integerPart + fraction;
    if (roundUp) {
        IncrementDigits(all);
    }
    integerPart = all.substr(0, all.size() - decimals);
    fraction = all.substr(all.size() - decimals);

    const size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart.erase(0, firstNonZero == std::string::npos ? integerPart.size() : firstNonZero);
    if (integerPart.size() < integerZeros) {
        integerPart.insert(0, integerZeros - integerPart.size(), '0');
    }
    if (integerPart.empty() && decimals == 0) {
        integerPart = "0";
    }

    // A value that rounds to zero is written without a sign ("000", not "-000").
    const bool isZero = all.find_first_not_of('0') == std::string::npos;
    std::string text = d.negative && !isZero ? "-" : "";
    text += integerPart;
    if (decimals > 0) {
        text += regional.decimalSeparator;
        text += fraction;
    }
    return text;
}

}  // namespace aerolinker
