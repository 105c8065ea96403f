// Locale-free number texts through std::to_chars and std::from_chars.
#include "common/fixed_number_text.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace aerolinker {

namespace {

std::string WithoutNegativeZero(std::string text) {
    if (text.size() > 1 && text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

// The pairs of digits "00" to "99", so that a figure is cut two digits at a time.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";
constexpr unsigned kPairBase = 100;

// The last two digits of `magnitude` before `at`, and the magnitude without them. Figures below
// 2^32 (nearly all of them) take the narrower, cheaper division.
template <typename Whole>
char* PutPair(char* at, Whole& magnitude) {
    const auto pair = static_cast<std::size_t>(magnitude % kPairBase) * 2;
    magnitude /= kPairBase;
    at -= 2;
    std::memcpy(at, kDigitPairs + pair, 2);
    return at;
}

// The digits of `magnitude` before `at`, at least one.
template <typename Whole>
char* PutWhole(char* at, Whole magnitude) {
    while (magnitude >= kPairBase) {
        at = PutPair(at, magnitude);
    }
    if (magnitude >= 10) {
        return PutPair(at, magnitude);
    }
    *--at = static_cast<char>('0' + magnitude);
    return at;
}

// `places` decimals of `magnitude` before `at`, then the point and the whole part.
template <typename Whole>
char* PutDecimals(char* at, Whole magnitude, int places) {
    const bool point = places > 0;
    for (; places >= 2; places -= 2) {
        at = PutPair(at, magnitude);
    }
    if (places == 1) {
        *--at = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (point) {
        *--at = '.';
    }
    return PutWhole(at, magnitude);
}

// The longest text PutScaled writes: a sign, 19 digits and the point.
constexpr std::size_t kScaledRoom = 24;

// Writes the digits of a whole number of units of 10^-decimals, with the point put in, so that
// they end at `end`; returns where they start. The fast way for the trace's figures, every tick
// (to_chars' exact fixed form costs ten times as much). At least one digit stands before the
// point. Zero has no sign.
char* PutScaled(char* const end, long long scaled, int decimals) {
    const unsigned long long magnitude = scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled)
                                                    : static_cast<unsigned long long>(scaled);
    char* at = magnitude <= UINT32_MAX
                   ? PutDecimals(end, static_cast<std::uint32_t>(magnitude), decimals)
                   : PutDecimals(end, magnitude, decimals);
    if (scaled < 0) {
        *--at = '-';
    }
    return at;
}

// `value` rounded to a whole number, halves away from zero, as std::llround does, for values
// below 2^53 in size: below that the part after the point is exact in a double, and so is
// its comparison with a half. Without a call into the C library: three figures in every row
// of a trace, a KML and a GPX.
long long RoundedHalfAway(double value) {
    auto whole = static_cast<long long>(value);  // toward zero
    const double rest = value - static_cast<double>(whole);
    if (rest >= 0.5) {
        ++whole;
    } else if (rest <= -0.5) {
        --whole;
    }
    return whole;
}

// The exact fixed form of to_chars, for the figures the fast way cannot take. Kept out of
// AppendFixed so that its buffer is not set up for every figure the fast way writes.
[[gnu::noinline]] void AppendExactFixed(std::string& text, double value, int decimals) {
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    text += WithoutNegativeZero(std::string(buffer, result.ptr));
}

// The figure as a whole number of units of 10^-decimals, for the fast way; false when it needs
// the exact way.
bool FastScaled(double value, int decimals, long long& scaled) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    static constexpr double kPowers[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals >= 0 && decimals < 10 && std::fabs(value) * kPowers[decimals] < 1e15) {
        scaled = RoundedHalfAway(value * kPowers[decimals]);
        return true;
    }
    return false;
}

}  // namespace

void AppendFixed(std::string& text, double value, int decimals) {
    long long scaled = 0;
    if (FastScaled(value, decimals, scaled)) {
        char digits[kScaledRoom];
        char* const end = digits + sizeof digits;
        const char* start = PutScaled(end, scaled, decimals);
        text.append(start, static_cast<std::size_t>(end - start));
        return;
    }
    AppendExactFixed(text, std::isfinite(value) ? value : 0.0, decimals);
}

void FigureWriter::Text(std::string_view text) {
    if (text.size() > kRoom) {
        Flush();
        text_.append(text);
        return;
    }
    std::memcpy(Place(text.size()), text.data(), text.size());
    at_ += text.size();
}

char* FigureWriter::Place(std::size_t size) {
    if (static_cast<std::size_t>(buffer_ + kRoom - at_) < size) {
        Flush();
    }
    return at_;
}

void FigureWriter::Fixed(double value, int decimals) {
    long long scaled = 0;
    if (!FastScaled(value, decimals, scaled)) {
        Flush();
        AppendExactFixed(text_, std::isfinite(value) ? value : 0.0, decimals);
        return;
    }
    // Written from its end back into a block of fixed size, then moved whole: a move of a
    // known size is a few instructions, and the figure's length is never counted beforehand.
    char digits[2 * kScaledRoom] = {};
    char* const end = digits + kScaledRoom;
    const char* const start = PutScaled(end, scaled, decimals);
    std::memcpy(Place(kScaledRoom), start, kScaledRoom);
    at_ += end - start;
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
