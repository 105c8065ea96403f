// The airline worker's loop: the bids when asked, then each flight's entries in order.
#include "airline/airline_sender.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <optional>

namespace aerolinker {
namespace {

constexpr char kPrefileSentMark[] = "prefile-sent";
constexpr char kFileSentMark[] = "file-sent";
// How long the destructor waits for a request under way before leaving it to finish alone.
constexpr auto kStopWait = std::chrono::seconds(2);

bool Accepted(int status) {
    return status >= 200 && status < 300;
}
// No answer, or one that says "later", or one that is not the airline's (a redirect from a
// network's sign-in page, say): the same request goes again after a pause.
bool Transient(int status) {
    return status < 200 || (status >= 300 && status < 400) || status == 408 || status == 429 ||
           status >= 500;
}
bool KeyProblem(int status) {
    return status == 401 || status == 403;
}

std::string Replaced(std::string text, const std::string& pirepId) {
    const std::string placeholder = kPirepPlaceholder;
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + pirepId.size())) {
        text.replace(at, placeholder.size(), pirepId);
    }
    return text;
}

std::string RefusalText(const HttpReply& reply) {
    const std::string message = ServerMessage(reply.body);
    return "the airline server answered " + std::to_string(reply.status) +
           (message.empty() ? std::string() : ": " + message);
}

}  // namespace

AirlineSender::State::State(std::unique_ptr<HttpTransport> t, AirlineServer s,
                            const std::string& folder, SenderTiming timingIn)
    : transport(std::move(t)), server(std::move(s)), outbox(folder), timing(timingIn) {}

AirlineSender::AirlineSender(std::unique_ptr<HttpTransport> transport, AirlineServer server,
                             const std::string& logFolder, SenderTiming timing)
    : state_(std::make_shared<State>(std::move(transport), std::move(server), logFolder, timing)) {
    writer_ = std::thread(Write, state_);
    worker_ = std::thread(Run, state_);
}

AirlineSender::~AirlineSender() {
    Stop();
}

void AirlineSender::Stop() {
    if (stopped_) {
        return;
    }
    stopped_ = true;
    {
        // The writer ends once everything handed is on disk.
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->writerStop = true;
        state_->wake.notify_all();
    }
    writer_.join();
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->stop = true;
    state_->wake.notify_all();
    const bool idle = state_->wake.wait_for(lock, kStopWait, [this] { return !state_->busy; });
    lock.unlock();
    if (idle) {
        worker_.join();
    } else {
        worker_.detach();
    }
}

void AirlineSender::Hand(const std::string& flight, OutboxEntry entry, std::vector<TraceRow> rows,
                         std::size_t firstRow, std::vector<AcarsEvent> events) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->handed.push_back(
        {flight, std::move(entry), std::move(rows), firstRow, std::move(events)});
    state_->wake.notify_all();
}

int AirlineSender::QueueNow(const std::string& flight, const OutboxEntry& entry) {
    std::lock_guard<std::mutex> writing(state_->writing);
    WriteHandedLocked(*state_);
    const int error = state_->outbox.Queue(flight, entry);
    Wake();
    return error;
}

void AirlineSender::Write(std::shared_ptr<State> state) {
    std::unique_lock<std::mutex> lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&state] { return state->writerStop || !state->handed.empty(); });
        if (state->handed.empty()) {
            return;  // stopped, with nothing left to write
        }
        lock.unlock();
        WriteHanded(*state);
        lock.lock();
        // The worker sends what was just written.
        state->woken = true;
        state->wake.notify_all();
    }
}

void AirlineSender::WriteHanded(State& state) {
    std::lock_guard<std::mutex> writing(state.writing);
    WriteHandedLocked(state);
}

void AirlineSender::WriteHandedLocked(State& state) {
    std::vector<State::Handed> handed;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        handed.swap(state.handed);
    }
    for (State::Handed& item : handed) {
        if (!item.events.empty()) {
            item.entry.requests.insert(
                item.entry.requests.begin(),
                {"events", "POST", PirepPath("/acars/events"), EventsBody(item.events)});
        }
        if (!item.rows.empty()) {
            item.entry.requests.insert(item.entry.requests.begin(),
                                       {"positions", "POST", PirepPath("/acars/positions"),
                                        PositionsBodyOf(item.rows, item.firstRow)});
        }
        // A failed write loses nothing for good: the resumed flight queues it again from its
        // trace and marks, as after a crash.
        state.outbox.Queue(item.flight, item.entry);
    }
}

void AirlineSender::Wake() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->woken = true;
    state_->wake.notify_all();
}

void AirlineSender::ReadBids() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->bidsWanted = true;
    state_->woken = true;
    state_->wake.notify_all();
}

std::vector<SenderNews> AirlineSender::TakeNews() {
    std::vector<SenderNews> news;
    if (!state_->newsWaiting.load(std::memory_order_acquire)) {
        return news;
    }
    std::lock_guard<std::mutex> lock(state_->mutex);
    news.swap(state_->news);
    state_->newsWaiting.store(false, std::memory_order_release);
    return news;
}

bool AirlineSender::Idle() const {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->bidsWanted || state_->busy || state_->woken || !state_->handed.empty()) {
            return false;
        }
    }
    for (const std::string& flight : state_->outbox.Flights()) {
        if (state_->outbox.Refusal(flight).empty() && !state_->outbox.Entries(flight).empty()) {
            return false;
        }
    }
    return true;
}

namespace {

// The worker's side, one object per worker; every member runs on the worker's thread.
class Worker {
public:
    Worker(HttpTransport& transport, const AirlineServer& server, Outbox& outbox,
           const std::atomic<bool>& stop, std::function<void(SenderNews)> tell)
        : transport_(transport),
          server_(server),
          outbox_(outbox),
          stop_(stop),
          tell_(std::move(tell)) {}

    // Stopped: the sender was stopped between two requests; nothing more is sent.
    enum class Outcome { Done, Later, KeyRefused, Stopped };

    HttpReply Send(const std::string& method, const std::string& path, const std::string& body) {
        HttpRequest request;
        request.method = method;
        request.url = server_.base + path;
        request.headers = {{"X-API-Key", server_.apiKey},
                           {"Accept", "application/json"},
                           {"Content-Type", "application/json"}};
        request.body = body;
        return transport_.Send(request);
    }

    Outcome ReadBids() {
        const HttpReply reply = Send("GET", "/api/user/bids", std::string());
        if (KeyProblem(reply.status)) {
            return KeyRefusal(reply);
        }
        if (Transient(reply.status)) {
            lastError_ = reply.status == 0 ? reply.error : RefusalText(reply);
            return Outcome::Later;
        }
        SenderNews news{SenderNews::Kind::BidsRead, {}, {}, {}, {}};
        std::string error;
        if (!Accepted(reply.status)) {
            news.kind = SenderNews::Kind::BidsFailed;
            news.text = RefusalText(reply);
        } else if (!ParseBids(reply.body, news.bids, error)) {
            news.kind = SenderNews::Kind::BidsFailed;
            news.text = error;
        }
        tell_(news);
        return Outcome::Done;
    }

    // The flight's entries in order, as far as the server takes them.
    Outcome SendFlight(const std::string& flight) {
        if (!outbox_.Refusal(flight).empty() || !outbox_.Filed(flight).empty()) {
            return Outcome::Done;
        }
        for (const std::string& name : outbox_.Entries(flight)) {
            OutboxEntry entry;
            if (!outbox_.Read(flight, name, entry)) {
                continue;  // a damaged entry cannot be sent; the rest still can
            }
            while (!entry.requests.empty()) {
                if (stop_.load()) {
                    return Outcome::Stopped;
                }
                const Outcome outcome = SendRequest(flight, entry.requests.front());
                if (outcome != Outcome::Done) {
                    return outcome;
                }
                if (!outbox_.Refusal(flight).empty()) {
                    return Outcome::Done;
                }
                if (entry.requests.front().kind == "file") {
                    // Filed: the report is complete on the server; nothing more of it goes.
                    outbox_.SetFiled(flight, outbox_.PirepId(flight));
                    return Outcome::Done;
                }
                entry.requests.erase(entry.requests.begin());
                if (!entry.requests.empty()) {
                    outbox_.Rewrite(flight, name, entry);
                }
            }
            outbox_.Remove(flight, name, entry);
        }
        return Outcome::Done;
    }

    const std::string& LastError() const { return lastError_; }

private:
    Outcome KeyRefusal(const HttpReply& reply) {
        lastError_ = RefusalText(reply);
        return Outcome::KeyRefused;
    }

    Outcome Refuse(const std::string& flight, const HttpReply& reply) {
        return Refuse(flight, RefusalText(reply));
    }

    Outcome Refuse(const std::string& flight, const std::string& text) {
        outbox_.Refuse(flight, text);
        tell_({SenderNews::Kind::Refused, flight, outbox_.PirepId(flight), text, {}});
        return Outcome::Done;
    }

    // A reply that is neither accepted nor a refusal for good: tried again later.
    std::optional<Outcome> Trouble(const std::string& flight, const HttpReply& reply) {
        if (Accepted(reply.status)) {
            return std::nullopt;
        }
        if (KeyProblem(reply.status)) {
            return KeyRefusal(reply);
        }
        if (Transient(reply.status)) {
            lastError_ = reply.status == 0 ? reply.error : RefusalText(reply);
            return Outcome::Later;
        }
        return Refuse(flight, reply);
    }

    Outcome SendRequest(const std::string& flight, const QueuedRequest& request) {
        if (request.kind == "prefile") {
            return Prefile(flight, request);
        }
        if (request.kind == kUnbookedPrefileKind) {
            return PrefileUnbooked(flight, request);
        }
        const std::string pirepId = outbox_.PirepId(flight);
        if (pirepId.empty()) {
            // Only a prefile refused for good leaves a flight without its report; the flight
            // is then refused already. Anything else waits for the prefile.
            return Outcome::Later;
        }
        if (request.kind == "file" && outbox_.HasMark(flight, kFileSentMark)) {
            const HttpReply reply = Send("GET", "/api/pireps/" + pirepId, std::string());
            if (auto trouble = Trouble(flight, reply)) {
                return *trouble;
            }
            // A reply that does not read says nothing of the report: it may be filed already.
            PirepSummary pirep;
            if (!ParsePirep(reply.body, pirep)) {
                return Unreadable(reply);
            }
            if (pirep.state != kPirepInProgress) {
                return Filed(flight, pirepId);
            }
        }
        if (request.kind == "file" && outbox_.SetMark(flight, kFileSentMark) != 0) {
            return Outcome::Later;
        }
        const HttpReply reply =
            Send(request.method, Replaced(request.path, pirepId), Replaced(request.body, pirepId));
        if (auto trouble = Trouble(flight, reply)) {
            return *trouble;
        }
        return request.kind == "file" ? Filed(flight, pirepId) : Outcome::Done;
    }

    Outcome Filed(const std::string& flight, const std::string& pirepId) {
        tell_({SenderNews::Kind::Filed, flight, pirepId, {}, {}});
        return Outcome::Done;
    }

    // The report is asked for once: if an earlier prefile may have reached the server, the
    // pilot's open reports are searched for it (by the flight's token in its notes) first.
    Outcome Prefile(const std::string& flight, const QueuedRequest& request) {
        if (!outbox_.PirepId(flight).empty()) {
            return Outcome::Done;
        }
        if (auto found = FoundPrefiled(flight)) {
            return *found;
        }
        return SendPrefile(flight, request);
    }

    // A flight that arrived before the server ever answered: its bid is read now, and its
    // report asked for as it would have been at its engine start.
    Outcome PrefileUnbooked(const std::string& flight, const QueuedRequest& request) {
        if (!outbox_.PirepId(flight).empty()) {
            return Outcome::Done;
        }
        if (auto found = FoundPrefiled(flight)) {
            return *found;
        }
        UnbookedFlight unbooked;
        if (!ParseUnbooked(request.body, unbooked)) {
            return Refuse(flight, "its request in the outbox does not read");
        }
        const HttpReply reply = Send("GET", "/api/user/bids", std::string());
        if (auto trouble = Trouble(flight, reply)) {
            return *trouble;
        }
        std::vector<Bid> bids;
        std::string why;
        if (!ParseBids(reply.body, bids, why)) {
            return Unreadable(reply);
        }
        const std::optional<Booking> booking =
            MatchBid(bids, unbooked.departure, unbooked.registration, why);
        if (!booking) {
            return Refuse(flight, why);
        }
        return SendPrefile(flight,
                           {"prefile", "POST", "/api/pireps/prefile",
                            PrefileBody(*booking, unbooked.route, booking->bid.plannedNm, flight)});
    }

    // A prefile that may have reached the server (its reply lost) is looked for among the
    // pilot's open reports, by the flight's token in its notes; nothing when it is not there.
    std::optional<Outcome> FoundPrefiled(const std::string& flight) {
        if (!outbox_.HasMark(flight, kPrefileSentMark)) {
            return std::nullopt;
        }
        const HttpReply reply = Send("GET", "/api/user/pireps", std::string());
        if (auto trouble = Trouble(flight, reply)) {
            return *trouble;
        }
        std::vector<PirepSummary> pireps;
        if (!ParsePireps(reply.body, pireps)) {
            return Unreadable(reply);
        }
        for (const PirepSummary& pirep : pireps) {
            if (pirep.state == kPirepInProgress && pirep.notes == flight) {
                return Named(flight, pirep.id);
            }
        }
        return std::nullopt;
    }

    Outcome SendPrefile(const std::string& flight, const QueuedRequest& request) {
        if (outbox_.SetMark(flight, kPrefileSentMark) != 0) {
            return Outcome::Later;
        }
        const HttpReply reply = Send(request.method, request.path, request.body);
        if (auto trouble = Trouble(flight, reply)) {
            return *trouble;
        }
        // A reply that names no report may still have made one: the next try looks it up.
        const std::string id = ParsePirepId(reply.body);
        if (id.empty()) {
            return Unreadable(reply);
        }
        return Named(flight, id);
    }

    // An accepted reply whose text does not read (cut, or a page from something in between):
    // nothing is taken from it and nothing is sent again until the server is asked anew.
    Outcome Unreadable(const HttpReply& reply) {
        lastError_ = "the airline server answered " + std::to_string(reply.status) +
                     " with a reply that does not read";
        return Outcome::Later;
    }

    Outcome Named(const std::string& flight, const std::string& id) {
        if (outbox_.SetPirepId(flight, id) != 0) {
            return Outcome::Later;
        }
        tell_({SenderNews::Kind::ReportNamed, flight, id, {}, {}});
        return Outcome::Done;
    }

    HttpTransport& transport_;
    const AirlineServer& server_;
    Outbox& outbox_;
    const std::atomic<bool>& stop_;
    std::function<void(SenderNews)> tell_;
    std::string lastError_;
};

}  // namespace

void AirlineSender::Run(std::shared_ptr<State> state) {
    Worker worker(*state->transport, state->server, state->outbox, state->stop,
                  [&state](SenderNews news) {
                      std::lock_guard<std::mutex> lock(state->mutex);
                      // Every news of the worker is an answer of the server: one that was
                      // down is back before what it answered, not after it.
                      if (state->down) {
                          state->news.push_back({SenderNews::Kind::ServerBack, {}, {}, {}, {}});
                          state->down = false;
                      }
                      state->news.push_back(std::move(news));
                      state->newsWaiting.store(true, std::memory_order_release);
                  });
    int pauseMs = 0;
    std::unique_lock<std::mutex> lock(state->mutex);
    for (;;) {
        if (pauseMs > 0) {
            state->wake.wait_for(lock, std::chrono::milliseconds(pauseMs),
                                 [&state] { return state->stop || state->woken; });
        } else {
            state->wake.wait(lock, [&state] { return state->stop || state->woken; });
        }
        if (state->stop) {
            return;
        }
        state->woken = false;
        state->busy = true;
        const bool bids = state->bidsWanted;
        lock.unlock();

        Worker::Outcome outcome = Worker::Outcome::Done;
        if (bids) {
            outcome = worker.ReadBids();
            if (outcome == Worker::Outcome::Done) {
                std::lock_guard<std::mutex> relock(state->mutex);
                state->bidsWanted = false;
            }
        }
        if (outcome == Worker::Outcome::Done) {
            for (const std::string& flight : state->outbox.Flights()) {
                outcome = worker.SendFlight(flight);
                if (outcome != Worker::Outcome::Done) {
                    break;
                }
            }
        }

        lock.lock();
        state->busy = false;
        state->wake.notify_all();
        if (outcome == Worker::Outcome::Stopped) {
            return;
        }
        if (outcome == Worker::Outcome::Done) {
            if (state->down) {
                state->news.push_back({SenderNews::Kind::ServerBack, {}, {}, {}, {}});
                state->newsWaiting.store(true, std::memory_order_release);
            }
            state->down = false;
            state->keyRefused = false;
            pauseMs = 0;
        } else {
            if (outcome == Worker::Outcome::KeyRefused && !state->keyRefused) {
                state->news.push_back(
                    {SenderNews::Kind::KeyRefused, {}, {}, worker.LastError(), {}});
                state->newsWaiting.store(true, std::memory_order_release);
                state->keyRefused = true;
            } else if (outcome == Worker::Outcome::Later && !state->down) {
                state->news.push_back(
                    {SenderNews::Kind::ServerDown, {}, {}, worker.LastError(), {}});
                state->newsWaiting.store(true, std::memory_order_release);
                state->down = true;
            }
            pauseMs = pauseMs == 0 ? state->timing.firstRetryMs
                                   : std::min(pauseMs * 2, state->timing.longestRetryMs);
            // A retry is a wake of its own.
            state->woken = false;
        }
    }
}

}  // namespace aerolinker
