// The scenario reader: one statement per line, '#' comments, named values for every offset
// the program samples and raw typed offsets for anything else.
#include "sim/scenario_parser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <climits>
#include <cstdint>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "common/app_error.h"
#include "common/calendar.h"
#include "common/file_io.h"
#include "common/fixed_number_text.h"
#include "common/little_endian.h"
#include "common/units.h"
#include "link/fsuipc_offsets.h"
#include "link/sim_sample.h"
#include "sim/offset_space.h"

namespace aerolinker {

ScenarioError::ScenarioError(int line, const std::string& reason)
    : std::runtime_error(line == 0 ? reason : "line " + std::to_string(line) + ": " + reason),
      line_(line),
      reason_(reason) {}

namespace {

constexpr std::uint32_t kTitleFieldSize = offsets::kAircraftTitleSize + 1;

struct Token {
    std::string text;
    bool quoted = false;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The escape after a backslash in quoted text, `i` at the character after the backslash.
char ReadEscape(const std::string& line, std::size_t& i, int lineNumber) {
    const char escaped = line[i++];
    if (escaped == '"' || escaped == '\\') {
        return escaped;
    }
    if (escaped != 'x') {
        throw ScenarioError(lineNumber,
                            std::string("unknown escape \\") + escaped + " in quoted text");
    }
    unsigned value = 0;
    const char* first = line.data() + i;
    const char* last = first + std::min<std::size_t>(2, line.size() - i);
    const auto parsed = std::from_chars(first, last, value, 16);
    if (parsed.ec != std::errc() || parsed.ptr != first + 2) {
        throw ScenarioError(lineNumber, "\\x needs two hexadecimal digits");
    }
    i += 2;
    return static_cast<char>(value);
}

// Quoted text, `i` at the opening quote; it ends after the closing one.
std::string ReadQuoted(const std::string& line, std::size_t& i, int lineNumber) {
    std::string text;
    ++i;
    bool closed = false;
    while (i < line.size()) {
        const char c = line[i++];
        if (c == '"') {
            closed = true;
            break;
        }
        if (c != '\\') {
            text += c;
        } else if (i < line.size()) {
            text += ReadEscape(line, i, lineNumber);
        }
    }
    if (!closed) {
        throw ScenarioError(lineNumber, "quoted text is not closed");
    }
    if (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
        throw ScenarioError(lineNumber, "a blank must follow quoted text");
    }
    return text;
}

// A word, `i` at its first character; it ends at a blank, a comment or the end of the line.
std::string ReadWord(const std::string& line, std::size_t& i, int lineNumber) {
    std::string text;
    while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
        if (line[i] == '"') {
            throw ScenarioError(lineNumber, "a quote inside a word");
        }
        text += line[i++];
    }
    return text;
}

// Splits a line into blank-separated words and double-quoted texts; '#' outside quotes starts
// a comment. Quoted texts know \" \\ and \xNN, so any byte can be written.
std::vector<Token> Tokenize(const std::string& line, int lineNumber) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size() && line[i] != '#') {
        if (IsBlank(line[i])) {
            ++i;
        } else if (line[i] == '"') {
            tokens.push_back(Token{ReadQuoted(line, i, lineNumber), true});
        } else {
            tokens.push_back(Token{ReadWord(line, i, lineNumber), false});
        }
    }
    return tokens;
}

// Reads the values of one statement, refusing with this line's number.
class Statement {
public:
    Statement(int line, std::vector<Token> tokens) : line_(line), tokens_(std::move(tokens)) {}

    int line() const { return line_; }
    const std::string& name() const { return tokens_[0].text; }
    std::size_t valueCount() const { return tokens_.size() - 1; }

    [[noreturn]] void Fail(const std::string& reason) const { throw ScenarioError(line_, reason); }

    void ExpectValues(std::size_t least, std::size_t most) const {
        const std::size_t found = valueCount();
        if (found >= least && found <= most) {
            return;
        }
        std::string wanted = std::to_string(least);
        if (most != least) {
            wanted += most == least + 1 ? " or " : " to ";
            wanted += std::to_string(most);
        }
        Fail("'" + name() + "' takes " + wanted + (most == 1 ? " value" : " values") + ", found " +
             std::to_string(found));
    }

    const std::string& Word(std::size_t index) const {
        const Token& token = tokens_[index + 1];
        if (token.quoted) {
            Fail("expected a word, found quoted text \"" + token.text + "\"");
        }
        return token.text;
    }

    std::string Text(std::size_t index, std::uint32_t maxLength) const {
        const std::string& text = tokens_[index + 1].text;
        if (text.size() > maxLength) {
            Fail("text longer than " + std::to_string(maxLength) + " characters");
        }
        return text;
    }

    std::int64_t Integer(std::size_t index, std::int64_t least, std::int64_t most,
                         const char* what) const {
        const std::string& word = Word(index);
        std::string_view digits = word;
        bool negative = false;
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
            negative = digits[0] == '-';
            digits.remove_prefix(1);
        }
        int base = 10;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            base = 16;
            digits.remove_prefix(2);
        }
        std::uint64_t magnitude = 0;
        const auto parsed =
            std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
        if (digits.empty() || parsed.ec == std::errc::invalid_argument ||
            parsed.ptr != digits.data() + digits.size()) {
            Fail("'" + word + "' is not a whole number");
        }
        // Anything beyond 2^62 is out of every range a scenario uses.
        constexpr std::uint64_t kLargest = std::uint64_t{1} << 62;
        const bool tooLarge = parsed.ec == std::errc::result_out_of_range || magnitude > kLargest;
        const std::int64_t value = tooLarge ? (negative ? -static_cast<std::int64_t>(kLargest)
                                                        : static_cast<std::int64_t>(kLargest))
                                            : (negative ? -static_cast<std::int64_t>(magnitude)
                                                        : static_cast<std::int64_t>(magnitude));
        if (tooLarge || value < least || value > most) {
            Fail(std::string(what) + " " + word + " is out of range (" + std::to_string(least) +
                 " to " + std::to_string(most) + ")");
        }
        return value;
    }

    double Number(std::size_t index) const {
        const std::string& word = Word(index);
        std::string_view digits = word;
        if (!digits.empty() && digits[0] == '+') {
            digits.remove_prefix(1);
        }
        double value = 0;
        const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || parsed.ec != std::errc() ||
            parsed.ptr != digits.data() + digits.size() || !std::isfinite(value)) {
            Fail("'" + word + "' is not a number");
        }
        return value;
    }

    // Whether the value at `index` exists and is the unit word given.
    bool HasUnit(std::size_t index, const char* unit) const {
        return index < valueCount() && !tokens_[index + 1].quoted &&
               tokens_[index + 1].text == unit;
    }

    // A rounded whole number within a range, for natural units that become raw codes.
    std::int64_t Rounded(double value, std::int64_t least, std::int64_t most,
                         const char* what) const {
        const double rounded = std::nearbyint(value);
        if (!(rounded >= static_cast<double>(least) && rounded <= static_cast<double>(most))) {
            Fail(std::string(what) + " is out of range");
        }
        return static_cast<std::int64_t>(rounded);
    }

    // "HH:MM" or "HH:MM:SS" as seconds; hours up to `maxHours`.
    std::uint32_t ClockSeconds(std::size_t index, std::uint32_t maxHours) const {
        const std::string& word = Word(index);
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (;;) {
            const std::size_t colon = word.find(':', start);
            parts.push_back(word.substr(start, colon == std::string::npos ? colon : colon - start));
            if (colon == std::string::npos) {
                break;
            }
            start = colon + 1;
        }
        std::uint32_t values[3] = {0, 0, 0};
        bool valid = parts.size() == 2 || parts.size() == 3;
        for (std::size_t i = 0; valid && i < parts.size(); ++i) {
            const std::string& part = parts[i];
            const auto parsed = std::from_chars(part.data(), part.data() + part.size(), values[i]);
            valid = !part.empty() && (i == 0 ? part.size() <= 6 : part.size() == 2) &&
                    parsed.ec == std::errc() && parsed.ptr == part.data() + part.size();
        }
        if (!valid) {
            Fail("'" + word + "' is not a time (HH:MM or HH:MM:SS)");
        }
        if (values[0] > maxHours || values[1] >= units::kMinutesPerHour ||
            values[2] >= units::kSecondsPerMinute) {
            Fail("time " + word + " is out of range");
        }
        return (values[0] * units::kMinutesPerHour + values[1]) * units::kSecondsPerMinute +
               values[2];
    }

    // An offset and the size written there, refused when it leaves the offset space or
    // touches the version words.
    std::uint32_t Offset(std::size_t index, std::uint32_t size) const {
        const auto offset =
            static_cast<std::uint32_t>(Integer(index, 0, OffsetSpace::kSize - 1, "offset"));
        if (!OffsetSpace::Contains(offset, size)) {
            Fail("a value of " + std::to_string(size) + " bytes does not fit at offset " +
                 Word(index));
        }
        // The version words the server reports; a scenario sets them only by name.
        if (offset < offsets::kVersionWordsEnd && offset + size > offsets::kServerVersion) {
            Fail(
                "the versions at 0x3304 and 0x3308 are set with server_version and "
                "simulator_code");
        }
        return offset;
    }

private:
    int line_;
    std::vector<Token> tokens_;
};

void AddWrite(ScenarioChanges& changes, std::uint32_t offset, std::vector<std::uint8_t> bytes) {
    changes.writes.push_back(OffsetChange{offset, std::move(bytes)});
}

void AddInteger(ScenarioChanges& changes, std::uint32_t offset, std::uint64_t value,
                std::uint32_t width) {
    std::vector<std::uint8_t> bytes(width);
    le::StoreBytes(bytes.data(), value, width);
    AddWrite(changes, offset, std::move(bytes));
}

void AddDouble(ScenarioChanges& changes, std::uint32_t offset, double value) {
    const auto bytes = le::Bytes(value);
    AddWrite(changes, offset, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void AddText(ScenarioChanges& changes, std::uint32_t offset, std::uint32_t fieldSize,
             const std::string& text) {
    std::vector<std::uint8_t> bytes(fieldSize, 0);
    std::copy(text.begin(), text.end(), bytes.begin());
    AddWrite(changes, offset, std::move(bytes));
}

// A value given raw, or in natural units when followed by the unit word: `visibility 1250`
// or `visibility 12.5 mi`.
std::int64_t RawOrNatural(const Statement& s, const char* unit, double factor, std::int64_t least,
                          std::int64_t most, const char* what) {
    s.ExpectValues(1, 2);
    if (s.valueCount() == 2) {
        if (!s.HasUnit(1, unit)) {
            s.Fail("unknown unit '" + s.Word(1) + "' (only " + unit + ")");
        }
        return s.Rounded(s.Number(0) * factor, least, most, what);
    }
    return s.Integer(0, least, most, what);
}

// A double given as is, or converted when followed by the unit word.
double PlainOrConverted(const Statement& s, const char* unit, double factor) {
    s.ExpectValues(1, 2);
    if (s.valueCount() == 2) {
        if (!s.HasUnit(1, unit)) {
            s.Fail("unknown unit '" + s.Word(1) + "' (only " + unit + ")");
        }
        return s.Number(0) * factor;
    }
    return s.Number(0);
}

using Handler = std::function<void(const Statement&, ScenarioChanges&)>;

Handler TextValue(std::uint32_t offset, std::uint32_t fieldSize, std::uint32_t maxLength) {
    return [=](const Statement& s, ScenarioChanges& c) {
        s.ExpectValues(1, 1);
        AddText(c, offset, fieldSize, s.Text(0, maxLength));
    };
}

Handler DoubleValue(std::uint32_t offset) {
    return [=](const Statement& s, ScenarioChanges& c) {
        s.ExpectValues(1, 1);
        AddDouble(c, offset, s.Number(0));
    };
}

Handler UnsignedValue(std::uint32_t offset, std::uint32_t width) {
    return [=](const Statement& s, ScenarioChanges& c) {
        s.ExpectValues(1, 1);
        const std::int64_t most = static_cast<std::int64_t>((std::uint64_t{1} << (8 * width)) - 1);
        AddInteger(c, offset, static_cast<std::uint64_t>(s.Integer(0, 0, most, "value")), width);
    };
}

Handler SignedValue(std::uint32_t offset, std::uint32_t width) {
    return [=](const Statement& s, ScenarioChanges& c) {
        s.ExpectValues(1, 1);
        const std::int64_t most = (std::int64_t{1} << (8 * width - 1)) - 1;
        AddInteger(c, offset, static_cast<std::uint64_t>(s.Integer(0, -most - 1, most, "value")),
                   width);
    };
}

void Clock(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 2);
    ClockSetting clock;
    clock.secondsOfDay = s.ClockSeconds(0, units::kHoursPerDay - 1);
    if (s.valueCount() == 2) {
        if (s.Word(1) != "hold") {
            s.Fail("expected 'hold' after the time, found '" + s.Word(1) + "'");
        }
        clock.running = false;
    }
    c.clock = clock;
}

void Date(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 1);
    CivilDate date;
    if (!ParseDateText(s.Word(0), date) || date.year < 1601 || date.year > 9999) {
        s.Fail("'" + s.Word(0) + "' is not a date (YYYY-MM-DD)");
    }
    c.dateDays = DaysFromCivil(date);
}

// "+01:00", "-05:30": the local time's difference from UTC.
void Zone(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 1);
    const std::string word = s.Word(0);
    constexpr int kMostZoneHours = 14;
    if (word.size() == 6 && (word[0] == '+' || word[0] == '-') && word[3] == ':') {
        long long hours = 0;
        long long minutes = 0;
        if (ParseInteger(std::string_view(word).substr(1, 2), hours) &&
            ParseInteger(std::string_view(word).substr(4, 2), minutes) && hours >= 0 &&
            hours <= kMostZoneHours && minutes >= 0 && minutes < units::kMinutesPerHour) {
            const int zone = static_cast<int>(hours * units::kMinutesPerHour + minutes);
            c.zoneMinutes = word[0] == '-' ? -zone : zone;
            return;
        }
    }
    s.Fail("'" + word + "' is not a time zone (+HH:MM or -HH:MM)");
}

// Degrees as the wind direction's code; 360 degrees is the same code as 0.
std::int64_t WindDirectionCode(const Statement& s, double degrees) {
    if (degrees < 0 || degrees > units::kDegreesPerTurn) {
        s.Fail("wind direction is out of range (0 to 360 degrees)");
    }
    return s.Rounded(degrees * offsets::kWindDirectionPerTurn / units::kDegreesPerTurn, 0,
                     offsets::kWindDirectionPerTurn, "wind direction") %
           offsets::kWindDirectionPerTurn;
}

void Wind(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 1);
    const std::string& word = s.Word(0);
    const std::size_t slash = word.find('/');
    if (slash == std::string::npos) {
        s.Fail("wind is written direction/speed, as 270/12");
    }
    const Statement parts(s.line(), {{"wind"}, {word.substr(0, slash)}, {word.substr(slash + 1)}});
    const auto direction = static_cast<std::uint64_t>(WindDirectionCode(s, parts.Number(0)));
    AddInteger(c, offsets::kWindDirection, direction, 2);
    AddInteger(c, offsets::kWindSpeed,
               static_cast<std::uint64_t>(parts.Integer(1, 0, 65535, "wind speed")), 2);
}

void WindDirection(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 2);
    std::int64_t raw = 0;
    if (s.valueCount() == 2) {
        if (!s.HasUnit(1, "deg")) {
            s.Fail("unknown unit '" + s.Word(1) + "' (only deg)");
        }
        raw = WindDirectionCode(s, s.Number(0));
    } else {
        raw = s.Integer(0, 0, 65535, "wind direction");
    }
    AddInteger(c, offsets::kWindDirection, static_cast<std::uint64_t>(raw), 2);
}

void Temperature(const Statement& s, ScenarioChanges& c) {
    // Degrees Celsius x 256; a negative temperature is its 16-bit two's complement.
    const std::int64_t raw =
        s.valueCount() == 2
            ? RawOrNatural(s, "c", offsets::kTemperaturePerDegree, -32768, 32767, "temperature")
            : RawOrNatural(s, "c", offsets::kTemperaturePerDegree, 0, 65535, "temperature");
    AddInteger(c, offsets::kTemperature, static_cast<std::uint64_t>(raw) & 0xFFFF, 2);
}

void Clouds(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 1);
    const std::string& word = s.Word(0);
    std::uint64_t code = 0;
    if (word.size() == 3 && word[1] == '/' && word[2] == '8' && word[0] >= '0' && word[0] <= '8') {
        const std::uint32_t eighths = static_cast<std::uint32_t>(word[0] - '0');
        code = eighths == 8 ? offsets::kCloudCoverOvercast : eighths * offsets::kCloudCoverEighth;
    } else {
        code = static_cast<std::uint64_t>(s.Integer(0, 0, 65535, "cloud cover"));
    }
    AddInteger(c, offsets::kCloudCover, code, 2);
}

void Fuel(const Statement& s, ScenarioChanges& c) {
    static const std::map<std::string, int> kTanks = {
        {"centre", kCentreLevel},        {"left_main", kLeftMainLevel},
        {"left_aux", kLeftAuxLevel},     {"left_tip", kLeftTipLevel},
        {"right_main", kRightMainLevel}, {"right_aux", kRightAuxLevel},
        {"right_tip", kRightTipLevel},
    };
    s.ExpectValues(3, 3);
    const auto tank = kTanks.find(s.Word(0));
    if (tank == kTanks.end()) {
        s.Fail("unknown tank '" + s.Word(0) +
               "' (centre, left_main, left_aux, left_tip, right_main, right_aux, right_tip)");
    }
    const double fraction = s.Number(1);
    if (fraction < 0 || fraction > 1) {
        s.Fail("a tank's level is a fraction from 0 to 1");
    }
    const auto level = static_cast<std::uint64_t>(
        s.Rounded(fraction * offsets::kFullTankLevel, 0,
                  static_cast<std::int64_t>(offsets::kFullTankLevel), "level"));
    const auto capacity = static_cast<std::uint64_t>(s.Integer(2, 0, 0xFFFFFFFF, "capacity"));
    const std::uint32_t levelOffset =
        offsets::kFuelTanks + 4 * static_cast<std::uint32_t>(tank->second);
    AddInteger(c, levelOffset, level, 4);
    AddInteger(c, levelOffset + 4, capacity, 4);
}

void Altitude(const Statement& s, ScenarioChanges& c) {
    // One signed 64-bit value in units of 2^-32 metre: whole metres (signed) in the high word,
    // the fraction in the low word, so -0.25 m is whole -1 and fraction 0.75.
    const double metres = PlainOrConverted(s, "ft", units::kMetresPerFoot);
    if (metres < -offsets::kAltitudeFractionPerMetre / 2 ||
        metres >= offsets::kAltitudeFractionPerMetre / 2) {
        s.Fail("altitude is out of range (-2^31 up to 2^31 metres)");
    }
    double whole = std::floor(metres);
    double fraction = std::nearbyint((metres - whole) * offsets::kAltitudeFractionPerMetre);
    if (fraction >= offsets::kAltitudeFractionPerMetre) {
        whole += 1;
        fraction = 0;
    }
    AddInteger(c, offsets::kAltitudeFraction, static_cast<std::uint64_t>(fraction), 4);
    AddInteger(c, offsets::kAltitudeMetres,
               static_cast<std::uint64_t>(static_cast<std::int64_t>(whole)) & 0xFFFFFFFFu, 4);
}

constexpr double kVerticalRawPerFpm =
    offsets::kVerticalSpeedPerMetrePerSecond * units::kMetresPerFoot / units::kSecondsPerMinute;

void Position(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(2, 2);
    const double latitude = s.Number(0);
    const double longitude = s.Number(1);
    if (latitude < -90 || latitude > 90 || longitude < -180 || longitude >= 180) {
        s.Fail("position is out of range (latitude -90 to 90, longitude -180 to below 180)");
    }
    const std::int64_t lat = s.Rounded(latitude * offsets::kLatitudeUnitsPerDegree,
                                       std::numeric_limits<std::int64_t>::min() / 2,
                                       std::numeric_limits<std::int64_t>::max() / 2, "latitude");
    // 180 degrees east would be 2^63: the range stops just short of it.
    const double lonRaw = std::nearbyint(longitude * offsets::kLongitudeUnitsPerDegree);
    const std::int64_t lon = lonRaw >= 9223372036854775807.0
                                 ? std::numeric_limits<std::int64_t>::max()
                                 : static_cast<std::int64_t>(lonRaw);
    AddInteger(c, offsets::kLatitude, static_cast<std::uint64_t>(lat), 8);
    AddInteger(c, offsets::kLongitude, static_cast<std::uint64_t>(lon), 8);
    c.setsPosition = true;
}

// `vertical_speed -500 fpm` or the raw code; the touchdown rate likewise.
Handler VerticalSpeedValue(std::uint32_t offset) {
    return [=](const Statement& s, ScenarioChanges& c) {
        const std::int64_t raw =
            RawOrNatural(s, "fpm", kVerticalRawPerFpm, INT32_MIN, INT32_MAX, "vertical speed");
        AddInteger(c, offset, static_cast<std::uint64_t>(raw) & 0xFFFFFFFFu, 4);
    };
}

// A flag of 0 or 1 (pause, slew, the warnings, the crash) at its own width: the stall and
// overspeed warnings are neighbouring bytes, so a wider write would clear the other one.
Handler FlagValue(std::uint32_t offset, std::uint32_t width) {
    return [=](const Statement& s, ScenarioChanges& c) {
        s.ExpectValues(1, 1);
        AddInteger(c, offset, static_cast<std::uint64_t>(s.Integer(0, 0, 1, "flag")), width);
    };
}

// `lights none`, or the switches that are on in any order: `lights nav beacon landing`.
void Lights(const Statement& s, ScenarioChanges& c) {
    static constexpr const char* kNone = "none";
    static const std::pair<const char*, std::uint16_t> kSwitches[] = {
        {"nav", offsets::kNavigationLights},  {"beacon", offsets::kBeaconLight},
        {"landing", offsets::kLandingLights}, {"taxi", offsets::kTaxiLights},
        {"strobe", offsets::kStrobeLights},
    };
    s.ExpectValues(1, std::size(kSwitches));
    if (s.valueCount() == 1 && s.Word(0) == kNone) {
        AddInteger(c, offsets::kLights, 0, 2);
        return;
    }
    std::uint16_t bits = 0;
    for (std::size_t i = 0; i < s.valueCount(); ++i) {
        const std::string& word = s.Word(i);
        if (word == kNone) {
            s.Fail("'none' cannot go with other lights");
        }
        const auto* found = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                         [&](const auto& light) { return word == light.first; });
        if (found == std::end(kSwitches)) {
            std::string allowed = kNone;
            for (const auto& light : kSwitches) {
                allowed += std::string(", ") + light.first;
            }
            s.Fail("unknown light '" + word + "' (" + allowed + ")");
        }
        bits |= found->second;
    }
    AddInteger(c, offsets::kLights, bits, 2);
}

void Gear(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 1);
    const std::string& word = s.Word(0);
    if (word != "up" && word != "down") {
        s.Fail("expected 'up' or 'down', found '" + word + "'");
    }
    AddInteger(c, offsets::kGearControl, word == "down" ? offsets::kGearDown : 0, 4);
}

// The ground's elevation under the aircraft: metres as `altitude` takes them, or feet.
void GroundAltitude(const Statement& s, ScenarioChanges& c) {
    const double metres = PlainOrConverted(s, "ft", units::kMetresPerFoot);
    const std::int64_t raw = s.Rounded(metres * offsets::kGroundAltitudePerMetre, INT32_MIN,
                                       INT32_MAX, "ground altitude");
    AddInteger(c, offsets::kGroundAltitude, static_cast<std::uint64_t>(raw) & 0xFFFFFFFFu, 4);
}

void SimulationRate(const Statement& s, ScenarioChanges& c) {
    // The factor as written (`sim_rate 2`, `sim_rate 0.5`), held x 256.
    s.ExpectValues(1, 1);
    AddInteger(c, offsets::kSimulationRate,
               static_cast<std::uint64_t>(
                   s.Rounded(s.Number(0) * offsets::kSimulationRatePerFactor, 1, 65535, "rate")),
               2);
}

void GForceValue(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 1);
    const std::int64_t raw =
        s.Rounded(s.Number(0) * offsets::kGForcePerG, INT16_MIN, INT16_MAX, "G force");
    AddInteger(c, offsets::kGForce, static_cast<std::uint64_t>(raw) & 0xFFFFu, 2);
}

void EstimatedArrival(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(1, 1);
    const std::string& word = s.Word(0);
    const std::uint64_t seconds =
        word.find(':') != std::string::npos
            ? s.ClockSeconds(0, 999999)
            : static_cast<std::uint64_t>(s.Integer(0, 0, 0xFFFFFFFF, "estimated arrival"));
    AddInteger(c, offsets::kEstimatedArrival, seconds, 4);
}

void Engines(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(offsets::kEngineCount, offsets::kEngineCount);
    for (std::uint32_t engine = 0; engine < offsets::kEngineCount; ++engine) {
        const std::int64_t flag = s.Integer(engine, -32768, 32767, "engine flag");
        AddInteger(c, offsets::kEngine1Combustion + engine * offsets::kEngineStride,
                   static_cast<std::uint64_t>(flag), 2);
    }
}

Handler RawInteger(std::uint32_t width, bool isSigned) {
    return [=](const Statement& s, ScenarioChanges& c) {
        s.ExpectValues(2, 2);
        const std::uint32_t offset = s.Offset(0, width);
        const std::int64_t least = isSigned ? -(std::int64_t{1} << (8 * width - 1)) : 0;
        const std::int64_t most =
            isSigned ? (std::int64_t{1} << (8 * width - 1)) - 1
                     : static_cast<std::int64_t>((std::uint64_t{1} << (8 * width)) - 1);
        AddInteger(c, offset, static_cast<std::uint64_t>(s.Integer(1, least, most, "value")),
                   width);
    };
}

void RawDouble(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(2, 2);
    const std::uint32_t offset = s.Offset(0, 8);
    AddDouble(c, offset, s.Number(1));
}

void RawText(const Statement& s, ScenarioChanges& c) {
    s.ExpectValues(3, 3);
    const auto size = static_cast<std::uint32_t>(s.Integer(1, 1, OffsetSpace::kSize, "field size"));
    const std::uint32_t offset = s.Offset(0, size);
    AddText(c, offset, size, s.Text(2, size));
}

const std::map<std::string, Handler>& ValueHandlers() {
    using namespace offsets;
    static const std::map<std::string, Handler> handlers = {
        {"title", TextValue(kAircraftTitle, kTitleFieldSize, kAircraftTitleSize)},
        {"waypoint_count", SignedValue(kWaypointCount, 4)},
        {"registration", TextValue(kAtcIdentifier, kAtcIdentifierSize, kAtcIdentifierSize - 1)},
        {"fuel_weight",
         [](const Statement& s, ScenarioChanges& c) {
             AddInteger(c, kFuelWeight,
                        static_cast<std::uint64_t>(RawOrNatural(s, "lb", kFuelWeightUnitsPerPound,
                                                                0, 65535, "fuel weight")),
                        2);
         }},
        {"route_distance", DoubleValue(kRouteDistance)},
        {"clock", Clock},
        {"date", Date},
        {"zone", Zone},
        {"visibility",
         [](const Statement& s, ScenarioChanges& c) {
             AddInteger(c, kVisibility,
                        static_cast<std::uint64_t>(RawOrNatural(
                            s, "mi", offsets::kVisibilityPerMile, 0, 65535, "visibility")),
                        2);
         }},
        {"qnh",
         [](const Statement& s, ScenarioChanges& c) {
             AddInteger(c, kQnh,
                        static_cast<std::uint64_t>(
                            RawOrNatural(s, "hpa", offsets::kQnhPerHectopascal, 0, 65535, "QNH")),
                        2);
         }},
        {"wind", Wind},
        {"wind_direction", WindDirection},
        {"wind_speed", UnsignedValue(kWindSpeed, 2)},
        {"temperature", Temperature},
        {"clouds", Clouds},
        {"fuel", Fuel},
        {"altitude", Altitude},
        {"prev", TextValue(kPreviousWaypoint, kWaypointIdSize, kWaypointIdSize)},
        {"next", TextValue(kNextWaypoint, kWaypointIdSize, kWaypointIdSize)},
        {"destination", TextValue(kDestination, kDestinationSize, kDestinationSize)},
        {"approach", TextValue(kApproachName, kApproachNameSize, kApproachNameSize)},
        {"transition", TextValue(kApproachTransition, kApproachNameSize, kApproachNameSize)},
        {"distance_to_next", DoubleValue(kDistanceToNext)},
        {"heading",
         [](const Statement& s, ScenarioChanges& c) {
             AddDouble(c, kTrueHeading, PlainOrConverted(s, "deg", units::kRadiansPerDegree));
         }},
        {"time_to_next", UnsignedValue(kTimeToNext, 4)},
        {"estimated_arrival", EstimatedArrival},
        {"active_waypoint", UnsignedValue(kActiveWaypoint, 4)},
        {"ground_speed",
         [](const Statement& s, ScenarioChanges& c) {
             AddDouble(
                 c, kGroundSpeed,
                 PlainOrConverted(s, "kt", units::kMetresPerNauticalMile / units::kSecondsPerHour));
         }},
        {"gps_fuel", DoubleValue(kGpsFuel)},
        {"engines", Engines},
        {"on_ground", SignedValue(kOnGround, 2)},
        {"position", Position},
        {"vertical_speed", VerticalSpeedValue(kVerticalSpeed)},
        {"touchdown_rate", VerticalSpeedValue(kTouchdownSpeed)},
        {"pause", FlagValue(kPauseIndicator, 2)},
        {"slew", FlagValue(kSlewMode, 2)},
        {"stall_warning", FlagValue(kStallWarning, 1)},
        {"overspeed_warning", FlagValue(kOverspeedWarning, 1)},
        {"crashed", FlagValue(kCrashed, 2)},
        {"lights", Lights},
        {"gear", Gear},
        {"ias",
         [](const Statement& s, ScenarioChanges& c) {
             AddInteger(c, kIndicatedAirspeed,
                        static_cast<std::uint64_t>(RawOrNatural(s, "kt", kIndicatedAirspeedPerKnot,
                                                                0, 0xFFFFFFFF, "airspeed")),
                        4);
         }},
        {"ground_altitude", GroundAltitude},
        {"sim_rate", SimulationRate},
        {"g", GForceValue},
        {"u8", RawInteger(1, false)},
        {"u16", RawInteger(2, false)},
        {"s16", RawInteger(2, true)},
        {"u32", RawInteger(4, false)},
        {"s32", RawInteger(4, true)},
        {"f64", RawDouble},
        {"text", RawText},
    };
    return handlers;
}

// Statements about the scenario as a whole, allowed only before the first frame.
bool ScenarioSetting(const Statement& s, Scenario& scenario) {
    if (s.name() == "scenario") {
        s.ExpectValues(1, 1);
        scenario.name = s.Text(0, 200);
    } else if (s.name() == "clock_follows_rate") {
        s.ExpectValues(0, 0);
        scenario.clockFollowsRate = true;
    } else if (s.name() == "positions_glide") {
        s.ExpectValues(0, 0);
        scenario.positionsGlide = true;
    } else if (s.name() == "server_version") {
        s.ExpectValues(1, 1);
        scenario.serverVersion = static_cast<std::uint32_t>(s.Integer(0, 0, 0xFFFFFFFF, "version"));
    } else if (s.name() == "simulator_code") {
        s.ExpectValues(1, 1);
        scenario.simulatorCode =
            static_cast<std::uint16_t>(s.Integer(0, 0, 0xFFFF, "simulator code"));
    } else {
        return false;
    }
    return true;
}

}  // namespace

Scenario ParseScenario(const std::string& text) {
    Scenario scenario;
    ScenarioChanges* current = &scenario.initial;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        ++lineNumber;
        const std::string line = text.substr(start, end - start);
        start = end + 1;

        std::vector<Token> tokens = Tokenize(line, lineNumber);
        if (tokens.empty()) {
            continue;
        }
        if (tokens[0].quoted) {
            throw ScenarioError(lineNumber, "a line starts with a value name, not quoted text");
        }
        const Statement statement(lineNumber, std::move(tokens));
        if (statement.name() == "frame") {
            statement.ExpectValues(0, 1);
            ScenarioFrame frame;
            frame.line = lineNumber;
            if (statement.valueCount() == 1) {
                frame.ticks = static_cast<std::uint32_t>(
                    statement.Integer(0, 1, kMaxFrameTicks, "frame length"));
            }
            scenario.frames.push_back(std::move(frame));
            current = &scenario.frames.back().changes;
            continue;
        }
        if (statement.name() == "hang") {
            if (scenario.frames.empty()) {
                statement.Fail("'hang' belongs inside a frame");
            }
            statement.ExpectValues(1, 1);
            scenario.frames.back().hangRequests = static_cast<std::uint32_t>(
                statement.Integer(0, 1, kMaxHangRequests, "request count"));
            continue;
        }
        if (statement.name() == "at") {
            if (scenario.frames.empty()) {
                statement.Fail("'at' belongs inside a frame");
            }
            statement.ExpectValues(1, 1);
            constexpr double kTickMilliseconds =
                units::kTickSeconds * units::kMillisecondsPerSecond;
            const double seconds = statement.Number(0);
            const double milliseconds = std::round(seconds * units::kMillisecondsPerSecond);
            std::vector<ScenarioStep>& steps = scenario.frames.back().steps;
            if (!(milliseconds > 0 && milliseconds < kTickMilliseconds) ||
                (!steps.empty() && milliseconds <= steps.back().afterMilliseconds)) {
                statement.Fail("'at' takes a time after the last one and within the tick (0 to " +
                               std::to_string(units::kTickSeconds) + " seconds)");
            }
            ScenarioStep step;
            step.afterMilliseconds = static_cast<std::uint32_t>(milliseconds);
            steps.push_back(std::move(step));
            current = &steps.back().changes;
            continue;
        }
        if (ScenarioSetting(statement, scenario)) {
            if (!scenario.frames.empty()) {
                statement.Fail("'" + statement.name() + "' belongs before the first frame");
            }
            continue;
        }
        const auto& handlers = ValueHandlers();
        const auto handler = handlers.find(statement.name());
        if (handler == handlers.end()) {
            statement.Fail("unknown value name '" + statement.name() + "'");
        }
        handler->second(statement, *current);
    }
    return scenario;
}

Scenario LoadScenarioFile(const std::string& path) {
    std::string text;
    const int error = ReadFileContents(path, text);
    if (error != 0) {
        throw ScenarioError(0, "cannot read the file: " + SystemErrorText(error));
    }
    return ParseScenario(text);
}

}  // namespace aerolinker
