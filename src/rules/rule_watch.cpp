// The rules' listener of the flight: the checks on each tick, the breaches told and kept.
#include "rules/rule_watch.h"

#include <climits>

#include "common/calendar.h"
#include "common/csv.h"
#include "common/fixed_number_text.h"

namespace aerolinker {
namespace {

constexpr char kRulesRecord[] = "rules";
constexpr char kBreachRecord[] = "breach";
constexpr std::size_t kRulesFields = 4;
constexpr std::size_t kBreachFields = 7;
// A pause longer than this many ticks (about a year) is not read back.
constexpr long long kMostPausedTicks = 6'000'000;

}  // namespace

RuleWatch::RuleWatch(FlightSession& session, ConfigStore& config)
    : session_(session), config_(config) {}

void RuleWatch::OnFlightEvent(FlightEvent event, const std::string& detail) {
    (void)detail;
    if (event == FlightEvent::Connected) {
        // A new flight under the rules as they are now; a resume brings its records next.
        checker_ = RuleChecker(ReadRuleSettings(config_));
        breaches_.clear();
        rowsChecked_ = 0;
        landingChecked_ = false;
    }
}

void RuleWatch::OnTick() {
    CheckNewRows();
}

void RuleWatch::CheckNewRows() {
    const std::vector<TraceRow>& rows = session_.Recorder().Rows();
    if (rows.size() <= rowsChecked_) {
        return;
    }
    // The tick's values are the last sample's: a tick adds one row (the arrival's closing a
    // second, on the same sample).
    const SimSample& sample = session_.CurrentSample();
    const bool engines = AnyEngineFiring(sample);
    for (std::size_t i = rowsChecked_; i < rows.size(); ++i) {
        const FlightPhase phase = PhaseNamed(rows[i].phase).value_or(FlightPhase::kCruise);
        if (phase == FlightPhase::kTouchAndGo) {
            landingChecked_ = false;  // that was not the landing: the next touchdown is
        }
        Record(checker_.Check({rows[i], phase, sample.rules, engines},
                              i > 0 ? &rows[i - 1] : nullptr));
    }
    rowsChecked_ = rows.size();
}

void RuleWatch::Record(const std::vector<RuleBreach>& breaches) {
    for (const RuleBreach& breach : breaches) {
        breaches_.push_back(breach);
        session_.TellPilot("Rule: " + breach.text);
    }
}

// Once per landing, before its report is shown: the report counts the breaches so far.
void RuleWatch::AddToLandingReport(const LandingReport& landing, std::string& text) {
    if (!landingChecked_ && !session_.Recorder().Rows().empty()) {
        landingChecked_ = true;
        Record(checker_.CheckLanding(landing, session_.Recorder().Rows().back()));
    }
    if (!breaches_.empty()) {
        text += "; rule breaches: " + std::to_string(breaches_.size());
    }
}

std::string RuleWatch::SituationRecords() const {
    std::string text =
        CsvRecord({kRulesRecord, std::to_string(checker_.BrokenRules()),
                   std::to_string(checker_.PausedTicks()), landingChecked_ ? "1" : "0"});
    for (const RuleBreach& b : breaches_) {
        text += CsvRecord({kBreachRecord, RuleKey(b.rule), std::to_string(b.utcSeconds),
                           ShortestText(b.latitude), ShortestText(b.longitude),
                           ShortestText(b.altitudeFeet), b.text});
    }
    return text;
}

// The rows the save kept are checked already: the first tick after the resume is checked
// against the last of them, so a resumed flight cannot start somewhere else.
void RuleWatch::OnResume(const std::string& records) {
    // The saved flight replaces whatever was flown since the connect.
    checker_ = RuleChecker(ReadRuleSettings(config_));
    breaches_.clear();
    landingChecked_ = false;
    rowsChecked_ = session_.Recorder().Rows().size();
    std::vector<CsvFields> parsed;
    if (records.empty() || !ParseCsv(records, parsed)) {
        return;
    }
    for (const CsvFields& record : parsed) {
        if (record.size() == kRulesFields && record[0] == kRulesRecord) {
            long long broken = 0;
            long long paused = 0;
            if (ParseInteger(record[1], broken) && ParseInteger(record[2], paused) && broken >= 0 &&
                broken < (1LL << kRuleCount) && paused >= 0 && paused < kMostPausedTicks) {
                checker_.Restore(static_cast<unsigned long>(broken), static_cast<int>(paused));
                landingChecked_ = record[3] == "1";
            }
        } else if (record.size() == kBreachFields && record[0] == kBreachRecord) {
            RuleBreach breach;
            bool known = false;
            for (std::size_t i = 0; i < kRuleCount && !known; ++i) {
                if (record[1] == RuleKey(static_cast<Rule>(i))) {
                    breach.rule = static_cast<Rule>(i);
                    known = true;
                }
            }
            if (known && ParseInteger(record[2], breach.utcSeconds) &&
                ParseNumber(record[3], breach.latitude) &&
                ParseNumber(record[4], breach.longitude) &&
                ParseNumber(record[5], breach.altitudeFeet)) {
                breach.text = record[6];
                breaches_.push_back(breach);
            }
        }
    }
}

void RuleWatch::AddToLogbook(LogbookEntry& entry) const {
    entry.rulesChecked = true;
    entry.ruleBreaches.clear();
    for (const RuleBreach& b : breaches_) {
        entry.ruleBreaches.push_back(
            {"Rule: " + b.text, b.utcSeconds, b.latitude, b.longitude, b.altitudeFeet});
    }
}

}  // namespace aerolinker
