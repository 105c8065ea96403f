// libFuzzer target: arbitrary bytes as a reply of the airline's server, given to every reader
// of replies. None may crash, and what they take from the bytes stays within its bounds: a
// report's id fit for a path, the server's message on one short line, bids with an id and a
// departure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "airline/acars_messages.h"
#include "fuzz_support.h"

namespace {

void Require(bool condition, const char* what) {
    aerolinker::fuzzing::Require(condition, "airline_reply_fuzzer", what);
}

bool FitsAPath(const std::string& id) {
    for (char c : id) {
        const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                           (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
        if (!plain) {
            return false;
        }
    }
    return id.size() <= 64;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string body(reinterpret_cast<const char*>(data), size);
    using namespace aerolinker;

    std::vector<Bid> bids;
    std::string error;
    if (ParseBids(body, bids, error)) {
        for (const Bid& bid : bids) {
            Require(!bid.flightId.empty() && !bid.departure.empty(), "a bid without id");
            Require(bid.plannedMinutes >= 0 && bid.plannedNm >= 0, "a negative plan");
        }
        std::string why;
        const auto booking = MatchBid(bids, "LIEO", "I-CSAB", why);
        Require(booking.has_value() || !why.empty(), "no booking and no reason");
    }
    Require(FitsAPath(ParsePirepId(body)), "a report id unfit for a path");
    std::vector<PirepSummary> pireps;
    if (ParsePireps(body, pireps)) {
        for (const PirepSummary& pirep : pireps) {
            Require(!pirep.id.empty() && FitsAPath(pirep.id), "a listed report unfit for a path");
        }
    }
    const std::string message = ServerMessage(body);
    Require(message.size() <= 200, "a message too long");
    for (char c : message) {
        Require(static_cast<unsigned char>(c) >= 0x20, "a message on more than one line");
    }
    std::string pilot;
    std::string airline;
    ParseUser(body, pilot, airline);
    return 0;
}
