// The flight as the airline sees it: a listener of the flight session that matches the flight
// to one of the pilot's bids at connect, opens the report at engine start, and sends the
// trace's rows as positions, the flight's events and statuses, and at the arrival the filing
// with the record's figures and the navigation log. Everything goes through the outbox, at most
// one durable write a tick; the airline worker sends it. Nothing here waits on the network.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "airline/acars_messages.h"
#include "airline/airline_sender.h"
#include "link/sim_sample.h"
#include "rules/rule_watch.h"
#include "session/flight_listener.h"
#include "session/flight_session.h"
#include "session/main_window_roles.h"

namespace aerolinker {

// Positions go in batches: one request for this many rows (30 s of flight), sooner at the
// take-off, the landing and the arrival.
inline constexpr std::size_t kRowsPerPositionBatch = 6;
// The weight of a US gallon of jet fuel, when the simulator does not give its own.
inline constexpr double kDefaultFuelPoundsPerGallon = 6.7;

class AirlineLink : public FlightListener {
public:
    AirlineLink(FlightSession& session, AirlineSender& sender, MainWindowRoles& window);

    void OnFlightEvent(FlightEvent event, const std::string& detail) override;
    void OnTick() override;
    std::string SituationRecords() const override;
    void OnResume(const std::string& records) override;
    void AddToLogbook(LogbookEntry& entry) const override;

    // The rules broken go to the airline as events of the report.
    void WatchRules(const RuleWatch& rules) { rules_ = &rules; }

    // What the worker has said since, taken in: the host calls it between flights too (a
    // flight's ticks take it in themselves).
    void Poll();

    // The airline's line of the status bar, as last shown.
    const std::string& Status() const { return status_; }
    const std::optional<Booking>& Flight() const { return booking_; }
    // The flight's folder in the outbox; empty while nothing of it is queued.
    const std::string& OutboxFlight() const { return flight_; }
    // Why the server does not take what is sent, while it does not; empty when it does.
    const std::string& Trouble() const { return trouble_; }
    const std::string& PirepId() const { return pirepId_; }
    // Why the airline refused this run's flight; empty unless it did.
    const std::string& Refusal() const { return refusal_; }
    bool Filed() const { return filed_; }

private:
    void Take(const SenderNews& news);
    void Matched(const std::vector<Bid>& bids);
    void Show(const std::string& status);
    void TellOnce(const std::string& text);
    void OpenReport();
    void OpenReportWithoutBid();
    bool GoOnInAskedReport(const std::string& departure);
    std::string RouteFlownText() const;
    void QueueTick();
    std::string FlightKey(const std::string& departure, const std::string& arrival,
                          const std::string& callsign) const;
    // Goes on from what the outbox holds of flight_, no further than the counts given.
    void TakeOverQueued(long long rows, long long marks, long long phases, long long breaches,
                        bool older);

    FlightSession& session_;
    AirlineSender& sender_;
    MainWindowRoles& window_;
    AircraftIdentity identity_;
    std::optional<Booking> booking_;
    bool engineStarted_ = false;
    bool resumed_ = false;  // this flight goes on from a saved situation
    // The flight's folder in the outbox, once its report is asked for.
    std::string flight_;
    std::string prefileBody_;              // until it is queued
    std::string prefileKind_ = "prefile";  // or kUnbookedPrefileKind
    bool bidsPending_ = false;             // asked for, and neither read nor refused yet
    std::string pirepId_;
    // Trace rows and the recorder's marks queued so far: a mark's event carries its index.
    std::size_t queuedRows_ = 0;
    std::size_t marksQueued_ = 0;
    // The recorder's phase changes queued, and those whose statuses were (statuses never go
    // back, also when a resumed flight passes the same phase again); the rules' breaches.
    std::size_t phasesQueued_ = 0;
    std::size_t phaseStatuses_ = 0;
    std::size_t breachesQueued_ = 0;
    const RuleWatch* rules_ = nullptr;
    // Statuses and the arrival's event waiting for the tick's entry.
    std::vector<std::string> statuses_;
    std::optional<AcarsEvent> arrival_;
    bool urgent_ = false;
    bool fileWanted_ = false;
    bool fileQueued_ = false;
    bool filed_ = false;
    std::string refusal_;  // why the airline refused this flight's report, if it did
    std::string status_;
    std::string trouble_;
    // The closed flight's row in the logbook, filled in once the airline has answered.
    std::string logbookCsv_;
    std::string logbookEntry_;
    void UpdateLogbook(const std::string& filing);
    void UpdateEarlierLogbook(const std::string& flight, const std::string& pirepId,
                              const std::string& filing);
    std::vector<std::string> told_;
};

}  // namespace aerolinker
