// The airline worker: a thread of its own that sends the outbox to the airline's server, in
// order, and reads the pilot's bids when asked. The flight's thread never waits on it: it
// queues and wakes it, and collects what the worker has to say (news) at each tick.
//
// What makes a request safe to send again: positions and events carry ids, so the server
// keeps one of each however often they arrive; a prefile or a filing whose answer was lost is
// looked up on the server before it is sent again. A server that is down, slow or answers
// 5xx is tried again later, with growing pauses; a refusal for good (400, 404, 409) stops the
// flight's sending and is told once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "airline/acars_messages.h"
#include "airline/net/http_transport.h"
#include "airline/outbox.h"

namespace aerolinker {

struct AirlineServer {
    std::string base;  // checked by CheckServerAddress
    std::string apiKey;
};

struct SenderNews {
    enum class Kind {
        BidsRead,     // `bids`
        BidsFailed,   // `text`: why
        ServerDown,   // `text`: why; the outbox waits
        ServerBack,   // the server answers again
        KeyRefused,   // `text`: the server's message
        ReportNamed,  // `flight`, `pirepId`
        Filed,        // `flight`, `pirepId`
        Refused,      // `flight`, `text`: the server's message; nothing more is sent
    };
    Kind kind;
    std::string flight;
    std::string pirepId;
    std::string text;
    std::vector<Bid> bids;
};

struct SenderTiming {
    // The first pause after a failure, doubled at each further one up to the longest.
    int firstRetryMs = 5000;
    int longestRetryMs = 120000;
};

class AirlineSender {
public:
    AirlineSender(std::unique_ptr<HttpTransport> transport, AirlineServer server,
                  const std::string& logFolder, SenderTiming timing = {});
    // Stops the worker; a request under way is left to finish on its own.
    ~AirlineSender();
    // Writes what was handed, then stops the worker: it sends nothing more, and the request
    // under way is waited for a moment (its news can still be taken) before it is left to
    // finish on its own. The destructor does this if it was not done.
    void Stop();
    AirlineSender(const AirlineSender&) = delete;
    AirlineSender& operator=(const AirlineSender&) = delete;

    Outbox& Queue() { return state_->outbox; }
    // Something new is in the outbox: the worker looks now instead of at its next retry.
    void Wake();
    // An entry for the worker to write into the outbox, then send: the flight's thread does
    // not wait for the disk. Entries are written in the order they are handed, before any
    // sending, and at the latest when the sender is destroyed.
    // `rows`, trace rows from row `firstRow` on, go first in the entry as its positions, then
    // `events`: the writer makes their requests, so that the tick only copies them.
    void Hand(const std::string& flight, OutboxEntry entry, std::vector<TraceRow> rows = {},
              std::size_t firstRow = 0, std::vector<AcarsEvent> events = {});
    // An entry written into the outbox now, after everything handed before it. Returns 0 or
    // the platform's error code.
    int QueueNow(const std::string& flight, const OutboxEntry& entry);
    // The pilot's bids, read as soon as the server answers; the news brings them.
    void ReadBids();
    std::vector<SenderNews> TakeNews();
    // Nothing waiting: every flight sent (or refused) and no bids asked for.
    bool Idle() const;

private:
    // Everything the worker touches, kept alive by the worker too, so that a worker still in a
    // request when the program closes never touches freed memory.
    struct State {
        State(std::unique_ptr<HttpTransport> t, AirlineServer s, const std::string& folder,
              SenderTiming timing);
        std::unique_ptr<HttpTransport> transport;
        AirlineServer server;
        Outbox outbox;
        SenderTiming timing;
        mutable std::mutex mutex;
        std::condition_variable wake;
        std::atomic<bool> stop{false};
        bool writerStop = false;
        // True at the start: what an earlier run left in the outbox is sent at once.
        bool woken = true;
        bool bidsWanted = false;
        bool busy = false;
        bool down = false;  // the last request found no server
        bool keyRefused = false;
        std::vector<SenderNews> news;
        // Set with each news, so that a tick with none takes no lock.
        std::atomic<bool> newsWaiting{false};
        struct Handed {
            std::string flight;
            OutboxEntry entry;
            std::vector<TraceRow> rows;
            std::size_t firstRow = 0;
            std::vector<AcarsEvent> events;
        };
        std::vector<Handed> handed;
        // Held while handed entries are written, so that entries reach the outbox in the
        // order they were made whichever thread writes them.
        std::mutex writing;
    };
    // Writes the entries handed so far into the outbox (the caller holds no lock).
    static void WriteHanded(State& state);
    static void WriteHandedLocked(State& state);  // `writing` held
    static void Run(std::shared_ptr<State> state);
    // The writer: writes what is handed into the outbox at once, whatever the worker waits
    // for on the network.
    static void Write(std::shared_ptr<State> state);
    std::shared_ptr<State> state_;
    std::thread writer_;
    std::thread worker_;
    bool stopped_ = false;
};

}  // namespace aerolinker
