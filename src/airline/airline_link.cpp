// The airline's listener of the flight: the bid, the report, and each tick's one entry.
#include "airline/airline_link.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>
#include <string_view>

#include "common/calendar.h"
#include "common/csv.h"
#include "common/fixed_number_text.h"
#include "common/text_encoding.h"
#include "common/units.h"
#include "common/app_error.h"
#include "recorder/flight_figures.h"

namespace aerolinker {
namespace {

constexpr char kAirlineRecord[] = "airline";
// The flight's folder, its report, and the rows, marks, phases and breaches queued; a record of
// an older copy stops after the marks.
constexpr std::size_t kAirlineRecordFields = 7;
constexpr std::size_t kOlderAirlineRecordFields = 5;

// A flight's outbox folder name is made by FlightKey from the airline's codes, longer than a
// report's id may be.
constexpr std::size_t kLongestFlightKey = 128;

// A count the situation file gives back: a whole number, not negative.
bool ParseCount(const std::string& text, long long& value) {
    return ParseInteger(text, value) && value >= 0;
}

// The airline's status a phase brings; none for a phase its list has no status of (a
// descent stays en route, taxi in stays landed), and none for the moments, which go as events.
const char* PhaseStatus(FlightPhase phase) {
    switch (phase) {
        case FlightPhase::kTaxiOut:
            return pirep_status::kTaxi;
        case FlightPhase::kTakeOffRoll:
            return pirep_status::kTakeOff;
        case FlightPhase::kInitialClimb:
            return pirep_status::kInitialClimb;
        case FlightPhase::kClimb:
            return pirep_status::kAirborne;
        case FlightPhase::kCruise:
            return pirep_status::kEnRoute;
        case FlightPhase::kApproach:
            return pirep_status::kApproach;
        case FlightPhase::kFinal:
            return pirep_status::kFinal;
        case FlightPhase::kLandingRoll:
            return pirep_status::kLanded;
        default:
            return nullptr;
    }
}

// The status of the phase at `index`, unless the phases before it gave the same one last (a
// cruise after a step of the descent is still en route).
const char* NewStatus(const std::vector<PhaseChange>& phases, std::size_t index) {
    const char* status = PhaseStatus(phases[index].phase);
    for (std::size_t before = index; status && before-- > 0;) {
        if (const char* earlier = PhaseStatus(phases[before].phase)) {
            return std::string_view(earlier) == status ? nullptr : status;
        }
    }
    return status;
}

bool PhaseOfNote(FlightPhase phase) {
    return IsMomentPhase(phase) || phase == FlightPhase::kGoAround;
}

QueuedRequest Post(const char* kind, const std::string& path, std::string body) {
    return {kind, "POST", path, std::move(body)};
}

}  // namespace

AirlineLink::AirlineLink(FlightSession& session, AirlineSender& sender, MainWindowRoles& window)
    : session_(session), sender_(sender), window_(window) {}

void AirlineLink::Show(const std::string& status) {
    status_ = status;
    window_.SetAirlineStatus(status);
}

// Each problem gets one message box a run; the status bar keeps it after.
void AirlineLink::TellOnce(const std::string& text) {
    Show(text);
    if (std::find(told_.begin(), told_.end(), text) == told_.end()) {
        told_.push_back(text);
        window_.ShowMessageBox(text);
    }
}

// The take-off, the waypoints and the landing reach the airline through the recorder's marks
// (see QueueTick): a situation saved at a registration keeps the mark, so a resumed flight
// still sends the event its save came before. The engine start and the arrival have no mark.
void AirlineLink::OnFlightEvent(FlightEvent event, const std::string& detail) {
    switch (event) {
        case FlightEvent::Connected:
            // A new flight: whatever an earlier one left in the outbox goes on being sent, under
            // its own folder; this one starts from nothing (a resume brings its records next).
            booking_.reset();
            bidsPending_ = true;
            engineStarted_ = false;
            resumed_ = false;
            flight_.clear();
            prefileBody_.clear();
            prefileKind_ = "prefile";
            pirepId_.clear();
            queuedRows_ = 0;
            marksQueued_ = 0;
            phasesQueued_ = 0;
            phaseStatuses_ = 0;
            breachesQueued_ = 0;
            statuses_.clear();
            arrival_.reset();
            urgent_ = fileWanted_ = fileQueued_ = filed_ = false;
            refusal_.clear();
            identity_ = AircraftIdentity();
            session_.ReadAircraftIdentity(identity_);
            sender_.ReadBids();
            Show("Airline: reading your bids");
            break;
        case FlightEvent::EngineStart:
            engineStarted_ = true;
            statuses_.push_back(pirep_status::kOffBlock);
            OpenReport();
            break;
        case FlightEvent::TakeOff:
            // An aircraft whose engine start was never counted (its combustion flags never
            // read 1) has its report asked for at the take-off.
            if (!engineStarted_) {
                engineStarted_ = true;
                statuses_.push_back(pirep_status::kOffBlock);
                OpenReport();
            }
            urgent_ = true;
            break;
        case FlightEvent::Landing:
            urgent_ = true;
            break;
        case FlightEvent::LogbookWritten: {
            // One event per file of the entry: the row's file and the entry's name.
            const std::size_t slash = detail.find_last_of("\\/");
            const std::string name = detail.substr(slash == std::string::npos ? 0 : slash + 1);
            if (name == kLogbookCsvName) {
                // The row's file comes last: the flight's outbox keeps where its row is.
                logbookCsv_ = detail;
                if (!flight_.empty() && !logbookEntry_.empty()) {
                    sender_.Queue().SetLogbookRow(flight_, logbookCsv_, logbookEntry_);
                }
            } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".log") == 0) {
                logbookEntry_ = name.substr(0, name.size() - 4);
            }
            break;
        }
        case FlightEvent::Arrival: {
            urgent_ = true;
            fileWanted_ = true;
            AcarsEvent arrival;
            arrival.text = "Arrival";
            arrival.utcSeconds = session_.Recorder().NowUtc();
            if (!session_.Recorder().Rows().empty()) {
                arrival.latitude = session_.Recorder().Rows().back().latitude;
                arrival.longitude = session_.Recorder().Rows().back().longitude;
            }
            arrival_ = arrival;
            OpenReportWithoutBid();
            break;
        }
        default:
            break;
    }
}

std::string AirlineLink::FlightKey(const std::string& departure, const std::string& arrival,
                                   const std::string& callsign) const {
    // Sorts in the order flights were flown, and names the flight to the pilot looking in the
    // outbox; only characters any file system takes.
    // The flight's own off-block time when the recorder has it: a resumed flight whose save
    // came before its report was asked for finds the report it asked for then.
    const std::vector<TraceRow>& rows = session_.Recorder().Rows();
    const auto offBlock = std::find_if(rows.begin(), rows.end(),
                                       [](const TraceRow& row) { return !BeforeEngineStart(row); });
    std::string date =
        IsoUtcText(offBlock == rows.end() ? session_.Recorder().NowUtc() : offBlock->utcSeconds);
    date.erase(
        std::remove_if(date.begin(), date.end(), [](char c) { return c == '-' || c == ':'; }),
        date.end());
    std::string key = date + "-" + departure + "-" + arrival + "-" + callsign;
    for (char& c : key) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') {
            c = '_';
        }
    }
    return key;
}

// The report is asked for once both are known: the flight's bid and its engine start. The
// prefile goes at the head of the tick's entry.
void AirlineLink::OpenReport() {
    if (!booking_ || !engineStarted_ || !flight_.empty()) {
        return;
    }
    flight_ = FlightKey(booking_->bid.departure, booking_->bid.arrival, booking_->Callsign());
    if (GoOnInAskedReport(booking_->bid.departure)) {
        return;
    }
    prefileBody_ = PrefileBody(*booking_, RouteFlownText(), booking_->bid.plannedNm, flight_);
    prefileKind_ = "prefile";
    Show("Airline: " + booking_->Callsign() + " " + booking_->bid.departure + "-" +
         booking_->bid.arrival + ", report requested");
}

// A flight that arrives while the server has never answered (its bids unread) is kept whole in
// the outbox all the same: the sender reads the bids once the server answers, in this run or a
// later one, and files it then.
void AirlineLink::OpenReportWithoutBid() {
    if (booking_ || !bidsPending_ || !engineStarted_ || !flight_.empty()) {
        return;
    }
    const std::string departure = session_.DepartureIdent();
    flight_ = FlightKey(departure, session_.State().ArrivalIdent, "nobid");
    if (GoOnInAskedReport(departure)) {
        return;
    }
    prefileBody_ = UnbookedBody({departure, identity_.registration.Text(), RouteFlownText()});
    prefileKind_ = kUnbookedPrefileKind;
    Show("Airline: your bids could not be read (" +
         (trouble_.empty() ? std::string("no answer yet") : trouble_) +
         "); the flight waits in the outbox until the server answers");
}

// A resumed flight whose report was asked for before the save it resumed from was overtaken:
// the outbox has the request, and maybe more, already; it may have been asked for without the
// bid (the flight arrived before the bids were read) or with it.
bool AirlineLink::GoOnInAskedReport(const std::string& departure) {
    if (!resumed_) {
        return false;
    }
    // Asked for with or without its bid: the folder has the same off-block time and departure.
    std::string prefix = FlightKey(departure, "", "");
    prefix.pop_back();
    const auto startsWith = [](const std::string& name, const std::string& start) {
        return name.size() >= start.size() &&
               std::equal(start.begin(), start.end(), name.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) ==
                          std::toupper(static_cast<unsigned char>(b));
               });
    };
    if (!sender_.Queue().AskedForReport(flight_)) {
        const std::vector<std::string> folders = sender_.Queue().Flights();
        const auto earlier = std::find_if(folders.begin(), folders.end(), [&](const auto& folder) {
            return startsWith(folder, prefix) && sender_.Queue().AskedForReport(folder);
        });
        if (earlier == folders.end()) {
            return false;
        }
        flight_ = *earlier;
    }
    constexpr long long kAll = std::numeric_limits<long long>::max();
    TakeOverQueued(kAll, kAll, kAll, kAll, false);
    Show("Airline: the flight goes on in its report" +
         (pirepId_.empty() ? std::string() : " " + pirepId_));
    return true;
}

// The route flown, for the report; empty (the bid's own) while it names only the departure.
std::string AirlineLink::RouteFlownText() const {
    const std::string& route = session_.State().RouteFlown;
    return route.find(' ') != std::string::npos ? Utf8FromSystemText(route) : std::string();
}

void AirlineLink::OnTick() {
    Poll();
}

// The tick's one entry: new positions (when a batch is full or the moment asks for it), the
// events, the statuses, and the filing at the arrival.
void AirlineLink::QueueTick() {
    if (fileQueued_) {
        return;
    }
    const std::vector<TraceRow>& rows = session_.Recorder().Rows();
    OutboxEntry entry;
    if (!prefileBody_.empty()) {
        entry.requests.push_back(
            prefileKind_ == kUnbookedPrefileKind
                ? QueuedRequest{prefileKind_, "GET", "/api/user/bids", prefileBody_}
                : Post("prefile", "/api/pireps/prefile", prefileBody_));
    }
    const std::size_t fresh = rows.size() > queuedRows_ ? rows.size() - queuedRows_ : 0;
    const bool sendRows = fresh > 0 && (urgent_ || fileWanted_ || fresh >= kRowsPerPositionBatch);
    // Most ticks have nothing to send: they cost no more than this.
    const std::vector<PhaseChange>& phases = session_.Recorder().Phases();
    static const std::vector<RuleBreach> kNoBreaches;
    const std::vector<RuleBreach>& breaches = rules_ ? rules_->Breaches() : kNoBreaches;
    if (prefileBody_.empty() && !sendRows && session_.Recorder().Marks().size() <= marksQueued_ &&
        phases.size() <= phasesQueued_ && breaches.size() <= breachesQueued_ && statuses_.empty() &&
        !arrival_ && !fileWanted_) {
        return;
    }
    // The report's opening and its filing are written here and now: nothing else could
    // make them again after a crash. The rest the airline's writer makes and writes before it
    // is sent, off the tick: what a crash in between loses, the resumed flight queues again
    // from its trace and marks.
    const bool critical = !prefileBody_.empty() || fileWanted_;
    std::vector<TraceRow> handedRows;
    if (sendRows && critical) {
        entry.requests.push_back(Post("positions", PirepPath("/acars/positions"),
                                      PositionsBody(rows, queuedRows_, fresh)));
    } else if (sendRows) {
        handedRows.assign(rows.begin() + static_cast<std::ptrdiff_t>(queuedRows_), rows.end());
    }
    std::vector<AcarsEvent> events;
    std::vector<std::string> statuses = statuses_;
    const std::vector<TrackMark>& marks = session_.Recorder().Marks();
    for (std::size_t i = marksQueued_; i < marks.size(); ++i) {
        AcarsEvent event;
        event.number = static_cast<long long>(i);
        event.utcSeconds = marks[i].utcSeconds;
        event.latitude = marks[i].latitude;
        event.longitude = marks[i].longitude;
        switch (marks[i].kind) {
            case MarkKind::kTakeOff:
                event.text = "Take-off";
                break;
            case MarkKind::kWaypoint:
                event.text = "Waypoint " + Utf8FromSystemText(marks[i].name);
                break;
            case MarkKind::kLanding:
                event.text = "Landing";
                break;
            case MarkKind::kTouchAndGo:
                event.text = "Touch-and-go at " + Utf8FromSystemText(marks[i].name);
                break;
        }
        events.push_back(event);
    }
    // The statuses follow the phases; the phases of note and the rules broken are events.
    for (std::size_t i = phasesQueued_; i < phases.size(); ++i) {
        if (const char* status = NewStatus(phases, i); status && i >= phaseStatuses_) {
            statuses.push_back(status);
        }
        if (PhaseOfNote(phases[i].phase)) {
            std::string text = PhaseName(phases[i].phase);
            text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
            events.push_back({"p", static_cast<long long>(i), text, phases[i].utcSeconds,
                              phases[i].latitude, phases[i].longitude});
        }
    }
    for (std::size_t i = breachesQueued_; i < breaches.size(); ++i) {
        events.push_back({"r", static_cast<long long>(i),
                          "Rule: " + Utf8FromSystemText(breaches[i].text), breaches[i].utcSeconds,
                          breaches[i].latitude, breaches[i].longitude});
    }
    if (arrival_) {
        arrival_->number = static_cast<long long>(marks.size());
        events.push_back(*arrival_);
        statuses.push_back(pirep_status::kArrived);
    }
    if (!events.empty() && critical) {
        entry.requests.push_back(Post("events", PirepPath("/acars/events"), EventsBody(events)));
    }
    for (const std::string& status : statuses) {
        entry.requests.push_back(Post("status", PirepPath("/update"), StatusBody(status)));
    }
    if (fileWanted_) {
        const FlightFigures figures = FiguresOf(rows, session_.Recorder().Marks(), /*closed=*/true);
        FiledFigures filed;
        filed.flightMinutes = figures.BlockMinutes();
        const double poundsPerGallon = identity_.fuelPoundsPerGallon > 0
                                           ? identity_.fuelPoundsPerGallon
                                           : kDefaultFuelPoundsPerGallon;
        filed.fuelUsedPounds = figures.blockFuel.value_or(0.0) * poundsPerGallon;
        filed.distanceNm = units::MetresToNauticalMiles(figures.distanceFlownMetres);
        if (session_.Recorder().Landing()) {
            filed.landingRateFpm = session_.Recorder().Landing()->touchdownFpm;
        }
        // The log, the route and the waypoints' names are in the system's code page; the
        // airline reads UTF-8.
        filed.notes = Utf8FromSystemText(session_.Log().Text());
        entry.requests.push_back(Post("file", PirepPath("/file"), FileBody(filed)));
    }
    if (entry.requests.empty() && handedRows.empty() && events.empty()) {
        return;
    }
    entry.rowsThrough = static_cast<long long>(sendRows ? rows.size() : queuedRows_);
    entry.eventsThrough = static_cast<long long>(marks.size());
    entry.phasesThrough = static_cast<long long>(phases.size());
    entry.breachesThrough = static_cast<long long>(breaches.size());
    if (!critical) {
        sender_.Hand(flight_, std::move(entry), std::move(handedRows), queuedRows_,
                     std::move(events));
    } else if (const int error = sender_.QueueNow(flight_, entry); error != 0) {
        // Kept for the next tick: the rows and marks are in the recorder, the rest here.
        Show("Airline: the outbox cannot be written: " + SystemErrorText(error));
        return;
    }
    if (sendRows) {
        queuedRows_ = rows.size();
    }
    prefileBody_.clear();
    marksQueued_ = marks.size();
    phasesQueued_ = phases.size();
    phaseStatuses_ = std::max(phaseStatuses_, phases.size());
    breachesQueued_ = breaches.size();
    arrival_.reset();
    statuses_.clear();
    urgent_ = false;
    fileQueued_ = fileWanted_;
}

std::string AirlineLink::SituationRecords() const {
    // A report not asked for yet is asked for again after a resume, from the bids.
    if (flight_.empty() || !prefileBody_.empty()) {
        return {};
    }
    return CsvRecord({kAirlineRecord, flight_, pirepId_, std::to_string(queuedRows_),
                      std::to_string(marksQueued_), std::to_string(phasesQueued_),
                      std::to_string(breachesQueued_)});
}

void AirlineLink::OnResume(const std::string& records) {
    // A flight saved before its bids were read has no record of ours: its engines may have
    // started all the same, and its report is asked for once the bids come.
    engineStarted_ = session_.State().EngineStarted;
    resumed_ = true;
    if (engineStarted_) {
        statuses_ = {pirep_status::kOffBlock};  // sent with the report's request, as always
    }
    std::vector<CsvFields> parsed;
    if (records.empty() || !ParseCsv(records, parsed)) {
        return;
    }
    for (const CsvFields& record : parsed) {
        long long rows = 0;
        long long marks = 0;
        long long phases = 0;
        long long breaches = 0;
        const bool older = record.size() == kOlderAirlineRecordFields;
        if ((record.size() != kAirlineRecordFields && !older) || record[0] != kAirlineRecord ||
            !ParseCount(record[3], rows) || !ParseCount(record[4], marks) ||
            (!older && (!ParseCount(record[5], phases) || !ParseCount(record[6], breaches))) ||
            !IsPlainId(record[1], kLongestFlightKey) ||
            (!record[2].empty() && !IsPlainId(record[2]))) {
            continue;
        }
        flight_ = record[1];
        pirepId_ = record[2];
        TakeOverQueued(rows, marks, phases, breaches, older);
        Show("Airline: the flight goes on in its report" +
             (pirepId_.empty() ? std::string() : " " + pirepId_));
    }
}

void AirlineLink::TakeOverQueued(long long rows, long long marks, long long phases,
                                 long long breaches, bool older) {
    if (pirepId_.empty()) {
        pirepId_ = sender_.Queue().PirepId(flight_);
    }
    // A flight resumed after it was filed flies its end again for the log alone.
    if (const std::string filed = sender_.Queue().Filed(flight_); !filed.empty()) {
        pirepId_ = filed;
        filed_ = true;
    }
    refusal_ = sender_.Queue().Refusal(flight_);
    // What the outbox holds is what reached the disk: entries the worker had not written
    // yet when the program stopped are lost, and go again from here. Rows after the save
    // are flown again and go again too, under the same ids; so do marks, as events.
    OutboxEntry durable = sender_.Queue().Queued(flight_);
    const auto count = [](long long value) {
        return static_cast<std::size_t>(std::max(0LL, value));
    };
    queuedRows_ =
        std::min({count(rows), count(durable.rowsThrough), session_.Recorder().Rows().size()});
    marksQueued_ =
        std::min({count(marks), count(durable.eventsThrough), session_.Recorder().Marks().size()});
    // Statuses never go back: those of phases the outbox holds are not sent again when
    // the resumed flight passes there once more. A flight an older copy saved sent its
    // statuses by the marks: its phases so far are not sent.
    const std::size_t phasesNow = session_.Recorder().Phases().size();
    const std::size_t breachesNow = rules_ ? rules_->Breaches().size() : 0;
    if (older) {
        phases = static_cast<long long>(phasesNow);
        breaches = static_cast<long long>(breachesNow);
        durable.phasesThrough = phases;
        durable.breachesThrough = breaches;
    }
    phasesQueued_ = std::min({count(phases), count(durable.phasesThrough), phasesNow});
    phaseStatuses_ = count(durable.phasesThrough);
    breachesQueued_ = std::min({count(breaches), count(durable.breachesThrough), breachesNow});
    engineStarted_ = true;
    statuses_.clear();
}

void AirlineLink::AddToLogbook(LogbookEntry& entry) const {
    if (flight_.empty()) {
        return;
    }
    entry.airlineReport = pirepId_;
    entry.airlineFiling = filed_              ? "filed"
                          : !refusal_.empty() ? "refused: " + refusal_
                                              : "waiting to be sent";
}

void AirlineLink::UpdateLogbook(const std::string& filing) {
    if (logbookCsv_.empty() || logbookEntry_.empty()) {
        return;
    }
    SetLogbookColumns(logbookCsv_, logbookEntry_,
                      {{kAirlineReportColumn, pirepId_}, {kAirlineFilingColumn, filing}});
}

// A flight of an earlier run filed or refused now: its row, where its outbox says it is.
void AirlineLink::UpdateEarlierLogbook(const std::string& flight, const std::string& pirepId,
                                       const std::string& filing) {
    std::string csvPath;
    std::string entryName;
    if (sender_.Queue().LogbookRow(flight, csvPath, entryName)) {
        SetLogbookColumns(csvPath, entryName,
                          {{kAirlineReportColumn, pirepId}, {kAirlineFilingColumn, filing}});
    }
}

void AirlineLink::Poll() {
    for (const SenderNews& news : sender_.TakeNews()) {
        Take(news);
    }
    // Between ticks (a closed flight has none) what the news made ready is queued here.
    if (flight_.empty()) {
        OpenReport();
    }
    if (!flight_.empty()) {
        QueueTick();
    }
}

void AirlineLink::Matched(const std::vector<Bid>& bids) {
    if (!flight_.empty()) {
        return;  // a resumed flight has its report already
    }
    std::string why;
    booking_ = MatchBid(bids, session_.DepartureIdent(), identity_.registration.Text(), why);
    if (!booking_) {
        TellOnce("This flight will not be filed with the airline: " + why + ".");
        return;
    }
    Show("Airline: " + booking_->Callsign() + " " + booking_->bid.departure + "-" +
         booking_->bid.arrival + ", aircraft " +
         (booking_->aircraft.registration.empty() ? booking_->aircraft.id
                                                  : booking_->aircraft.registration));
    OpenReport();
}

void AirlineLink::Take(const SenderNews& news) {
    using Kind = SenderNews::Kind;
    switch (news.kind) {
        case Kind::BidsRead:
            bidsPending_ = false;
            Matched(news.bids);
            break;
        case Kind::BidsFailed:
            bidsPending_ = false;
            TellOnce("This flight will not be filed with the airline: " + news.text + ".");
            break;
        case Kind::ServerDown:
            // Before the flight has its report (its bids not read yet) nothing of it waits.
            trouble_ = news.text;
            Show("Airline server not answering (" + news.text + ")" +
                 (flight_.empty() ? std::string() : "; what is to send waits in the outbox"));
            break;
        case Kind::ServerBack:
            trouble_.clear();
            Show("Airline server answering again");
            break;
        case Kind::KeyRefused:
            trouble_ = "the API key was refused: " + news.text;
            TellOnce(
                "The airline server refused the API key (" + news.text +
                "). Check the key in the pilot form" +
                (flight_.empty() ? std::string(".") : "; what is to send waits in the outbox."));
            break;
        case Kind::ReportNamed:
            if (news.flight == flight_) {
                pirepId_ = news.pirepId;
            }
            Show("Airline: report " + news.pirepId + " opened");
            break;
        case Kind::Filed:
            if (news.flight == flight_) {
                filed_ = true;
                pirepId_ = news.pirepId;
                UpdateLogbook("filed");
            } else {
                UpdateEarlierLogbook(news.flight, news.pirepId, "filed");
            }
            Show("Airline: flight filed, report " + news.pirepId);
            break;
        case Kind::Refused:
            if (news.flight == flight_) {
                refusal_ = news.text;
                UpdateLogbook("refused: " + news.text);
            } else {
                UpdateEarlierLogbook(news.flight, news.pirepId, "refused: " + news.text);
            }
            // A flight refused before it had its report (its bid, or its request) is named by
            // its outbox folder when it is not this one.
            TellOnce(!news.pirepId.empty()
                         ? "The airline no longer takes the report " + news.pirepId + ": " +
                               news.text + ". Nothing more of this flight is sent."
                     : news.flight == flight_
                         ? "This flight will not be filed with the airline: " + news.text + "."
                         : "The flight " + news.flight +
                               " will not be filed with the airline: " + news.text + ".");
            break;
    }
}

}  // namespace aerolinker
