// The situation file's text, written and read back as one unit. The file carries its log's
// length and a check over all its bytes, so that one cut short or changed on disk (a failing
// disk, a sync tool, an editor) is refused instead of resumed into a mangled log.
#include "tracking/situation.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <string_view>

#include "common/crc32.h"
#include "common/fixed_number_text.h"
#include "navlog/weather_text.h"
#include "tracking/log_rows.h"

namespace aerolinker {
namespace {

constexpr std::string_view kFormatLine = "Aerolinker situation 2\n";
// Files of the previous version: the same lines, without the log's length and the check.
constexpr std::string_view kFormat1Line = "Aerolinker situation 1\n";
constexpr std::string_view kLogLine = "log\n";
constexpr const char* kLogLengthName = "logLength";
// The file ends with the line "check=" and the CRC-32 of every byte before that line in eight
// lower-case hex digits. It follows a line break of its own, whatever the log ends with, so a
// file that does not end with a whole check line has lost its end.
constexpr std::string_view kCheckName = "check=";
constexpr std::size_t kCheckDigits = 8;
constexpr std::size_t kCheckTail = 1 + kCheckName.size() + kCheckDigits + 1;

// More waypoints than any flight plan holds.
constexpr std::int32_t kMostWaypoints = 100000;
// Remaining distances in the log's miles. They go below zero when a plan's legs add up to more
// than its route (the log shows the sign); ten times around the Earth either way is more than
// any flight plan covers.
constexpr double kMostMiles = 216000;
// Fuel on board in US gallons: ten times the tanks of the largest airliner (about 85,000).
constexpr double kMostFuelGallons = 1000000;

// The departure weather texts take every value the take-off record can make of the simulator's
// 16-bit fields (see MakeWeatherTexts), so no flight the program saved is refused for its
// weather, and nothing else: visibility up to 50 miles (above that a text of its own), QNH in
// whole hPa from 1/16 hPa, wind direction rounded to whole degrees (360 just short of north),
// wind speed in knots, temperature in degrees C from 1/256 degree.
constexpr double kMostVisibilityMiles = 50;
constexpr long long kMostQnh = 4096;
constexpr long long kMostWindDirection = 360;
constexpr long long kMostWindSpeedKnots = std::numeric_limits<std::uint16_t>::max();
constexpr long long kLeastTemperature = -128;
constexpr long long kMostTemperature = 127;
// The landing heading in whole degrees; 360 when it is just short of north.
constexpr long long kMostHeading = 360;

// The time of the save, as the computer's clock gives it: Windows' calendar starts in 1601,
// and the file writes four digits. A leap second is 60, as localtime can give one.
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 9999;
constexpr int kMostSecond = 60;

// Values are one line each: a line break, a carriage return or a backslash inside is escaped.
// The runs between them go in whole, found with memchr: the recorder's value is most of a
// situation, and one is written at every second waypoint.
void AppendEscaped(std::string& out, const std::string& text) {
    constexpr char kEscaped[] = {'\\', '\n', '\r'};
    const char* const end = text.data() + text.size();
    const auto nextOf = [end](const char* from, char c) {
        const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
        return found == nullptr ? end : static_cast<const char*>(found);
    };
    const char* next[std::size(kEscaped)];
    for (std::size_t i = 0; i < std::size(kEscaped); ++i) {
        next[i] = nextOf(text.data(), kEscaped[i]);
    }
    const char* run = text.data();
    for (;;) {
        const char* special = std::min({next[0], next[1], next[2]});
        out.append(run, static_cast<std::size_t>(special - run));
        if (special == end) {
            return;
        }
        out += *special == '\n' ? "\\n" : *special == '\r' ? "\\r" : "\\\\";
        run = special + 1;
        for (std::size_t i = 0; i < std::size(kEscaped); ++i) {
            if (next[i] == special) {
                next[i] = nextOf(run, kEscaped[i]);
            }
        }
    }
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::string CheckText(std::uint32_t check) {
    char digits[kCheckDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(check));
    return digits;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD hh:mm:ss" as SituationText writes it, of a day the calendar has.
bool ParseSavedAt(const std::string& text, LocalDateTime& when) {
    const struct {
        std::size_t at;
        std::size_t digits;
        int least;
        int most;
        int LocalDateTime::*field;
    } parts[] = {{0, 4, kFirstYear, kLastYear, &LocalDateTime::year},
                 {5, 2, 1, 12, &LocalDateTime::month},
                 {8, 2, 1, 31, &LocalDateTime::day},
                 {11, 2, 0, 23, &LocalDateTime::hour},
                 {14, 2, 0, 59, &LocalDateTime::minute},
                 {17, 2, 0, kMostSecond, &LocalDateTime::second}};
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return false;
    }
    LocalDateTime read;
    for (const auto& part : parts) {
        const std::string_view digits = std::string_view(text).substr(part.at, part.digits);
        long long value = 0;
        for (const char c : digits) {
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                return false;
            }
        }
        if (!ParseInteger(digits, value) || value < part.least || value > part.most) {
            return false;
        }
        read.*part.field = static_cast<int>(value);
    }
    if (read.day > DaysInMonth(read.year, read.month)) {
        return false;
    }
    when = read;
    return true;
}

// A figure as the take-off record writes it in the pilot's regional settings: an optional
// minus, digits, and at most one decimal separator (whichever character the settings use)
// with digits after it. Never an exponent, "nan" or "inf".
bool ParseRegionalNumber(const std::string& text, double& value) {
    std::string plain = text;
    std::size_t at = !plain.empty() && plain[0] == '-' ? 1 : 0;
    const std::size_t firstDigit = at;
    while (at < plain.size() && std::isdigit(static_cast<unsigned char>(plain[at]))) {
        ++at;
    }
    if (at == firstDigit) {
        return false;
    }
    if (at < plain.size()) {
        if (!std::ispunct(static_cast<unsigned char>(plain[at])) || plain[at] == '-' ||
            at + 1 == plain.size()) {
            return false;
        }
        plain[at] = '.';
        for (++at; at < plain.size(); ++at) {
            if (!std::isdigit(static_cast<unsigned char>(plain[at]))) {
                return false;
            }
        }
    }
    return ParseNumber(plain, value);
}

// The visibility text above 50 miles, as the take-off record writes it.
const std::string& VisibilityAboveText() {
    static const std::string text = [] {
        RawWeather raw;
        raw.visibility = std::numeric_limits<std::uint16_t>::max();
        return MakeWeatherTexts(raw, RegionalSettings{}).visibility;
    }();
    return text;
}

class Writer {
public:
    void Text(const char* name, const std::string& value) {
        out += name;
        out += '=';
        AppendEscaped(out, value);
        out += '\n';
    }
    void Number(const char* name, double value) { Text(name, ShortestText(value)); }
    void Integer(const char* name, long long value) { Text(name, std::to_string(value)); }
    std::string out;
};

// Reads the values by name; the first value that is missing, does not read or lies outside its
// range gives the problem, named in it.
class Reader {
public:
    explicit Reader(std::map<std::string, std::string> values) : values_(std::move(values)) {}

    std::string Text(const char* name) {
        const auto found = values_.find(name);
        if (found == values_.end()) {
            Fail(std::string("no value for ") + name);
            return std::string();
        }
        return Unescaped(found->second);
    }
    double Number(const char* name, double least, double most) {
        const double value = Finite(name);
        if (value < least || value > most) {
            Fail(std::string(name) + " is out of range");
            return 0;
        }
        return value;
    }
    // A time of day: a fraction of a day, from midnight up to the next.
    double Time(const char* name) {
        const double value = Finite(name);
        if (value < 0 || value >= 1) {
            Fail(std::string(name) + " is outside a day");
            return 0;
        }
        return value;
    }
    long long Integer(const char* name, long long least, long long most) {
        long long value = 0;
        if (!ParseInteger(Text(name), value)) {
            Fail(std::string(name) + " is not a whole number");
            return 0;
        }
        if (value < least || value > most) {
            Fail(std::string(name) + " is out of range");
            return 0;
        }
        return value;
    }
    std::int32_t Counter(const char* name) {
        return static_cast<std::int32_t>(Integer(name, -kMostWaypoints, kMostWaypoints));
    }
    bool Flag(const char* name) { return Integer(name, 0, 1) != 0; }
    // A value files of older copies do not have.
    std::string Optional(const char* name) {
        const auto found = values_.find(name);
        return found == values_.end() ? std::string() : Unescaped(found->second);
    }
    // A figure of the log kept as its text: empty until the moment it is taken, `special` when
    // the log shows no figure, else a whole number within its range.
    std::string WholeText(const char* name, long long least, long long most,
                          const std::string& special = std::string()) {
        const std::string text = Text(name);
        long long value = 0;
        if (text.empty() || (!special.empty() && text == special)) {
            return text;
        }
        if (!ParseInteger(text, value)) {
            Fail(std::string(name) + " is not a number");
        } else if (value < least || value > most) {
            Fail(std::string(name) + " is out of range");
        }
        return text;
    }
    std::string VisibilityText(const char* name) {
        const std::string text = Text(name);
        double value = 0;
        if (text.empty() || text == VisibilityAboveText()) {
            return text;
        }
        if (!ParseRegionalNumber(text, value)) {
            Fail(std::string(name) + " is not a number");
        } else if (value < 0 || value > kMostVisibilityMiles) {
            Fail(std::string(name) + " is out of range");
        }
        return text;
    }
    void Fail(const std::string& problem) {
        if (problem_.empty()) {
            problem_ = problem;
        }
    }
    const std::string& Problem() const { return problem_; }

private:
    // No "nan", "inf" or a number too large for a double.
    double Finite(const char* name) {
        double value = 0;
        if (!ParseNumber(Text(name), value)) {
            Fail(std::string(name) + " is not a number");
            return 0;
        }
        return value;
    }

    std::map<std::string, std::string> values_;
    std::string problem_;
};

void WriteState(Writer& out, const TrackingState& s) {
    out.Number("RemainingDistance", s.RemainingDistance);
    out.Number("RemainingAfterLeg", s.RemainingAfterLeg);
    out.Text("RouteFlown", s.RouteFlown);
    out.Number("TakeOffTime", s.TakeOffTime);
    out.Number("TakeOffFuel", s.TakeOffFuel);
    out.Text("DepartureClouds", s.DepartureClouds);
    out.Text("DepartureVisibility", s.DepartureVisibility);
    out.Text("DepartureQnh", s.DepartureQnh);
    out.Text("DepartureTemperature", s.DepartureTemperature);
    out.Text("DepartureWindDirection", s.DepartureWindDirection);
    out.Text("DepartureWindSpeed", s.DepartureWindSpeed);
    out.Integer("RegistrationCount", s.RegistrationCount);
    out.Integer("WaypointCounter", s.WaypointCounter);
    out.Integer("WaypointCount", s.WaypointCount);
    out.Integer("EngineStarted", s.EngineStarted ? 1 : 0);
    out.Number("EngineStartTime", s.EngineStartTime);
    out.Number("LandingTime", s.LandingTime);
    out.Number("EngineStopTime", s.EngineStopTime);
    out.Text("LandingHeading", s.LandingHeading);
    out.Number("RemainingAtDeparture", s.RemainingAtDeparture);
    out.Text("ArrivalIdent", s.ArrivalIdent);
    out.Number("ArrivalFuel", s.ArrivalFuel);
}

void ReadState(Reader& in, TrackingState& s) {
    s.RemainingDistance = in.Number("RemainingDistance", -kMostMiles, kMostMiles);
    s.RemainingAfterLeg = in.Number("RemainingAfterLeg", -kMostMiles, kMostMiles);
    s.RouteFlown = in.Text("RouteFlown");
    s.TakeOffTime = in.Time("TakeOffTime");
    s.TakeOffFuel = in.Number("TakeOffFuel", 0, kMostFuelGallons);
    s.DepartureClouds = in.Text("DepartureClouds");
    s.DepartureVisibility = in.VisibilityText("DepartureVisibility");
    s.DepartureQnh = in.WholeText("DepartureQnh", 0, kMostQnh);
    s.DepartureTemperature =
        in.WholeText("DepartureTemperature", kLeastTemperature, kMostTemperature);
    s.DepartureWindDirection = in.WholeText("DepartureWindDirection", 0, kMostWindDirection);
    s.DepartureWindSpeed = in.WholeText("DepartureWindSpeed", 0, kMostWindSpeedKnots);
    s.RegistrationCount = in.Counter("RegistrationCount");
    s.WaypointCounter = in.Counter("WaypointCounter");
    s.WaypointCount = in.Counter("WaypointCount");
    s.EngineStarted = in.Flag("EngineStarted");
    s.EngineStartTime = in.Time("EngineStartTime");
    s.LandingTime = in.Time("LandingTime");
    s.EngineStopTime = in.Time("EngineStopTime");
    s.LandingHeading = in.WholeText("LandingHeading", 0, kMostHeading,
                                    HeadingCell(std::numeric_limits<double>::quiet_NaN()));
    s.RemainingAtDeparture = in.Number("RemainingAtDeparture", -kMostMiles, kMostMiles);
    s.ArrivalIdent = in.Text("ArrivalIdent");
    s.ArrivalFuel = in.Number("ArrivalFuel", 0, kMostFuelGallons);
}

}  // namespace

std::string CounterProblem(const FlightState& s) {
    if (s.WaypointCount < 1) {
        return "the saved flight has no flight plan";
    }
    if (s.WaypointCounter != phase::kLanded &&
        (s.WaypointCounter < phase::kOnTheGround || s.WaypointCounter > s.WaypointCount)) {
        return "the saved waypoint counter lies outside the flight plan";
    }
    if (s.RegistrationCount < 0 || s.RegistrationCount > s.WaypointCount) {
        return "the saved registration count lies outside the flight plan";
    }
    return std::string();
}

std::string SituationText(const Situation& situation) {
    Writer out;
    out.out = std::string(kFormatLine);
    out.Integer("closed", situation.closed ? 1 : 0);
    out.Text("flight", situation.flightName);
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", situation.savedAt.year,
                  situation.savedAt.month, situation.savedAt.day, situation.savedAt.hour,
                  situation.savedAt.minute, situation.savedAt.second);
    out.Text("saved", when);
    out.Integer("simHour", situation.simHour);
    out.Integer("simMinute", situation.simMinute);
    out.Integer("onGround", situation.onGround ? 1 : 0);
    WriteState(out, situation.state);
    out.Text("recorder", situation.recorder);
    out.Integer(kLogLengthName, static_cast<long long>(situation.logText.size()));
    // Made in place: the log is most of the text, and a save every second waypoint must not
    // copy it more than once.
    std::string text = std::move(out.out);
    text.reserve(text.size() + kLogLine.size() + situation.logText.size() + kCheckTail);
    text += kLogLine;
    text += situation.logText;
    text += '\n';
    const std::uint32_t check = Crc32(text);
    text += kCheckName;
    text += CheckText(check);
    text += '\n';
    return text;
}

// Files of the previous version (format 1) have no check; they are still read, with every
// range check, so that a pilot who updates the program in the middle of a flight resumes it.
// Nothing can tell such a file cut short inside its log; they were written atomically, and the
// next save replaces them with a checked one.
bool ParseSituation(const std::string& text, Situation& situation, std::string& problem) {
    const std::string_view all(text);
    const bool checked = all.substr(0, kFormatLine.size()) == kFormatLine;
    if (!checked && all.substr(0, kFormat1Line.size()) != kFormat1Line) {
        problem = "the file is not a saved situation of this program";
        return false;
    }
    // The lines and the log, without the check line and the line break before it.
    std::string_view body = all;
    if (checked) {
        const std::string_view tail = all.size() < kFormatLine.size() + kCheckTail
                                          ? std::string_view()
                                          : all.substr(all.size() - kCheckTail);
        if (tail.empty() || tail.front() != '\n' || tail.back() != '\n' ||
            tail.substr(1, kCheckName.size()) != kCheckName) {
            problem = "the file is cut short";
            return false;
        }
        body = all.substr(0, all.size() - kCheckTail);
    }
    std::map<std::string, std::string> values;
    std::size_t at = (checked ? kFormatLine : kFormat1Line).size();
    while (at < body.size() && body.substr(at, kLogLine.size()) != kLogLine) {
        const std::size_t end = body.find('\n', at);
        const std::size_t equals = body.find('=', at);
        if (end == std::string_view::npos || equals == std::string_view::npos || equals > end) {
            problem = "the file is cut short or damaged";
            return false;
        }
        values[std::string(body.substr(at, equals - at))] =
            std::string(body.substr(equals + 1, end - equals - 1));
        at = end + 1;
    }
    if (at >= body.size()) {
        problem = "the file holds no log";
        return false;
    }
    const std::string_view log = body.substr(at + kLogLine.size());

    Situation read;
    Reader in(std::move(values));
    read.closed = in.Flag("closed");
    read.flightName = in.Text("flight");
    if (!ParseSavedAt(in.Text("saved"), read.savedAt)) {
        in.Fail("the time of the save is not a date and time");
    }
    read.simHour = static_cast<int>(in.Integer("simHour", 0, 23));
    read.simMinute = static_cast<int>(in.Integer("simMinute", 0, 59));
    read.onGround = in.Flag("onGround");
    ReadState(in, read.state);
    read.recorder = checked ? in.Text("recorder") : in.Optional("recorder");
    problem = in.Problem();
    if (problem.empty()) {
        problem = CounterProblem(read.state);
    }
    if (problem.empty() && read.flightName.empty()) {
        problem = "the file names no saved flight of the simulator";
    }
    if (problem.empty() && !checked && !in.Optional(kLogLengthName).empty()) {
        // A checked file whose format line was changed: its check line would join the log.
        problem = "the file is damaged";
    }
    if (problem.empty() && checked) {
        // A log that is not as long as written lost its end after a line that looked like a
        // check line; a check that does not match means a changed byte.
        const long long length =
            in.Integer(kLogLengthName, 0, std::numeric_limits<long long>::max());
        problem = in.Problem();
        if (problem.empty() && static_cast<unsigned long long>(length) != log.size()) {
            problem = "the file is cut short";
        }
        const std::size_t checkAt = all.size() - kCheckDigits - 1;
        if (problem.empty() && all.substr(checkAt, kCheckDigits) !=
                                   CheckText(Crc32(all.substr(0, all.size() - kCheckTail + 1)))) {
            problem = "the file is damaged";
        }
    }
    if (!problem.empty()) {
        return false;
    }
    read.logText = std::string(log);
    situation = std::move(read);
    return true;
}

}  // namespace aerolinker
