// The outbox: every request for the airline's server is written here first, durably, and
// leaves only when the server has accepted it, so that no network fault, crash or restart
// loses a report or sends part of it twice. One folder per flight under "<log folder>\Outbox",
// named so that folders sort in the order the flights were flown; in it, numbered entries
// (each the requests of one tick, in order), the report's id once the server has named it, and
// small marks of requests that may have reached the server without an answer.
//
// The flight's thread only adds entries; the sending thread reads, shortens and removes them.
// Every file is replaced atomically, so neither ever sees another's half-written file.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace aerolinker {

// The outbox folder in a log folder.
inline constexpr char kOutboxFolderName[] = "Outbox";

// The request of a flight that arrived before its bids could be read: the sender reads them
// and makes the prefile from its body (UnbookedBody).
inline constexpr char kUnbookedPrefileKind[] = "prefile-unbooked";

struct QueuedRequest {
    std::string kind;    // "prefile", kUnbookedPrefileKind, "positions", "events", "status", "file"
    std::string method;  // "POST"
    std::string path;    // "/api/pireps/{pirep}/acars/positions"
    std::string body;    // JSON
};

struct OutboxEntry {
    std::vector<QueuedRequest> requests;
    // How far the flight had queued when the entry was written: trace rows sent as positions,
    // and events.
    long long rowsThrough = 0;
    long long eventsThrough = 0;
    // The recorder's phase changes and the rules' breaches queued (as statuses and events).
    long long phasesThrough = 0;
    long long breachesThrough = 0;
};

class Outbox {
public:
    explicit Outbox(std::string logFolder);
    const std::string& Root() const { return root_; }

    // The flights with something left to send, oldest first.
    std::vector<std::string> Flights() const;
    // Whether the flight's report was asked for here: its request waits, or the server has
    // named, filed or refused the report.
    bool AskedForReport(const std::string& flight) const;
    // The flight's entries in order (their names).
    std::vector<std::string> Entries(const std::string& flight) const;

    // Adds an entry after the flight's last one: one durable write. Returns 0 or the
    // platform's error code.
    int Queue(const std::string& flight, const OutboxEntry& entry);
    bool Read(const std::string& flight, const std::string& name, OutboxEntry& entry) const;
    // The entry with its first requests gone (they were accepted).
    int Rewrite(const std::string& flight, const std::string& name, const OutboxEntry& entry);
    // The entry is all accepted: it goes, and the flight's progress keeps how far it reached.
    int Remove(const std::string& flight, const std::string& name, const OutboxEntry& entry);
    // Rows and events the server has accepted, as the last removed entry said.
    OutboxEntry Progress(const std::string& flight) const;
    // How far the flight has queued: the progress, or the last entry still waiting.
    OutboxEntry Queued(const std::string& flight) const;

    // The report's id, once the server has named it; empty before.
    std::string PirepId(const std::string& flight) const;
    int SetPirepId(const std::string& flight, const std::string& id);

    // Marks that outlive a crash: a request sent whose answer may have been lost.
    bool HasMark(const std::string& flight, const std::string& mark) const;
    int SetMark(const std::string& flight, const std::string& mark);

    // The server refused the flight for good: its message is kept and nothing more is sent.
    std::string Refusal(const std::string& flight) const;
    int Refuse(const std::string& flight, const std::string& message);

    // The flight's row in the logbook (the file and the entry's name), so that a later run that
    // files the flight, or hears it refused, sets the row's airline columns. False when the
    // flight has none (not closed yet).
    int SetLogbookRow(const std::string& flight, const std::string& csvPath,
                      const std::string& entryName);
    bool LogbookRow(const std::string& flight, std::string& csvPath, std::string& entryName) const;

    // The flight is filed: all that is left of its folder is the report's id (and its logbook
    // row), so that nothing more of it is ever queued or sent (a flight resumed after its
    // arrival flies its end again). Filed() gives the id, empty while the flight is not filed.
    void SetFiled(const std::string& flight, const std::string& pirepId);
    std::string Filed(const std::string& flight) const;

private:
    std::string FlightFolder(const std::string& flight) const;
    std::string root_;
    // Entries are numbered by the flight's thread; the sending thread never adds one, but
    // clears a filed flight's folder under the same lock.
    mutable std::mutex numbering_;
    std::map<std::string, long long> nextEntry_;  // by flight; 0 until its folder is read
};

}  // namespace aerolinker
