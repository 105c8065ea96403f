// The situation file: what is saved reads back to the bit, a file cut short or changed on disk
// is refused with its reason, and the previous version's files still resume.
#include "tracking/situation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/crc32.h"

namespace aerolinker {
namespace {

constexpr const char* kLog =
    "NAVIGATION LOG\r\nDEPART      : LIEO\r\nlog\r\ncheck=00000000\r\n"
    "LIEO    |     |      |052  |       |       |  -/0120|--:--|09:00|      \r\n";

// A flight in the air after its second registration, with values that need every digit.
Situation Airborne() {
    Situation s;
    s.flightName = "navforge-b";
    s.savedAt = {2024, 2, 29, 23, 59, 59, 0};
    s.simHour = 23;
    s.onGround = true;
    s.simMinute = 59;
    s.state.RemainingDistance = 0.1 + 0.2;
    s.state.RemainingAfterLeg = -3.5;  // a plan whose legs add up to more than its route
    s.state.RouteFlown = "LIEO->BBB->\\n=x";
    s.state.TakeOffTime = 0.37500000000000006;
    s.state.TakeOffFuel = 1234;
    s.state.DepartureClouds = "Few 1/8";
    s.state.DepartureVisibility = "12,25";
    s.state.DepartureQnh = "1013";
    s.state.DepartureTemperature = "-12";
    s.state.DepartureWindDirection = "360";
    s.state.DepartureWindSpeed = "14";
    s.state.RegistrationCount = 2;
    s.state.WaypointCounter = 3;
    s.state.WaypointCount = 5;
    s.state.EngineStarted = true;
    s.state.EngineStartTime = 1.0 / 3;
    s.state.LandingHeading = "###";
    s.state.RemainingAtDeparture = 123.45678901234567;
    s.state.ArrivalFuel = 5e-324;
    s.logText = kLog;
    // Every character a value escapes, at its start, side by side and at its end.
    s.recorder = "\\trace 42\r\nmarks 3\n\n\\r\\";
    return s;
}

std::uint64_t Bits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The same value in every field, numbers to the bit.
void ExpectSame(const Situation& a, const Situation& b) {
    using S = TrackingState;
    using Numbers = std::initializer_list<double S::*>;
    using Texts = std::initializer_list<std::string S::*>;
    for (double S::*number :
         Numbers{&S::RemainingDistance, &S::RemainingAfterLeg, &S::TakeOffTime, &S::TakeOffFuel,
                 &S::EngineStartTime, &S::LandingTime, &S::EngineStopTime, &S::RemainingAtDeparture,
                 &S::ArrivalFuel}) {
        EXPECT_EQ(Bits(a.state.*number), Bits(b.state.*number));
    }
    for (std::string S::*text :
         Texts{&S::RouteFlown, &S::DepartureClouds, &S::DepartureVisibility, &S::DepartureQnh,
               &S::DepartureTemperature, &S::DepartureWindDirection, &S::DepartureWindSpeed,
               &S::LandingHeading, &S::ArrivalIdent}) {
        EXPECT_EQ(a.state.*text, b.state.*text);
    }
    for (std::int32_t S::*counter :
         {&S::RegistrationCount, &S::WaypointCounter, &S::WaypointCount}) {
        EXPECT_EQ(a.state.*counter, b.state.*counter);
    }
    using T = LocalDateTime;
    for (int T::*part : {&T::year, &T::month, &T::day, &T::hour, &T::minute, &T::second}) {
        EXPECT_EQ(a.savedAt.*part, b.savedAt.*part);
    }
    EXPECT_EQ(std::vector<bool>({a.state.EngineStarted, a.onGround, a.closed}),
              std::vector<bool>({b.state.EngineStarted, b.onGround, b.closed}));
    EXPECT_EQ(std::vector<int>({a.simHour, a.simMinute}),
              std::vector<int>({b.simHour, b.simMinute}));
    EXPECT_EQ(a.flightName, b.flightName);
    EXPECT_EQ(a.logText, b.logText);
    EXPECT_EQ(a.recorder, b.recorder);
}

// The file as the previous version wrote it: no log length, no check.
const std::string kFormat1 =
    "Aerolinker situation 1\n"
    "closed=0\nflight=navforge-a\nsaved=2024-05-01 10:20:30\nsimHour=9\nsimMinute=5\n"
    "onGround=0\nRemainingDistance=246.5\nRemainingAfterLeg=246.5\nRouteFlown=LIEO->\n"
    "TakeOffTime=0.375\nTakeOffFuel=512\nDepartureClouds=Haze\nDepartureVisibility=> 50\n"
    "DepartureQnh=1013\nDepartureTemperature=15\nDepartureWindDirection=270\n"
    "DepartureWindSpeed=8\nRegistrationCount=1\nWaypointCounter=2\nWaypointCount=4\n"
    "EngineStarted=1\nEngineStartTime=0.37\nLandingTime=0\nEngineStopTime=0\n"
    "LandingHeading=\nRemainingAtDeparture=270\nArrivalIdent=\nArrivalFuel=0\n"
    "recorder=trace 7\nlog\n" +
    std::string(kLog);

// `text` with the value of `name` replaced; a checked file gets a new, matching check, so that
// only the value can be refused.
std::string WithValue(std::string text, const std::string& name, const std::string& value) {
    const std::size_t at = text.find("\n" + name + "=") + 1;
    const std::size_t end = text.find('\n', at);
    text.replace(at, end - at, name + "=" + value);
    if (text.rfind("Aerolinker situation 2\n", 0) == 0) {
        const std::size_t check = text.rfind("check=");
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x",
                      static_cast<unsigned>(Crc32(std::string_view(text).substr(0, check))));
        text.replace(check + 6, 8, digits);
    }
    return text;
}

TEST(SituationTest, ARoundTripKeepsEveryBit) {
    const Situation saved = Airborne();
    const std::string text = SituationText(saved);
    EXPECT_EQ(text.rfind("Aerolinker situation 2\n", 0), 0u);
    Situation read;
    std::string problem;
    ASSERT_TRUE(ParseSituation(text, read, problem)) << problem;
    EXPECT_EQ(problem, "");
    ExpectSame(saved, read);
}

TEST(SituationTest, AFileCutShortAnywhereIsRefused) {
    const std::string text = SituationText(Airborne());
    for (std::size_t length = 0; length < text.size(); ++length) {
        Situation read;
        std::string problem;
        EXPECT_FALSE(ParseSituation(text.substr(0, length), read, problem)) << length;
        EXPECT_NE(problem, "") << length;
    }
}

TEST(SituationTest, AChangedByteIsRefused) {
    const std::string text = SituationText(Airborne());
    const std::size_t logAt = text.find("\nlog\n") + 5;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::string changed = text;
        changed[at] = static_cast<char>(changed[at] ^ 1);
        Situation read;
        std::string problem;
        EXPECT_FALSE(ParseSituation(changed, read, problem)) << at;
        EXPECT_NE(problem, "") << at;
        if (at >= logAt && at < logAt + std::strlen(kLog)) {
            EXPECT_EQ(problem, "the file is damaged") << at;
        }
    }
    // Taken for the previous version's format, the file would resume with its check line as
    // part of the log.
    std::string older = text;
    older[std::strlen("Aerolinker situation ")] = '1';
    Situation read;
    std::string problem;
    EXPECT_FALSE(ParseSituation(older, read, problem));
    EXPECT_EQ(problem, "the file is damaged");
}

TEST(SituationTest, ValuesNoFlightCanHaveAreRefusedByName) {
    const struct {
        const char* name;
        const char* value;
        const char* reason;
    } cases[] = {
        {"DepartureWindSpeed", "nan", "DepartureWindSpeed is not a number"},
        {"DepartureWindSpeed", "inf", "DepartureWindSpeed is not a number"},
        {"DepartureWindSpeed", "1e999", "DepartureWindSpeed is not a number"},
        {"DepartureWindSpeed", "65536", "DepartureWindSpeed is out of range"},
        {"RemainingDistance", "nan", "RemainingDistance is not a number"},
        {"RemainingDistance", "inf", "RemainingDistance is not a number"},
        {"RemainingAfterLeg", "-inf", "RemainingAfterLeg is not a number"},
        {"RemainingAtDeparture", "1e999", "RemainingAtDeparture is not a number"},
        {"RemainingDistance", "-250000", "RemainingDistance is out of range"},
        {"TakeOffFuel", "-1", "TakeOffFuel is out of range"},
        {"ArrivalFuel", "2e6", "ArrivalFuel is out of range"},
        {"TakeOffTime", "1", "TakeOffTime is outside a day"},
        {"LandingTime", "-0.01", "LandingTime is outside a day"},
        {"EngineStartTime", "nan", "EngineStartTime is not a number"},
        {"simHour", "24", "simHour is out of range"},
        {"simMinute", "60", "simMinute is out of range"},
        {"simMinute", "-1", "simMinute is out of range"},
        {"closed", "2", "closed is out of range"},
        {"EngineStarted", "yes", "EngineStarted is not a whole number"},
        {"WaypointCounter", "6", "the saved waypoint counter lies outside the flight plan"},
        {"WaypointCounter", "0", "the saved waypoint counter lies outside the flight plan"},
        {"WaypointCounter", "99999999999", "WaypointCounter is out of range"},
        {"RegistrationCount", "-1", "the saved registration count lies outside the flight plan"},
        {"WaypointCount", "0", "the saved flight has no flight plan"},
        {"DepartureTemperature", "128", "DepartureTemperature is out of range"},
        {"DepartureQnh", "-1", "DepartureQnh is out of range"},
        {"DepartureWindDirection", "361", "DepartureWindDirection is out of range"},
        {"DepartureVisibility", "50,01", "DepartureVisibility is out of range"},
        {"DepartureVisibility", "1e1", "DepartureVisibility is not a number"},
        {"LandingHeading", "nan", "LandingHeading is not a number"},
        {"LandingHeading", "361", "LandingHeading is out of range"},
        {"saved", "2023-02-29 10:00:00", "the time of the save is not a date and time"},
        {"saved", "2024-01-01 24:00:00", "the time of the save is not a date and time"},
        {"saved", "2024-1-01 10:00:00", "the time of the save is not a date and time"},
        {"flight", "", "the file names no saved flight of the simulator"},
    };
    for (const std::string& text : {SituationText(Airborne()), kFormat1}) {
        for (const auto& c : cases) {
            Situation read;
            std::string problem;
            EXPECT_FALSE(ParseSituation(WithValue(text, c.name, c.value), read, problem))
                << c.name << "=" << c.value;
            EXPECT_EQ(problem, c.reason) << c.name << "=" << c.value;
        }
    }
}

TEST(SituationTest, TheFilesOfThePreviousVersionStillResume) {
    Situation read;
    std::string problem;
    ASSERT_TRUE(ParseSituation(kFormat1, read, problem)) << problem;
    EXPECT_EQ(read.flightName, "navforge-a");
    EXPECT_EQ(read.savedAt.minute, 20);
    EXPECT_EQ(read.simMinute, 5);
    EXPECT_EQ(read.state.RemainingDistance, 246.5);
    EXPECT_EQ(read.state.DepartureVisibility, "> 50");
    EXPECT_EQ(read.state.WaypointCounter, 2);
    EXPECT_EQ(read.recorder, "trace 7");
    EXPECT_EQ(read.logText, kLog);
    // The previous version's files before the recorder had a line of its own.
    const std::string noRecorder = kFormat1.substr(0, kFormat1.find("recorder=")) + "log\n";
    ASSERT_TRUE(ParseSituation(noRecorder, read, problem)) << problem;
    EXPECT_EQ(read.recorder, "");
    EXPECT_EQ(read.logText, "");
    // Written again, the situation is checked.
    EXPECT_EQ(SituationText(read).rfind("Aerolinker situation 2\n", 0), 0u);
}

}  // namespace
}  // namespace aerolinker
