// The situation file's text, written and read back as one unit.
#include "tracking/situation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace aerolinker {
namespace {

constexpr const char* kFormatLine = "Aerolinker situation 1";
constexpr const char* kLogLine = "log";
// More waypoints than any flight plan holds.
constexpr std::int32_t kMostWaypoints = 100000;

// Values are one line each: a line break, a carriage return or a backslash inside is escaped.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
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

std::string NumberText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

class Writer {
public:
    void Text(const char* name, const std::string& value) {
        out += std::string(name) + "=" + Escaped(value) + "\n";
    }
    void Number(const char* name, double value) { Text(name, NumberText(value)); }
    void Integer(const char* name, long long value) { Text(name, std::to_string(value)); }
    std::string out;
};

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
    double Number(const char* name) {
        const std::string text = Text(name);
        double value = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
            Fail(std::string(name) + " is not a number");
        }
        return value;
    }
    long long Integer(const char* name) {
        const std::string text = Text(name);
        long long value = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
            Fail(std::string(name) + " is not a whole number");
        }
        return value;
    }
    std::int32_t Counter(const char* name) {
        const long long value = Integer(name);
        if (value < -kMostWaypoints || value > kMostWaypoints) {
            Fail(std::string(name) + " is out of range");
            return 0;
        }
        return static_cast<std::int32_t>(value);
    }
    bool Flag(const char* name) { return Integer(name) != 0; }
    // A value files of older copies do not have.
    std::string Optional(const char* name) {
        const auto found = values_.find(name);
        return found == values_.end() ? std::string() : Unescaped(found->second);
    }
    void Fail(const std::string& problem) {
        if (problem_.empty()) {
            problem_ = problem;
        }
    }
    const std::string& Problem() const { return problem_; }

private:
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
    s.RemainingDistance = in.Number("RemainingDistance");
    s.RemainingAfterLeg = in.Number("RemainingAfterLeg");
    s.RouteFlown = in.Text("RouteFlown");
    s.TakeOffTime = in.Number("TakeOffTime");
    s.TakeOffFuel = in.Number("TakeOffFuel");
    s.DepartureClouds = in.Text("DepartureClouds");
    s.DepartureVisibility = in.Text("DepartureVisibility");
    s.DepartureQnh = in.Text("DepartureQnh");
    s.DepartureTemperature = in.Text("DepartureTemperature");
    s.DepartureWindDirection = in.Text("DepartureWindDirection");
    s.DepartureWindSpeed = in.Text("DepartureWindSpeed");
    s.RegistrationCount = in.Counter("RegistrationCount");
    s.WaypointCounter = in.Counter("WaypointCounter");
    s.WaypointCount = in.Counter("WaypointCount");
    s.EngineStarted = in.Flag("EngineStarted");
    s.EngineStartTime = in.Number("EngineStartTime");
    s.LandingTime = in.Number("LandingTime");
    s.EngineStopTime = in.Number("EngineStopTime");
    s.LandingHeading = in.Text("LandingHeading");
    s.RemainingAtDeparture = in.Number("RemainingAtDeparture");
    s.ArrivalIdent = in.Text("ArrivalIdent");
    s.ArrivalFuel = in.Number("ArrivalFuel");
}

std::string StateProblem(const TrackingState& s) {
    const std::string counters = CounterProblem(s);
    if (!counters.empty()) {
        return counters;
    }
    for (double time : {s.TakeOffTime, s.EngineStartTime, s.LandingTime, s.EngineStopTime}) {
        if (!(time >= 0 && time < 1)) {
            return "a saved time is outside a day";
        }
    }
    for (double value : {s.RemainingDistance, s.RemainingAfterLeg, s.RemainingAtDeparture,
                         s.TakeOffFuel, s.ArrivalFuel}) {
        if (!std::isfinite(value)) {
            return "a saved distance or fuel is no number";
        }
    }
    return std::string();
}

}  // namespace

std::string CounterProblem(const FlightState& s) {
    if (s.WaypointCount < 1) {
        return "the saved flight has no flight plan";
    }
    if (s.WaypointCounter != -1 && (s.WaypointCounter < 1 || s.WaypointCounter > s.WaypointCount)) {
        return "the saved waypoint counter lies outside the flight plan";
    }
    if (s.RegistrationCount < 0 || s.RegistrationCount > s.WaypointCount) {
        return "the saved registration count lies outside the flight plan";
    }
    return std::string();
}

std::string SituationText(const Situation& situation) {
    Writer out;
    out.out = std::string(kFormatLine) + "\n";
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
    return out.out + kLogLine + "\n" + situation.logText;
}

bool ParseSituation(const std::string& text, Situation& situation, std::string& problem) {
    const std::string first = std::string(kFormatLine) + "\n";
    if (text.compare(0, first.size(), first) != 0) {
        problem = "the file is not a saved situation of this program";
        return false;
    }
    std::map<std::string, std::string> values;
    std::size_t at = first.size();
    const std::string logMark = std::string(kLogLine) + "\n";
    while (at < text.size() && text.compare(at, logMark.size(), logMark) != 0) {
        const std::size_t end = text.find('\n', at);
        const std::size_t equals = text.find('=', at);
        if (end == std::string::npos || equals == std::string::npos || equals > end) {
            problem = "the file is cut short or damaged";
            return false;
        }
        values[text.substr(at, equals - at)] = text.substr(equals + 1, end - equals - 1);
        at = end + 1;
    }
    if (at >= text.size()) {
        problem = "the file holds no log";
        return false;
    }
    Situation read;
    Reader in(std::move(values));
    read.closed = in.Flag("closed");
    read.flightName = in.Text("flight");
    const std::string when = in.Text("saved");
    if (std::sscanf(when.c_str(), "%d-%d-%d %d:%d:%d", &read.savedAt.year, &read.savedAt.month,
                    &read.savedAt.day, &read.savedAt.hour, &read.savedAt.minute,
                    &read.savedAt.second) != 6) {
        in.Fail("the time of the save is not a time");
    }
    read.simHour = static_cast<int>(in.Integer("simHour"));
    read.simMinute = static_cast<int>(in.Integer("simMinute"));
    read.onGround = in.Flag("onGround");
    ReadState(in, read.state);
    read.recorder = in.Optional("recorder");
    read.logText = text.substr(at + logMark.size());
    problem = in.Problem();
    if (problem.empty()) {
        problem = StateProblem(read.state);
    }
    if (problem.empty() && read.flightName.empty()) {
        problem = "the file names no saved flight of the simulator";
    }
    if (!problem.empty()) {
        return false;
    }
    situation = std::move(read);
    return true;
}

}  // namespace aerolinker
