// The airline's rules as a listener of the flight session: each tick's row is checked, and
// each breach is told to the pilot at once (the simulator's message line and the status bar),
// kept with the situation so that a resumed flight neither loses nor repeats it, counted in
// the landing report and listed in the logbook row.
#pragma once

#include <string>
#include <vector>

#include "rules/flight_rules.h"
#include "session/flight_listener.h"
#include "session/flight_session.h"

namespace aerolinker {

class RuleWatch : public FlightListener {
public:
    // Each flight is checked under the rules the configuration holds at its connect.
    RuleWatch(FlightSession& session, ConfigStore& config);

    void OnFlightEvent(FlightEvent event, const std::string& detail) override;
    void OnTick() override;
    std::string SituationRecords() const override;
    void OnResume(const std::string& records) override;
    void AddToLogbook(LogbookEntry& entry) const override;
    void AddToLandingReport(const LandingReport& landing, std::string& text) override;

    const std::vector<RuleBreach>& Breaches() const { return breaches_; }

private:
    void CheckNewRows();
    void Record(const std::vector<RuleBreach>& breaches);

    FlightSession& session_;
    ConfigStore& config_;
    RuleChecker checker_;
    std::vector<RuleBreach> breaches_;
    // The recorder's rows checked so far; after a resume, the rows the save kept.
    std::size_t rowsChecked_ = 0;
    bool landingChecked_ = false;
};

}  // namespace aerolinker
