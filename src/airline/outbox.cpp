// The outbox's files. Entries are "<8 digits>.json", replaced atomically like every file the
// program keeps; anything else in a flight's folder (a temporary left by a crash) is ignored.
#include "airline/outbox.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <system_error>
#include <utility>

#include "common/file_append.h"
#include "common/file_io.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

constexpr char kEntryExtension[] = ".json";
constexpr std::size_t kEntryDigits = 8;
constexpr char kPirepFile[] = "report-id.txt";
constexpr char kProgressFile[] = "progress.json";
constexpr char kRefusalFile[] = "refused.txt";
constexpr char kFiledFile[] = "filed.txt";
constexpr char kLogbookRowFile[] = "logbook-row.txt";

bool IsEntryName(const std::string& name) {
    return name.size() == kEntryDigits + sizeof kEntryExtension - 1 &&
           name.compare(kEntryDigits, std::string::npos, kEntryExtension) == 0 &&
           std::all_of(name.begin(), name.begin() + kEntryDigits,
                       [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> Names(const std::string& folder, bool folders) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(fs::path(NativePath(folder)), error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        std::error_code ignored;
        if (entries->is_directory(ignored) == folders) {
            names.push_back(entries->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// How far the flight had queued, by name in an entry and in the progress file. An entry an
// older copy wrote has the first two only: the others read as 0.
constexpr std::pair<const char*, long long OutboxEntry::*> kCounts[] = {
    {"rows_through", &OutboxEntry::rowsThrough},
    {"events_through", &OutboxEntry::eventsThrough},
    {"phases_through", &OutboxEntry::phasesThrough},
    {"breaches_through", &OutboxEntry::breachesThrough},
};

void WriteCounts(const OutboxEntry& entry, Json& json) {
    for (const auto& [key, count] : kCounts) {
        json[key] = entry.*count;
    }
}

void ReadCounts(const Json& json, OutboxEntry& entry) {
    for (const auto& [key, count] : kCounts) {
        const auto found = json.find(key);
        if (found != json.end() && found->is_number_integer()) {
            entry.*count = found->get<long long>();
        }
    }
}

std::string EntryText(const OutboxEntry& entry) {
    Json requests = Json::array();
    for (const QueuedRequest& request : entry.requests) {
        requests.push_back({{"kind", request.kind},
                            {"method", request.method},
                            {"path", request.path},
                            {"body", request.body}});
    }
    Json json{{"requests", requests}};
    WriteCounts(entry, json);
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

bool EntryFromText(const std::string& text, OutboxEntry& entry) {
    const Json json = Json::parse(text, nullptr, false);
    if (!json.is_object()) {
        return false;
    }
    entry = OutboxEntry();
    ReadCounts(json, entry);
    const auto requests = json.find("requests");
    if (requests == json.end() || !requests->is_array()) {
        return false;
    }
    for (const Json& item : *requests) {
        if (!item.is_object()) {
            return false;
        }
        QueuedRequest request;
        for (auto [field, key] :
             {std::pair{&request.kind, "kind"}, std::pair{&request.method, "method"},
              std::pair{&request.path, "path"}, std::pair{&request.body, "body"}}) {
            const auto value = item.find(key);
            if (value == item.end() || !value->is_string()) {
                return false;
            }
            *field = value->get<std::string>();
        }
        entry.requests.push_back(request);
    }
    return true;
}

std::string ReadText(const std::string& path) {
    std::string text;
    return ReadFileContents(path, text) == 0 ? text : std::string();
}

}  // namespace

Outbox::Outbox(std::string logFolder) : root_(logFolder + "\\" + kOutboxFolderName) {}

std::string Outbox::FlightFolder(const std::string& flight) const {
    return root_ + "\\" + flight;
}

std::vector<std::string> Outbox::Flights() const {
    return Names(root_, true);
}

bool Outbox::AskedForReport(const std::string& flight) const {
    // The request is the flight's first entry, and goes only once the report has its id.
    return !Entries(flight).empty() || !PirepId(flight).empty() || !Filed(flight).empty() ||
           !Refusal(flight).empty();
}

std::vector<std::string> Outbox::Entries(const std::string& flight) const {
    std::vector<std::string> entries = Names(FlightFolder(flight), false);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const std::string& name) { return !IsEntryName(name); }),
                  entries.end());
    return entries;
}

int Outbox::Queue(const std::string& flight, const OutboxEntry& entry) {
    std::lock_guard<std::mutex> lock(numbering_);
    if (!Filed(flight).empty()) {
        return 0;  // the airline has the whole flight already
    }
    for (const std::string& folder : {root_, FlightFolder(flight)}) {
        if (const int error = CreateFolder(folder); error != 0) {
            return error;
        }
    }
    // After the last entry still there, or after the progress when every entry has gone:
    // numbers only grow, so the order of the entries is the order they were queued in. The
    // folder is looked at once a run; then the number is counted on here.
    long long& next = nextEntry_[flight];
    if (next == 0) {
        next = 1;
        const std::vector<std::string> entries = Entries(flight);
        if (!entries.empty()) {
            next = std::stoll(entries.back().substr(0, kEntryDigits)) + 1;
        }
        const std::string sent = ReadText(FlightFolder(flight) + "\\" + kProgressFile);
        const Json progress = Json::parse(sent, nullptr, false);
        if (progress.is_object() && progress.contains("last_entry") &&
            progress["last_entry"].is_number_integer()) {
            next = std::max(next, progress["last_entry"].get<long long>() + 1);
        }
    }
    char name[32];
    std::snprintf(name, sizeof name, "%08lld%s", next, kEntryExtension);
    const int error = ReplaceFileContents(FlightFolder(flight) + "\\" + name, EntryText(entry));
    if (error == 0) {
        ++next;
    }
    return error;
}

bool Outbox::Read(const std::string& flight, const std::string& name, OutboxEntry& entry) const {
    std::string text;
    return ReadFileContents(FlightFolder(flight) + "\\" + name, text) == 0 &&
           EntryFromText(text, entry);
}

int Outbox::Rewrite(const std::string& flight, const std::string& name, const OutboxEntry& entry) {
    return ReplaceFileContents(FlightFolder(flight) + "\\" + name, EntryText(entry));
}

int Outbox::Remove(const std::string& flight, const std::string& name, const OutboxEntry& entry) {
    // The progress first: a crash between the two leaves the entry to be sent again, which
    // the server takes as the same rows and events (they carry their ids), never a gap.
    Json progress = {{"last_entry", std::stoll(name.substr(0, kEntryDigits))}};
    WriteCounts(entry, progress);
    if (const int error =
            ReplaceFileContents(FlightFolder(flight) + "\\" + kProgressFile, progress.dump());
        error != 0) {
        return error;
    }
    std::error_code error;
    fs::remove(fs::path(NativePath(FlightFolder(flight) + "\\" + name)), error);
    return error.value();
}

OutboxEntry Outbox::Progress(const std::string& flight) const {
    OutboxEntry progress;
    const Json json =
        Json::parse(ReadText(FlightFolder(flight) + "\\" + kProgressFile), nullptr, false);
    if (json.is_object()) {
        ReadCounts(json, progress);
    }
    return progress;
}

OutboxEntry Outbox::Queued(const std::string& flight) const {
    OutboxEntry queued = Progress(flight);
    for (const std::string& name : Entries(flight)) {
        OutboxEntry entry;
        if (Read(flight, name, entry)) {
            for (const auto& [key, count] : kCounts) {
                queued.*count = std::max(queued.*count, entry.*count);
            }
        }
    }
    return queued;
}

std::string Outbox::PirepId(const std::string& flight) const {
    return ReadText(FlightFolder(flight) + "\\" + kPirepFile);
}

int Outbox::SetPirepId(const std::string& flight, const std::string& id) {
    return ReplaceFileContents(FlightFolder(flight) + "\\" + kPirepFile, id);
}

bool Outbox::HasMark(const std::string& flight, const std::string& mark) const {
    return FileExists(FlightFolder(flight) + "\\" + mark + ".mark");
}

int Outbox::SetMark(const std::string& flight, const std::string& mark) {
    return ReplaceFileContents(FlightFolder(flight) + "\\" + mark + ".mark", std::string());
}

std::string Outbox::Refusal(const std::string& flight) const {
    return ReadText(FlightFolder(flight) + "\\" + kRefusalFile);
}

int Outbox::Refuse(const std::string& flight, const std::string& message) {
    return ReplaceFileContents(FlightFolder(flight) + "\\" + kRefusalFile,
                               message.empty() ? std::string("refused") : message);
}

void Outbox::SetFiled(const std::string& flight, const std::string& pirepId) {
    // Not while the flight's thread is adding an entry: none may come in after the clearing.
    std::lock_guard<std::mutex> lock(numbering_);
    // The mark first: a crash while the rest goes leaves a filed flight with leftovers that
    // are never sent, not a flight whose filing could be sent again.
    if (ReplaceFileContents(FlightFolder(flight) + "\\" + kFiledFile, pirepId) != 0) {
        return;
    }
    std::error_code error;
    fs::directory_iterator files(fs::path(NativePath(FlightFolder(flight))), error);
    for (; !error && files != fs::directory_iterator(); files.increment(error)) {
        std::error_code ignored;
        if (files->path().filename() != kFiledFile && files->path().filename() != kLogbookRowFile) {
            fs::remove(files->path(), ignored);
        }
    }
}

int Outbox::SetLogbookRow(const std::string& flight, const std::string& csvPath,
                          const std::string& entryName) {
    // A flight that arrived before its bids were read has queued nothing yet.
    for (const std::string& folder : {root_, FlightFolder(flight)}) {
        if (const int error = CreateFolder(folder); error != 0) {
            return error;
        }
    }
    return ReplaceFileContents(FlightFolder(flight) + "\\" + kLogbookRowFile,
                               csvPath + "\n" + entryName);
}

bool Outbox::LogbookRow(const std::string& flight, std::string& csvPath,
                        std::string& entryName) const {
    const std::string text = ReadText(FlightFolder(flight) + "\\" + kLogbookRowFile);
    const std::size_t line = text.find('\n');
    if (line == std::string::npos || line == 0 || line + 1 == text.size()) {
        return false;
    }
    csvPath = text.substr(0, line);
    entryName = text.substr(line + 1);
    return true;
}

std::string Outbox::Filed(const std::string& flight) const {
    return ReadText(FlightFolder(flight) + "\\" + kFiledFile);
}

}  // namespace aerolinker
