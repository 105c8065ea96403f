// The airline server's JSON, both ways. Replies are parsed without exceptions escaping and
// every field is checked for its type before use: the server is someone else's program.
#include "airline/acars_messages.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <nlohmann/json.hpp>

#include "common/calendar.h"

namespace aerolinker {
namespace {

using Json = nlohmann::json;

// Texts the server gives are cut to this; no sensible id, code or name is longer.
constexpr std::size_t kLongestField = 200;
// The notes are the navigation log: a long flight's log stays far below this.
constexpr std::size_t kLongestNotes = 1u << 20;

Json Parse(const std::string& body) {
    return Json::parse(body, nullptr, /*allow_exceptions=*/false);
}

// One line of printable text from a server's string: control characters become blanks.
std::string CleanText(const std::string& text) {
    std::string clean = text.substr(0, kLongestField);
    for (char& c : clean) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = ' ';
        }
    }
    return clean;
}

// A string or a whole number, as text; empty for anything else.
std::string IdText(const Json& value) {
    if (value.is_string()) {
        return CleanText(value.get<std::string>());
    }
    if (value.is_number_integer()) {
        return std::to_string(value.get<long long>());
    }
    if (value.is_number_unsigned()) {
        return std::to_string(value.get<unsigned long long>());
    }
    return {};
}

std::string TextOf(const Json& object, const char* key) {
    if (!object.is_object()) {
        return {};
    }
    const auto found = object.find(key);
    return found == object.end() ? std::string() : IdText(*found);
}

double NumberOf(const Json& object, const char* key) {
    if (!object.is_object()) {
        return 0.0;
    }
    const auto found = object.find(key);
    if (found == object.end() || !found->is_number()) {
        return 0.0;
    }
    const double value = found->get<double>();
    return std::isfinite(value) ? value : 0.0;
}

const Json& Member(const Json& object, const char* key) {
    static const Json kNull;
    if (!object.is_object()) {
        return kNull;
    }
    const auto found = object.find(key);
    return found == object.end() ? kNull : *found;
}

std::string Upper(std::string text) {
    std::string kept;
    for (char c : text) {
        if (c != ' ') {
            kept += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    return kept;
}

Bid BidOf(const Json& flight) {
    Bid bid;
    bid.flightId = TextOf(flight, "id");
    const Json& airline = Member(flight, "airline");
    bid.airlineId = TextOf(flight, "airline_id");
    if (bid.airlineId.empty()) {
        bid.airlineId = TextOf(airline, "id");
    }
    bid.airlineCode = TextOf(airline, "icao");
    if (bid.airlineCode.empty()) {
        bid.airlineCode = TextOf(airline, "iata");
    }
    bid.flightNumber = TextOf(flight, "flight_number");
    bid.departure = TextOf(flight, "dpt_airport_id");
    bid.arrival = TextOf(flight, "arr_airport_id");
    bid.route = TextOf(flight, "route");
    bid.plannedMinutes = static_cast<int>(std::clamp(NumberOf(flight, "flight_time"), 0.0, 1e5));
    bid.plannedNm = std::clamp(NumberOf(Member(flight, "distance"), "nmi"), 0.0, 1e6);
    bid.level = static_cast<int>(std::clamp(NumberOf(flight, "level"), 0.0, 1e6));
    const Json& subfleets = Member(flight, "subfleet");
    if (subfleets.is_array()) {
        for (const Json& subfleet : subfleets) {
            const Json& aircraft = Member(subfleet, "aircraft");
            if (!aircraft.is_array()) {
                continue;
            }
            for (const Json& plane : aircraft) {
                BidAircraft choice{TextOf(plane, "id"), TextOf(plane, "registration")};
                if (!choice.id.empty()) {
                    bid.aircraft.push_back(choice);
                }
            }
        }
    }
    return bid;
}

}  // namespace

bool IsPlainId(const std::string& id, std::size_t longest) {
    return !id.empty() && id.size() <= longest && std::all_of(id.begin(), id.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    });
}

std::string PirepPath(const char* tail) {
    return std::string("/api/pireps/") + kPirepPlaceholder + tail;
}

bool ParseBids(const std::string& body, std::vector<Bid>& bids, std::string& error) {
    bids.clear();
    const Json reply = Parse(body);
    const Json& data = Member(reply, "data");
    if (!data.is_array()) {
        error = "the airline server's list of bids could not be read";
        return false;
    }
    for (const Json& entry : data) {
        // Newer servers list bids, each holding its flight.
        const Json& flight = Member(entry, "flight").is_object() ? Member(entry, "flight") : entry;
        Bid bid = BidOf(flight);
        if (!bid.flightId.empty() && !bid.departure.empty()) {
            bids.push_back(bid);
        }
    }
    return true;
}

std::optional<Booking> MatchBid(const std::vector<Bid>& bids, const std::string& departure,
                                const std::string& registration, std::string& why) {
    const std::string wanted = Upper(departure);
    for (const Bid& bid : bids) {
        if (Upper(bid.departure) != wanted) {
            continue;
        }
        if (bid.aircraft.empty()) {
            why = "the bid on " + bid.airlineCode + bid.flightNumber + " has no aircraft";
            return std::nullopt;
        }
        Booking booking{bid, bid.aircraft.front()};
        const std::string tail = Upper(registration);
        for (const BidAircraft& plane : bid.aircraft) {
            if (!tail.empty() && Upper(plane.registration) == tail) {
                booking.aircraft = plane;
                break;
            }
        }
        return booking;
    }
    why = bids.empty() ? "the pilot has no bid on the airline's site"
                       : "no bid departs from " + (departure.empty() ? "here" : departure);
    return std::nullopt;
}

bool ParseUser(const std::string& body, std::string& pilotName, std::string& airline) {
    const Json reply = Parse(body);
    const Json& data = Member(reply, "data");
    if (!data.is_object()) {
        return false;
    }
    pilotName = TextOf(data, "name");
    const Json& company = Member(data, "airline");
    const std::string name = TextOf(company, "name");
    const std::string code = TextOf(company, "icao");
    airline = code.empty() || name.empty() ? name + code : name + " (" + code + ")";
    return !pilotName.empty();
}

std::string ParsePirepId(const std::string& body) {
    const std::string id = TextOf(Member(Parse(body), "data"), "id");
    return IsPlainId(id) ? id : std::string();
}

namespace {
bool SummaryOf(const Json& entry, PirepSummary& pirep) {
    pirep.id = TextOf(entry, "id");
    const Json& state = Member(entry, "state");
    pirep.state = state.is_number_integer() ? static_cast<int>(state.get<long long>()) : -1;
    const Json& notes = Member(entry, "notes");
    pirep.notes = notes.is_string() ? notes.get<std::string>().substr(0, kLongestField) : "";
    return IsPlainId(pirep.id);
}
}  // namespace

bool ParsePireps(const std::string& body, std::vector<PirepSummary>& pireps) {
    pireps.clear();
    const Json reply = Parse(body);
    const Json& data = Member(reply, "data");
    if (!data.is_array()) {
        return false;
    }
    for (const Json& entry : data) {
        PirepSummary pirep;
        if (SummaryOf(entry, pirep)) {
            pireps.push_back(pirep);
        }
    }
    return true;
}

bool ParsePirep(const std::string& body, PirepSummary& pirep) {
    return SummaryOf(Member(Parse(body), "data"), pirep);
}

std::string ServerMessage(const std::string& body) {
    const Json reply = Parse(body);
    std::string message = TextOf(reply, "message");
    if (message.empty()) {
        const Json& errors = Member(reply, "errors");
        if (errors.is_array() && !errors.empty()) {
            message = errors.front().is_string() ? CleanText(errors.front().get<std::string>())
                                                 : TextOf(errors.front(), "message");
        }
    }
    return message;
}

namespace {
// An id the server gave as a number goes back as one.
Json IdJson(const std::string& id) {
    const bool digits =
        !id.empty() && id.size() < 16 &&
        std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits ? Json(std::stoll(id)) : Json(id);
}
}  // namespace

std::string PrefileBody(const Booking& booking, const std::string& route, double plannedNm,
                        const std::string& token) {
    const Bid& bid = booking.bid;
    Json body = {{"airline_id", IdJson(bid.airlineId)},
                 {"aircraft_id", IdJson(booking.aircraft.id)},
                 {"flight_id", bid.flightId},
                 {"flight_number", bid.flightNumber},
                 {"dpt_airport_id", bid.departure},
                 {"arr_airport_id", bid.arrival},
                 {"source_name", kAcarsSourceName},
                 {"route", route.empty() ? bid.route : route},
                 {"planned_distance", std::round(plannedNm * 10.0) / 10.0},
                 {"planned_flight_time", bid.plannedMinutes},
                 {"notes", token}};
    if (bid.level > 0) {
        body["level"] = bid.level;
    }
    return body.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string UnbookedBody(const UnbookedFlight& flight) {
    const Json body = {{"departure", flight.departure},
                       {"registration", flight.registration},
                       {"route", flight.route}};
    return body.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool ParseUnbooked(const std::string& body, UnbookedFlight& flight) {
    const Json parsed = Parse(body);
    if (!parsed.is_object() || !parsed.contains("departure") || !parsed["departure"].is_string()) {
        return false;
    }
    flight.departure = TextOf(parsed, "departure");
    flight.registration = TextOf(parsed, "registration");
    const Json& route = Member(parsed, "route");
    flight.route = route.is_string() ? route.get<std::string>() : std::string();
    return true;
}

namespace {
double Tenths(double value) {
    return std::isfinite(value) ? std::round(value * 10.0) / 10.0 : 0.0;
}
double Millionths(double value) {
    return std::isfinite(value) ? std::round(value * 1e6) / 1e6 : 0.0;
}
}  // namespace

namespace {
std::string PositionsOf(const TraceRow* rows, std::size_t count, std::size_t firstNumber) {
    Json positions = Json::array();
    for (std::size_t i = 0; i < count; ++i) {
        const TraceRow& row = rows[i];
        positions.push_back(
            {{"id", std::string(kPirepPlaceholder) + "-p" + std::to_string(firstNumber + i)},
             {"lat", Millionths(row.latitude)},
             {"lon", Millionths(row.longitude)},
             {"altitude", Tenths(row.altitudeFeet)},
             {"heading", Tenths(row.trueHeadingDegrees)},
             {"gs", Tenths(row.groundSpeedKnots)},
             {"vs", Tenths(row.verticalSpeedFpm)},
             {"sim_time", IsoUtcText(row.utcSeconds)}});
    }
    return Json{{"positions", positions}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}
}  // namespace

std::string PositionsBody(const std::vector<TraceRow>& rows, std::size_t first, std::size_t count) {
    const std::size_t end = std::min(rows.size(), first + count);
    return PositionsOf(rows.data() + std::min(first, end), end - std::min(first, end), first);
}

std::string PositionsBodyOf(const std::vector<TraceRow>& slice, std::size_t firstNumber) {
    return PositionsOf(slice.data(), slice.size(), firstNumber);
}

std::string EventsBody(const std::vector<AcarsEvent>& events) {
    Json list = Json::array();
    for (const AcarsEvent& event : events) {
        list.push_back({{"id", std::string(kPirepPlaceholder) + "-" + event.series +
                                   std::to_string(event.number)},
                        {"event", event.text},
                        {"lat", Millionths(event.latitude)},
                        {"lon", Millionths(event.longitude)},
                        {"created_at", IsoUtcText(event.utcSeconds)}});
    }
    return Json{{"events", list}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string StatusBody(const std::string& status) {
    return Json{{"status", status}}.dump();
}

std::string FileBody(const FiledFigures& figures) {
    Json body = {{"flight_time", figures.flightMinutes},
                 {"fuel_used", Tenths(figures.fuelUsedPounds)},
                 {"distance", Tenths(figures.distanceNm)},
                 {"source_name", kAcarsSourceName},
                 {"notes", figures.notes.substr(0, kLongestNotes)}};
    if (figures.landingRateFpm) {
        body["landing_rate"] = Tenths(*figures.landingRateFpm);
    }
    return body.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace aerolinker
