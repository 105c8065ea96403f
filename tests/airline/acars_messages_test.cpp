// The airline server's replies as a hostile or careless server may send them, and the bid a
// flight is matched to.
#include "airline/acars_messages.h"

#include <gtest/gtest.h>

namespace aerolinker {
namespace {

constexpr char kBids[] = R"({"data":[
  {"id":"f8Kd02LmQz","airline":{"id":1,"icao":"CSA","iata":"CS"},"flight_number":1024,
   "dpt_airport_id":"LIEO","arr_airport_id":"LIRQ","flight_time":55,"distance":{"nmi":135.2},
   "subfleet":[{"aircraft":[{"id":11,"registration":"I-CSAA"},{"id":12,"registration":"I-CSAB"}]}]},
  {"id":"p3Vx7TnR0w","airline":{"id":1,"icao":"CSA"},"flight_number":"2210",
   "dpt_airport_id":"EGKK","arr_airport_id":"EGHI","subfleet":[]}]})";

TEST(AcarsMessages, MatchesTheBidByDepartureAndTheAircraftByRegistration) {
    std::vector<Bid> bids;
    std::string error;
    ASSERT_TRUE(ParseBids(kBids, bids, error)) << error;
    ASSERT_EQ(bids.size(), 2u);
    const struct {
        const char* departure;
        const char* registration;
        const char* aircraft;  // nullptr: no booking
        const char* why;
    } cases[] = {
        {"LIEO", "I-CSAB", "12", ""},
        {"lieo", " i-csab", "12", ""},  // as the simulator may spell them
        {"LIEO", "N172SP", "11", ""},   // no registration matches: the first aircraft
        {"LIEO", "", "11", ""},
        {"LIRF", "I-CSAB", nullptr, "no bid departs from LIRF"},
        {"EGKK", "", nullptr, "the bid on CSA2210 has no aircraft"},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto booking = MatchBid(bids, c.departure, c.registration, why);
        if (c.aircraft == nullptr) {
            EXPECT_FALSE(booking) << c.departure;
            EXPECT_EQ(why, c.why);
            continue;
        }
        ASSERT_TRUE(booking) << c.departure << " " << c.registration;
        EXPECT_EQ(booking->aircraft.id, c.aircraft);
        EXPECT_EQ(booking->Callsign(), "CSA1024");
        EXPECT_EQ(booking->bid.plannedMinutes, 55);
    }
}

TEST(AcarsMessages, ReadsTheBidsOfNewerServersWrappedInTheirBid) {
    std::vector<Bid> bids;
    std::string error;
    ASSERT_TRUE(ParseBids(
        R"({"data":[{"id":7,"flight_id":"f1","flight":{"id":"f1","airline_id":3,
            "airline":{"iata":"CS"},"flight_number":"9","dpt_airport_id":"LIEO",
            "subfleet":[{"aircraft":[{"id":"a1","registration":"X"}]}]}}]})",
        bids, error));
    ASSERT_EQ(bids.size(), 1u);
    EXPECT_EQ(bids[0].flightId, "f1");
    EXPECT_EQ(bids[0].airlineId, "3");
    EXPECT_EQ(bids[0].airlineCode, "CS");
}

// Replies no server should send are refused or read safely, never trusted.
TEST(AcarsMessages, UntrustedRepliesAreReadSafely) {
    std::vector<Bid> bids;
    std::string error;
    for (const char* body : {"", "not json", "[]", R"({"data":{}})", R"({"data":"x"})",
                             "{\"data\":[", R"({"data":null})"}) {
        EXPECT_FALSE(ParseBids(body, bids, error)) << body;
    }
    // Fields of the wrong type are left out, not guessed.
    ASSERT_TRUE(ParseBids(R"({"data":[{"id":{},"dpt_airport_id":"LIEO"},
        {"id":"ok","dpt_airport_id":["LIEO"]},{"id":"f","dpt_airport_id":"LIEO",
        "flight_time":-5,"distance":{"nmi":1e308},"subfleet":[{"aircraft":[{"id":null},
        {"id":1.5},{"id":"a"}]}]}]})",
                          bids, error));
    ASSERT_EQ(bids.size(), 1u);
    EXPECT_EQ(bids[0].plannedMinutes, 0);
    ASSERT_EQ(bids[0].aircraft.size(), 1u);
    EXPECT_EQ(bids[0].aircraft[0].id, "a");

    // A report's id goes into paths: only a plain id is taken.
    const struct {
        const char* body;
        const char* id;
    } ids[] = {
        {R"({"data":{"id":"Ab3_x-9"}})", "Ab3_x-9"},
        {R"({"data":{"id":42}})", "42"},
        {R"({"data":{"id":"../../etc"}})", ""},
        {R"({"data":{"id":"a b"}})", ""},
        {R"({"data":{"id":"a?x=1"}})", ""},
        {R"({"data":{"id":""}})", ""},
        {R"({"id":"top"})", ""},
    };
    for (const auto& c : ids) {
        EXPECT_EQ(ParsePirepId(c.body), c.id) << c.body;
    }
    const std::string longId = R"({"data":{"id":")" + std::string(65, 'a') + R"("}})";
    EXPECT_EQ(ParsePirepId(longId), "");

    // The server's words come back on one line, cut to a sensible length.
    EXPECT_EQ(ServerMessage(R"({"message":"PIREP not found\r\nline two"})"),
              "PIREP not found  line two");
    EXPECT_EQ(ServerMessage(R"({"errors":[{"message":"flight_number is required"}]})"),
              "flight_number is required");
    EXPECT_EQ(ServerMessage(R"({"message":")" + std::string(5000, 'x') + R"("})").size(), 200u);
    EXPECT_EQ(ServerMessage("<html>502 Bad Gateway</html>"), "");
}

TEST(AcarsMessages, PositionsCarryTheRowAsTheirIdSoARowSentAgainIsNotDoubled) {
    std::vector<TraceRow> rows(3);
    rows[1].latitude = 40.8987654321;
    rows[1].longitude = 9.5123;
    rows[1].altitudeFeet = 1234.56;
    rows[1].utcSeconds = 1796551200;  // 2026-12-06T10:00:00Z
    const std::string body = PositionsBody(rows, 1, 5);
    EXPECT_NE(body.find(R"("id":"{pirep}-p1")"), std::string::npos) << body;
    EXPECT_NE(body.find(R"("id":"{pirep}-p2")"), std::string::npos);
    EXPECT_EQ(body.find(R"("id":"{pirep}-p3")"), std::string::npos);  // past the rows
    EXPECT_NE(body.find(R"("lat":40.898765)"), std::string::npos);
    EXPECT_NE(body.find(R"("sim_time":"2026-12-06T10:00:00Z")"), std::string::npos);
}

}  // namespace
}  // namespace aerolinker
