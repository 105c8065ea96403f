// What the substitute simulator was asked to do by the program: every write it received, as
// structured entries that tests assert on, each with a one-line text for the window and the
// transcript file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace aerolinker {

enum class TranscriptKind {
    Message,         // 0x32FA written: the text at 0x3380 shown for `value` seconds
    FlightSave,      // 0x3F00 = 1: the flight saved under the name at 0x3F04
    FlightLoad,      // 0x3F00 = 0: the flight of that name loaded
    FlightControl,   // 0x3F00 with any other value: nothing done
    ConnectValue,    // 0x3210 or 0x3214 written
    LibraryVersion,  // 0x330A written by the client's handshake
    Write,           // any other write
    RefusedBatch,    // a malformed request area: nothing of it was done
    Hang,            // the simulator hangs: the next `value` requests go unanswered
};

struct TranscriptEntry {
    TranscriptKind kind = TranscriptKind::Write;
    std::uint64_t tick = 0;    // scenario position when the batch arrived
    std::uint32_t offset = 0;  // where the write went
    std::uint32_t value = 0;   // message seconds, connect value, library version, control
    std::string text;          // message text or flight name
    bool done = true;          // flights: saved or loaded; false when refused
    std::string detail;        // flights: the file and position, or why it was refused;
                               // other writes: their bytes in hexadecimal

    // One line, for the window and the transcript file.
    std::string Line() const;
};

class Transcript {
public:
    using Listener = std::function<void(const TranscriptEntry&)>;

    void Add(TranscriptEntry entry);
    const std::vector<TranscriptEntry>& entries() const { return entries_; }
    // Called for every entry as it is added (the window's list, the transcript file).
    void SetListener(Listener listener) { listener_ = std::move(listener); }

private:
    std::vector<TranscriptEntry> entries_;
    Listener listener_;
};

// A text in double quotes with quotes, backslashes and control characters escaped, so that any
// bytes the program sent stay on one readable line.
std::string QuotedText(const std::string& text);

}  // namespace aerolinker
