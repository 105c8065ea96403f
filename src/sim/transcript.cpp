// The one-line forms of transcript entries.
#include "sim/transcript.h"

#include <cstdio>
#include <utility>

namespace aerolinker {

std::string QuotedText(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    quoted += '"';
    return quoted;
}

std::string TranscriptEntry::Line() const {
    char head[64];
    std::snprintf(head, sizeof head, "tick %llu: ", static_cast<unsigned long long>(tick));
    std::string line = head;
    char number[64];
    switch (kind) {
        case TranscriptKind::Message:
            std::snprintf(number, sizeof number, "message for %u s: ", value);
            line += number + QuotedText(text);
            break;
        case TranscriptKind::FlightSave:
            line += (done ? "flight saved as " : "flight save refused: ") + QuotedText(text) +
                    " (" + detail + ")";
            break;
        case TranscriptKind::FlightLoad:
            line += (done ? "flight loaded from " : "flight load refused: ") + QuotedText(text) +
                    " (" + detail + ")";
            break;
        case TranscriptKind::FlightControl:
            std::snprintf(number, sizeof number, "flight control %u ignored for ", value);
            line += number + QuotedText(text);
            break;
        case TranscriptKind::ConnectValue:
            std::snprintf(number, sizeof number, "connect value 0x%04X = %u", offset, value);
            line += number;
            break;
        case TranscriptKind::LibraryVersion:
            std::snprintf(number, sizeof number, "library version %u", value);
            line += number;
            break;
        case TranscriptKind::Write:
            std::snprintf(number, sizeof number, "write 0x%04X: ", offset);
            line += number + detail;
            break;
        case TranscriptKind::RefusedBatch:
            line += "request refused: " + detail;
            break;
        case TranscriptKind::Hang:
            line += "hanging: the next " + std::to_string(value) + " requests go unanswered";
            break;
    }
    return line;
}

void Transcript::Add(TranscriptEntry entry) {
    entries_.push_back(std::move(entry));
    if (listener_) {
        listener_(entries_.back());
    }
}

}  // namespace aerolinker
