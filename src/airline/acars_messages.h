// What goes to and comes from the airline's phpVMS server, as JSON: the bids read at connect,
// the report's prefile, its positions, events, status and final filing, and the server's
// replies. Every reply is untrusted input: a field of the wrong type, a missing field or a
// text longer than any sensible one is refused or cut, never trusted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "recorder/trace.h"

namespace aerolinker {

// The program's name on the airline's reports.
inline constexpr char kAcarsSourceName[] = "Aerolinker";
// The report's placeholder in a queued request, until the server has named the report.
inline constexpr char kPirepPlaceholder[] = "{pirep}";

struct BidAircraft {
    std::string id;  // the server's id, a number or a string, as text
    std::string registration;
};

// Reports' ids travel in paths, and the outbox's folder names in file paths: only letters,
// digits, '-' and '_', at most `longest` of them.
inline constexpr std::size_t kLongestPirepId = 64;
bool IsPlainId(const std::string& id, std::size_t longest = kLongestPirepId);
// "/api/pireps/{pirep}" + tail: a route of the report, its id filled in when it is sent.
std::string PirepPath(const char* tail);

// A flight the pilot has bid on.
struct Bid {
    std::string flightId;
    std::string airlineId;
    std::string airlineCode;  // ICAO, else IATA
    std::string flightNumber;
    std::string departure;
    std::string arrival;
    std::string route;
    int plannedMinutes = 0;
    double plannedNm = 0.0;
    int level = 0;
    std::vector<BidAircraft> aircraft;  // of every subfleet, in the server's order
};

// The flight this program files: a bid with the aircraft chosen.
struct Booking {
    Bid bid;
    BidAircraft aircraft;
    // "CSA1024": the airline's code and the flight number, for the pilot.
    std::string Callsign() const { return bid.airlineCode + bid.flightNumber; }
};

// Reads GET /api/user/bids in either shape phpVMS serves (a list of flights, or of bids each
// holding its flight). False with `error` set when the reply is not such a list.
bool ParseBids(const std::string& body, std::vector<Bid>& bids, std::string& error);

// The bid whose departure is the flight plan's (case aside), with the aircraft whose
// registration is the simulator's (case and blanks aside) where one matches, else the first
// aircraft of its subfleets. None when no bid departs there or it has no aircraft; `why` then
// says so for the pilot.
std::optional<Booking> MatchBid(const std::vector<Bid>& bids, const std::string& departure,
                                const std::string& registration, std::string& why);

// GET /api/user: the pilot's name and airline, for "Test".
bool ParseUser(const std::string& body, std::string& pilotName, std::string& airline);

// The report's id from the prefile's reply (`data.id`); empty when there is none or it is not
// a plain id (letters, digits, '-' and '_', at most 64).
std::string ParsePirepId(const std::string& body);

// A report of the pilot's, as GET /api/user/pireps and GET /api/pireps/{id} list it.
struct PirepSummary {
    std::string id;
    int state = -1;  // 0 while in progress
    std::string notes;
};
// The reports of GET /api/user/pireps; false when the reply is not a list.
bool ParsePireps(const std::string& body, std::vector<PirepSummary>& pireps);
// One report, GET /api/pireps/{id}.
bool ParsePirep(const std::string& body, PirepSummary& pirep);
inline constexpr int kPirepInProgress = 0;

// The server's own words on a refusal (`message`, or the first of `errors`), one line, at most
// 200 characters; empty when the body has none.
std::string ServerMessage(const std::string& body);

// The requests' bodies, compact JSON. `token` marks the report as this flight's, so that a
// prefile whose reply was lost is found again among the pilot's open reports.
std::string PrefileBody(const Booking& booking, const std::string& route, double plannedNm,
                        const std::string& token);
// What a flight flown before its bids could be read needs to ask for its report once they
// can: its departure and registration to match a bid with (MatchBid), and the route flown.
struct UnbookedFlight {
    std::string departure;
    std::string registration;
    std::string route;  // UTF-8; empty for the bid's own
};
std::string UnbookedBody(const UnbookedFlight& flight);
bool ParseUnbooked(const std::string& body, UnbookedFlight& flight);
// Positions from trace rows [first, first + count), each with the id "{pirep}-p<row>", so a
// row sent again (after a resume flies it again) replaces the server's copy instead of
// doubling it.
std::string PositionsBody(const std::vector<TraceRow>& rows, std::size_t first, std::size_t count);
// The same for rows copied out of the trace, the first of them row `firstNumber`.
std::string PositionsBodyOf(const std::vector<TraceRow>& slice, std::size_t firstNumber);
struct AcarsEvent {
    // The flight's events of one kind in order, from 0: the id "{pirep}-<series><number>" (e
    // the take-off, waypoints, landing and arrival; p the phases of note; r the rules broken).
    const char* series = "e";
    long long number = 0;
    std::string text;
    long long utcSeconds = 0;
    double latitude = 0.0;
    double longitude = 0.0;
};
std::string EventsBody(const std::vector<AcarsEvent>& events);
std::string StatusBody(const std::string& status);
struct FiledFigures {
    int flightMinutes = 0;
    double fuelUsedPounds = 0.0;
    double distanceNm = 0.0;
    std::optional<double> landingRateFpm;
    std::string notes;  // the navigation log
};
std::string FileBody(const FiledFigures& figures);

// The report's statuses as phpVMS codes them.
namespace pirep_status {
inline constexpr char kOffBlock[] = "OFB";
inline constexpr char kTaxi[] = "TXI";
inline constexpr char kInitialClimb[] = "ICL";
inline constexpr char kAirborne[] = "TKO";
inline constexpr char kFinal[] = "FIN";
inline constexpr char kTakeOff[] = "TOF";
inline constexpr char kEnRoute[] = "ENR";
inline constexpr char kApproach[] = "TEN";
inline constexpr char kLanded[] = "LAN";
inline constexpr char kArrived[] = "ONB";
}  // namespace pirep_status

}  // namespace aerolinker
