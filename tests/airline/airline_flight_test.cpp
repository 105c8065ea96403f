// Whole flights filed with the substitute airline server over the real transport, with the
// server failing in each way a network or an airline's site fails, in each phase of the flight:
// whatever happens on the way, the server ends with the flight, once.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <cmath>
#include <thread>

#include "airline/airline_link.h"
#include "airline/airline_sender.h"
#include "airline/net/server_address.h"
#include "airline_server_process.h"
#include "flight_harness.h"
#include "recorder/flight_figures.h"

namespace aerolinker {
namespace {

using testing_support::AirlineServerProcess;
using testing_support::FlightHarness;
using Json = nlohmann::json;

namespace fs = std::filesystem;

constexpr auto kDrainLimit = std::chrono::seconds(40);

std::string Scenario() {
    return testing_support::BundledScenario("lieo-lirq.scn");
}

fs::path TestFolder(const std::string& name) {
    return fs::temp_directory_path() / ("aerolinker-airline-" + name);
}

// A fault (or an array of them) set before a tick of the flight (-1: before the connect) and
// cleared before another (a very large tick: never, the count runs out by itself).
struct FaultCase {
    const char* name;
    int setAtTick;
    Json fault;
    int clearAtTick;
};

class FiledFlight {
public:
    explicit FiledFlight(const std::string& name, std::vector<std::string> serverOptions = {},
                         const std::string& scenario = Scenario())
        : folder_(TestFolder(name)),
          server_(folder_ / "server", std::move(serverOptions)),
          harness_(scenario, folder_ / "pilot") {}

    AirlineServerProcess& server() { return server_; }
    FlightHarness& harness() { return harness_; }

    // Flies the whole flight, setting and clearing the case's fault on the way, then waits
    // for the worker to have sent everything.
    void Fly(const FaultCase* fault, bool drain = true) {
        OpenAirline();
        harness_.Start();
        Apply(fault, -1);
        harness_.Connect();
        for (int tick = 0; harness_.window().timer && tick < 100000; ++tick) {
            Apply(fault, tick);
            harness_.Tick();
        }
        // A fault left for the requests after the arrival (the filing) stays until used.
        if (drain) {
            Drain();
        }
    }

    // The program ends and starts again: a new sender and link, on the same outbox.
    void NextRun() {
        harness_.form().Unsubscribe(*link_);
        link_.reset();
        sender_.reset();
        OpenAirline();
    }

    void Drain() {
        const auto until = std::chrono::steady_clock::now() + kDrainLimit;
        link_->Poll();
        while (!sender_->Idle() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            link_->Poll();
        }
        link_->Poll();
    }

    AirlineLink& link() { return *link_; }
    AirlineSender& sender() { return *sender_; }

private:
    void OpenAirline() {
        TransportLimits limits;
        limits.replyTimeoutMs = 1500;  // a hanging server is given up on quickly
        SenderTiming timing;
        timing.firstRetryMs = 20;
        timing.longestRetryMs = 200;
        sender_ = std::make_unique<AirlineSender>(
            MakeHttpTransport(limits),
            AirlineServer{server_.Base(), testing_support::kAirlineTestKey}, harness_.LogFolder(),
            timing);
        link_ =
            std::make_unique<AirlineLink>(harness_.form().Session(), *sender_, harness_.window());
        harness_.form().Subscribe(*link_);
    }

    void Apply(const FaultCase* fault, int tick) {
        if (fault == nullptr) {
            return;
        }
        if (tick == fault->setAtTick) {
            for (const Json& one :
                 fault->fault.is_array() ? fault->fault : Json::array({fault->fault})) {
                server_.Control("fault", one);
            }
        }
        if (tick == fault->clearAtTick) {
            server_.Control("clear-faults");
        }
    }

    fs::path folder_;
    AirlineServerProcess server_;
    FlightHarness harness_;
    std::unique_ptr<AirlineSender> sender_;
    std::unique_ptr<AirlineLink> link_;
};

// The server's store holds exactly this flight: one report, filed, with the bid's flight and
// aircraft, every trace row once as a position, the events and statuses in order, and the
// figures of the record.
// `inThisRun`: the flight was filed by the run that flew it, whose link knows the report.
void ExpectTheFlightOnce(FiledFlight& flight, const std::string& name, bool inThisRun = true) {
    SCOPED_TRACE(name);
    const Json store = flight.server().Store();
    ASSERT_TRUE(store.is_object());
    ASSERT_EQ(store["pireps"].size(), 1u) << store["requests"].dump();
    const Json& pirep = store["pireps"].begin().value();
    const std::string id = pirep["id"];
    EXPECT_EQ(pirep["state"], 1) << "filed";
    EXPECT_EQ(pirep["flight_number"], "1024");
    EXPECT_EQ(pirep["aircraft_id"], 12) << "I-CSAB, the simulator's registration";
    EXPECT_EQ(pirep["source_name"], "Aerolinker");
    if (inThisRun) {
        EXPECT_EQ(flight.link().PirepId(), id);
        EXPECT_TRUE(flight.link().Filed());
    }

    const FlightRecorder& recorder = flight.harness().form().Session().Recorder();
    const std::vector<TraceRow>& rows = recorder.Rows();
    // A report the flight never got far with has none of these: the checks fail, not abort.
    const Json positions = pirep.value("positions", Json::array());
    ASSERT_EQ(positions.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(positions[i]["id"], id + "-p" + std::to_string(i));
        EXPECT_NEAR(positions[i]["lat"].get<double>(), rows[i].latitude, 1e-6) << i;
        EXPECT_NEAR(positions[i]["lon"].get<double>(), rows[i].longitude, 1e-6) << i;
    }
    std::vector<std::string> events;
    for (const Json& event : pirep.value("events", Json::array())) {
        events.push_back(event["event"]);
    }
    EXPECT_EQ(events, (std::vector<std::string>{"Take-off", "Waypoint OLB", "Waypoint ELB",
                                                "Waypoint PRT", "Landing", "Arrival"}));
    EXPECT_EQ(
        pirep.value("statuses", Json::array()),
        Json::array({"INI", "OFB", "TXI", "TOF", "ICL", "TKO", "ENR", "TEN", "FIN", "LAN", "ONB"}));

    const FlightFigures figures = FiguresOf(rows, recorder.Marks(), true);
    EXPECT_EQ(pirep["flight_time"], figures.BlockMinutes());
    EXPECT_NEAR(pirep["distance"].get<double>(), figures.distanceFlownMetres / 1852.0, 0.051);
    EXPECT_NEAR(pirep["fuel_used"].get<double>(), *figures.blockFuel * 6.7, 0.051);
    EXPECT_NEAR(pirep["landing_rate"].get<double>(), recorder.Landing()->touchdownFpm, 0.051);
    EXPECT_EQ(pirep["notes"], flight.harness().form().Session().Log().Text());

    // The logbook's row names the report, filed.
    const std::string logbook =
        flight.harness().ReadFile(flight.harness().LogFolder() + "/Logbook/logbook.csv");
    EXPECT_NE(logbook.find("," + id + ",filed,"), std::string::npos) << logbook;
}

TEST(AirlineFlight, TheCleanFlightIsFiledOnceWithEveryRowAndEvent) {
    FiledFlight flight("clean");
    ASSERT_TRUE(flight.server().Running());
    flight.Fly(nullptr);
    ExpectTheFlightOnce(flight, "clean");
    // Nothing is left to send once the report is filed, and the flight is known as filed.
    const std::vector<std::string> flights = flight.sender().Queue().Flights();
    ASSERT_EQ(flights.size(), 1u);
    EXPECT_TRUE(flight.sender().Queue().Entries(flights[0]).empty());
    EXPECT_EQ(flight.sender().Queue().Filed(flights[0]), flight.link().PirepId());
}

// Combustion flags that never read 1 count no engine start: the report is asked for at the
// take-off, and the flight is filed all the same.
TEST(AirlineFlight, AFlightWithoutACountedEngineStartIsFiledFromItsTakeOff) {
    std::string scenario = Scenario();
    const std::string running = "engines 1 1 0 0";
    const std::size_t at = scenario.find(running);
    ASSERT_NE(at, std::string::npos);
    scenario.replace(at, running.size(), "engines 1 2 0 0");
    FiledFlight flight("no-engine-start", {}, scenario);
    ASSERT_TRUE(flight.server().Running());
    flight.Fly(nullptr);
    EXPECT_EQ(flight.harness().form().Memo1().Text().find("Engine Start"), std::string::npos)
        << "no engine start in the log";
    ExpectTheFlightOnce(flight, "no engine start");
}

// Ticks: 0 connect... about 24 at the engine start, 160 at the take-off, 1000 at the landing.
TEST(AirlineFlight, EveryFaultInEveryPhaseEndsWithTheSameStore) {
    const FaultCase cases[] = {
        {"down for the bids", -1, {{"mode", "drop"}, {"count", 4}}, 1 << 30},
        {"500 at the prefile",
         20,
         {{"mode", "error500"}, {"count", 3}, {"path", "prefile"}},
         1 << 30},
        {"prefile acted, reply lost", 20, {{"mode", "cut"}, {"path", "prefile"}}, 1 << 30},
        {"positions acted, reply lost",
         150,
         {{"mode", "cut"}, {"path", "positions"}, {"count", 2}},
         1 << 30},
        {"events acted, reply lost", 150, {{"mode", "cut"}, {"path", "events"}}, 1 << 30},
        {"down in cruise", 300, {{"mode", "drop"}, {"count", -1}}, 500},
        {"503 in the descent", 700, {{"mode", "error503"}, {"count", -1}}, 800},
        {"slow replies", 100, {{"mode", "slow"}, {"seconds", 0.3}, {"count", 5}}, 1 << 30},
        {"hangs past the timeout", 400, {{"mode", "hang"}, {"seconds", 3}, {"count", 1}}, 1 << 30},
        {"key refused for a while", 200, {{"mode", "unauthorized"}, {"count", 3}}, 1 << 30},
        {"filing acted, reply lost", -1, {{"mode", "cut"}, {"path", "/file"}}, 1 << 30},
        {"down at the arrival", 1000, {{"mode", "drop"}, {"count", 12}}, 1 << 30},
        {"prefile acted, its reply and the lookup's garbled",
         20,
         {{"mode", "garbled"}, {"path", "pireps"}, {"count", 2}},
         1 << 30},
        {"filing acted, reply lost, the lookup's garbled", -1,
         Json::array({{{"mode", "cut"}, {"path", "/file"}},
                      {{"mode", "garbled"}, {"path", "/api/pireps/"}, {"method", "GET"}}}),
         1 << 30},
        {"a network's sign-in page for a while",
         150,
         {{"mode", "redirect"}, {"count", 3}},
         1 << 30},
    };
    for (const FaultCase& c : cases) {
        FiledFlight flight(std::string("fault-") + std::to_string(&c - cases));
        ASSERT_TRUE(flight.server().Running());
        flight.Fly(&c);
        ExpectTheFlightOnce(flight, c.name);
    }
}

// The server does not answer from before the connect to after the arrival, so the bids are
// never read: the flight is kept whole in the outbox and its logbook row says it waits. Once
// the server answers, later in the same run or in the next one, the bids are read and the
// flight is filed as if they had come at the connect.
// A server whose pilot's one bid departs from EGKK, not from the flight's LIEO.
std::vector<std::string> NoLieoBid() {
    const fs::path data = TestFolder("no-bid-data.json");
    std::ofstream(data) << R"({"api_key": "test-key-0123456789abcdef",
        "pilot": {"id": 1, "name": "Zoë Pilot"},
        "airline": {"id": 1, "icao": "CSA", "name": "Coralstraits Airlines"},
        "bids": [{"id": "p3Vx7TnR0w", "flight_number": "2210", "dpt_airport_id": "EGKK",
                  "arr_airport_id": "EGHI", "subfleet": [{"id": 2, "aircraft":
                  [{"id": 21, "registration": "G-CSAC"}]}]}]})";
    return {"--data", data.string()};
}

TEST(AirlineFlight, AFlightFlownWhileTheServerNeverAnsweredIsFiledOnceItDoes) {
    const struct {
        const char* name;
        bool nextRun;
        bool bid;  // the pilot's bid departs from the flight's departure
    } cases[] = {{"never-answered", false, true},
                 {"never-answered-next-run", true, true},
                 {"never-answered-no-bid", false, false},
                 {"never-answered-no-bid-next-run", true, false}};
    for (const auto& c : cases) {
        const std::string name = c.name;
        const bool nextRun = c.nextRun;
        FiledFlight flight(name, c.bid ? std::vector<std::string>() : NoLieoBid());
        ASSERT_TRUE(flight.server().Running());
        const FaultCase down{"down", -1, {{"mode", "drop"}, {"count", -1}}, 1 << 30};
        flight.Fly(&down, /*drain=*/false);
        EXPECT_FALSE(flight.harness().window().timer) << "the flight closed as always";
        const std::string logbook = flight.harness().LogFolder() + "/Logbook/logbook.csv";
        EXPECT_NE(flight.harness().ReadFile(logbook).find(",,waiting to be sent,"),
                  std::string::npos);
        if (nextRun) {
            flight.NextRun();
        }
        flight.server().Control("clear-faults");
        flight.Drain();
        // The server's return is told before what it answered: the last word is the answer.
        EXPECT_NE(flight.link().Status(), "Airline server answering again") << name;
        if (c.bid) {
            ExpectTheFlightOnce(flight, name, !nextRun);
            continue;
        }
        EXPECT_EQ(flight.link().Refusal(), nextRun ? "" : "no bid departs from LIEO") << name;
        EXPECT_TRUE(flight.server().Store()["pireps"].empty());
        EXPECT_NE(flight.harness().ReadFile(logbook).find(",,refused: no bid departs from LIEO,"),
                  std::string::npos);
        const std::vector<std::string>& boxes = flight.harness().window().messageBoxes;
        EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                                [](const std::string& box) {
                                    return box.find(
                                               " will not be filed with the airline: no "
                                               "bid departs from LIEO.") != std::string::npos;
                                }),
                  1);
    }
}

// A report cancelled on the airline's site is refused for good: the pilot is told once with
// the server's words, nothing more is sent, and the flight is tracked to its end as always.
TEST(AirlineFlight, AReportCancelledOnTheSiteStopsTheSendingAndIsToldOnce) {
    FiledFlight flight("cancelled");
    ASSERT_TRUE(flight.server().Running());
    const FaultCase cancel{
        "cancelled", 400, {{"mode", "notfound"}, {"count", -1}, {"path", "/api/pireps/"}}, 1 << 30};
    flight.Fly(&cancel);
    const Json store = flight.server().Store();
    ASSERT_EQ(store["pireps"].size(), 1u);
    EXPECT_EQ(store["pireps"].begin().value()["state"], 0) << "never filed";
    int refusals = 0;
    for (const std::string& box : flight.harness().window().messageBoxes) {
        refusals += box.find("no longer takes the report") != std::string::npos;
    }
    EXPECT_EQ(refusals, 1);
    int notFound = 0;
    for (const Json& request : store["requests"]) {
        notFound += request["status"] == 404;
    }
    EXPECT_EQ(notFound, 1) << "nothing is sent after the refusal";
    EXPECT_FALSE(flight.link().Filed());
    EXPECT_TRUE(flight.sender().Idle());
    // The logbook's row, written after the refusal, says so.
    const std::string logbook =
        flight.harness().ReadFile(flight.harness().LogFolder() + "/Logbook/logbook.csv");
    EXPECT_NE(logbook.find(",refused: "), std::string::npos) << logbook;
}

// No bid departs from the flight plan's departure: the pilot is told once why the flight will
// not be filed, nothing is sent, and the flight is tracked and logged as always.
TEST(AirlineFlight, AFlightWithoutItsBidIsToldOnceAndNotSent) {
    FiledFlight flight("no-bid", NoLieoBid());
    ASSERT_TRUE(flight.server().Running());
    flight.Fly(nullptr);
    const std::vector<std::string>& boxes = flight.harness().window().messageBoxes;
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(),
                         "This flight will not be filed with the airline: no bid departs from "
                         "LIEO."),
              1);
    const Json store = flight.server().Store();
    EXPECT_TRUE(store["pireps"].empty());
    EXPECT_EQ(store["requests"].size(), 1u) << "the bids only";
    EXPECT_TRUE(flight.sender().Queue().Flights().empty());
    EXPECT_FALSE(flight.harness().window().timer) << "the flight closed as always";
}

}  // namespace
}  // namespace aerolinker
