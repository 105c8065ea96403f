// Performing request areas: the record walk, the writes the simulator acts on, and the
// flight saves and loads.
#include "sim/sim_server.h"

#include <cstdio>
#include <utility>

#include "common/app_error.h"
#include "common/file_io.h"
#include "common/little_endian.h"
#include "link/fsuipc_link.h"
#include "link/fsuipc_offsets.h"
#include "sim/flight_files.h"

namespace aerolinker {

namespace {

// A write shown in the transcript lists at most this many of its bytes.
constexpr std::uint32_t kShownBytes = 32;

bool Overlaps(std::uint32_t offset, std::uint32_t size, std::uint32_t fieldOffset,
              std::uint32_t fieldSize) {
    return size != 0 && offset < fieldOffset + fieldSize && fieldOffset < offset + size;
}

bool Inside(std::uint32_t offset, std::uint32_t size, std::uint32_t fieldOffset,
            std::uint32_t fieldSize) {
    return offset >= fieldOffset && offset + size <= fieldOffset + fieldSize;
}

std::string HexBytes(const std::uint8_t* data, std::uint32_t size) {
    std::string text = std::to_string(size) + (size == 1 ? " byte" : " bytes");
    for (std::uint32_t i = 0; i < size && i < kShownBytes; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", data[i]);
        text += hex;
    }
    if (size > kShownBytes) {
        text += " ...";
    }
    return text;
}

}  // namespace

SimServer::SimServer(std::shared_ptr<const Scenario> scenario, Options options)
    : scenario_(std::move(scenario)), options_(std::move(options)), player_(scenario_) {
    player_.Reset(space_);
    WriteVersions();
    records_.reserve(64);
}

void SimServer::WriteVersions() {
    space_.SetU32(offsets::kServerVersion, scenario_->serverVersion);
    space_.SetU32(offsets::kSimulatorVersion,
                  protocol::kSimulatorSignature | scenario_->simulatorCode);
}

TranscriptEntry SimServer::Entry(TranscriptKind kind, std::uint32_t offset) const {
    TranscriptEntry entry;
    entry.kind = kind;
    entry.tick = player_.position();
    entry.offset = offset;
    return entry;
}

// The area belongs to another process and may hold anything, so every header and size is
// checked against the area and the offset space before a single request is performed: a
// batch is done whole or not at all.
bool SimServer::Validate(const std::uint8_t* area, std::size_t areaSize, std::string& reason) {
    records_.clear();
    lastBatchLength_ = areaSize;
    std::size_t position = 0;
    for (;;) {
        if (areaSize < protocol::kTerminatorSize ||
            position > areaSize - protocol::kTerminatorSize) {
            reason = "no terminator before the end of the area";
            return false;
        }
        const auto type = le::Load<std::uint32_t>(area + position);
        if (type == 0) {
            lastBatchLength_ = position + protocol::kTerminatorSize;
            return true;
        }
        std::uint32_t header = 0;
        if (type == protocol::kReadType) {
            header = protocol::kReadHeaderSize;
        } else if (type == protocol::kWriteType) {
            header = protocol::kWriteHeaderSize;
        } else {
            reason = "unknown record type " + std::to_string(type) + " at byte " +
                     std::to_string(position);
            return false;
        }
        if (header > areaSize - position) {
            reason = "a record header runs past the area at byte " + std::to_string(position);
            return false;
        }
        Record record;
        record.type = type;
        record.offset = le::Load<std::uint32_t>(area + position + 4);
        record.size = le::Load<std::uint32_t>(area + position + 8);
        record.data = position + header;
        if (record.size > areaSize - record.data) {
            reason =
                "the data of the record at byte " + std::to_string(position) + " run past the area";
            return false;
        }
        if (!OffsetSpace::Contains(record.offset, record.size)) {
            reason = "the record at byte " + std::to_string(position) + " leaves the offset space";
            return false;
        }
        records_.push_back(record);
        position = record.data + record.size;
    }
}

// A hang starts when the next tick would start a frame that has one, and lasts for that frame's
// count of requests; a flight loaded back to the same place hangs again.
bool SimServer::Hanging() {
    const ScenarioFrame* next = player_.FrameStartingNext();
    if (next == nullptr || next->hangRequests == 0) {
        return false;
    }
    if (hangPosition_ != player_.position()) {
        hangPosition_ = player_.position();
        hangLeft_ = next->hangRequests;
        TranscriptEntry entry = Entry(TranscriptKind::Hang, 0);
        entry.value = hangLeft_;
        transcript_.Add(std::move(entry));
    }
    if (hangLeft_ == 0) {
        return false;
    }
    --hangLeft_;
    return true;
}

// A faster sample stops short of a frame that hangs: the hang belongs to the requests that
// come before that frame's first tick, at every speed.
void SimServer::PlaySample() {
    player_.Advance(space_);
    for (std::uint32_t played = 1; played < options_.ticksPerSample && !player_.holding();
         ++played) {
        const ScenarioFrame* next = player_.FrameStartingNext();
        if (next != nullptr && next->hangRequests != 0) {
            return;
        }
        player_.Advance(space_);
    }
}

std::uintptr_t SimServer::Serve(std::uint8_t* area, std::size_t areaSize) {
    if (Hanging()) {
        lastBatchLength_ = areaSize;
        return kNoAnswer;
    }
    std::string reason;
    if (!Validate(area, areaSize, reason)) {
        TranscriptEntry entry = Entry(TranscriptKind::RefusedBatch, 0);
        entry.done = false;
        entry.detail = reason;
        transcript_.Add(std::move(entry));
        return kRefused;
    }
    if (!records_.empty() && records_[0].type == protocol::kReadType &&
        records_[0].offset == offsets::kClockHour) {
        PlaySample();
    } else if (!records_.empty() && records_[0].type == protocol::kReadType &&
               records_[0].offset == offsets::kLandingLookFirst) {
        player_.Look(space_);
    }
    flightControlWritten_ = false;
    for (const Record& record : records_) {
        if (record.type == protocol::kReadType) {
            space_.Read(record.offset, area + record.data, record.size);
        } else {
            PerformWrite(record.offset, area + record.data, record.size);
        }
    }
    // A save names the flight after its control byte in the same batch, a load names it in
    // the batch before: acting once the whole batch is in takes the latest name either way.
    if (flightControlWritten_) {
        ActOnFlightControl();
    }
    return kServed;
}

void SimServer::PerformWrite(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size) {
    // The version words are FSUIPC's answer, not values the client can change: the handshake
    // writes its library version at 0x330A, inside the simulator version's 4 bytes, and a
    // reconnect must still read 0xFADE there.
    for (std::uint32_t i = 0; i < size; ++i) {
        const std::uint32_t at = offset + i;
        if (at < offsets::kServerVersion || at >= offsets::kVersionWordsEnd) {
            space_.Write(at, data + i, 1);
        }
    }

    bool recorded = false;
    if (Overlaps(offset, size, offsets::kMessageTime, offsets::kMessageTimeSize)) {
        TranscriptEntry entry = Entry(TranscriptKind::Message, offsets::kMessageTime);
        entry.value = space_.U16(offsets::kMessageTime);
        entry.text = space_.Text(offsets::kMessageText, offsets::kMessageTextSize);
        transcript_.Add(std::move(entry));
        recorded = true;
    }
    for (const std::uint32_t field : {offsets::kConnectValueA, offsets::kConnectValueB}) {
        if (Overlaps(offset, size, field, offsets::kConnectValueSize)) {
            TranscriptEntry entry = Entry(TranscriptKind::ConnectValue, field);
            entry.value = space_.U32(field);
            transcript_.Add(std::move(entry));
            recorded = true;
        }
    }
    if (Overlaps(offset, size, offsets::kLibraryVersion, offsets::kLibraryVersionSize)) {
        TranscriptEntry entry = Entry(TranscriptKind::LibraryVersion, offsets::kLibraryVersion);
        for (std::uint32_t i = 0; i < offsets::kLibraryVersionSize; ++i) {
            const std::uint32_t at = offsets::kLibraryVersion + i;
            if (at >= offset && at < offset + size) {
                entry.value |= static_cast<std::uint32_t>(data[at - offset]) << (8 * i);
            }
        }
        transcript_.Add(std::move(entry));
        recorded = true;
    }
    if (Overlaps(offset, size, offsets::kFlightFileControl, offsets::kFlightFileControlSize)) {
        flightControlWritten_ = true;
        recorded = true;
    }
    // The message text and the flight name only prepare the write that uses them, and are
    // recorded with it.
    const bool preparesText =
        Inside(offset, size, offsets::kMessageText, offsets::kMessageTextSize) ||
        Inside(offset, size, offsets::kFlightFileName, offsets::kFlightFileNameSize);
    if (!recorded && !preparesText) {
        TranscriptEntry entry = Entry(TranscriptKind::Write, offset);
        entry.detail = HexBytes(data, size);
        if (Overlaps(offset, size, offsets::kServerVersion,
                     offsets::kVersionWordsEnd - offsets::kServerVersion)) {
            entry.detail += " (versions are read-only)";
        }
        transcript_.Add(std::move(entry));
    }
}

void SimServer::ActOnFlightControl() {
    const std::uint8_t control = space_.U8(offsets::kFlightFileControl);
    TranscriptEntry entry = Entry(TranscriptKind::FlightControl, offsets::kFlightFileControl);
    entry.value = control;
    entry.text = space_.Text(offsets::kFlightFileName, offsets::kFlightFileNameSize);
    if (control == offsets::kFlightFileSave) {
        entry.kind = TranscriptKind::FlightSave;
        SaveFlight(entry.text, entry);
    } else if (control == offsets::kFlightFileLoad) {
        entry.kind = TranscriptKind::FlightLoad;
        LoadFlight(entry.text, entry);
    } else {
        entry.done = false;
    }
    transcript_.Add(std::move(entry));
}

void SimServer::SaveFlight(const std::string& name, TranscriptEntry& entry) {
    const std::string problem = FlightNameProblem(name);
    if (!problem.empty()) {
        entry.done = false;
        entry.detail = problem;
        return;
    }
    const std::string file = FlightFileName(name);
    const std::string path = options_.flightsFolder + "\\" + file;
    const int error =
        ReplaceFileContents(path, FlightFileText(scenario_->name, player_.position()));
    if (error != 0) {
        entry.done = false;
        entry.detail = "cannot write " + path + ": " + SystemErrorText(error);
        return;
    }
    entry.detail = file + ", tick " + std::to_string(player_.position());
}

void SimServer::LoadFlight(const std::string& name, TranscriptEntry& entry) {
    entry.done = false;
    const std::string problem = FlightNameProblem(name);
    if (!problem.empty()) {
        entry.detail = problem;
        return;
    }
    const std::string file = FlightFileName(name);
    const std::string path = options_.flightsFolder + "\\" + file;
    if (!FileExists(path)) {
        entry.detail = "no flight " + file + " in " + options_.flightsFolder;
        return;
    }
    std::string text;
    const int error = ReadFileContents(path, text);
    if (error != 0) {
        entry.detail = "cannot read " + path + ": " + SystemErrorText(error);
        return;
    }
    std::uint64_t position = 0;
    std::string reason;
    if (!ReadFlightFileText(text, scenario_->name, position, reason)) {
        entry.detail = file + ": " + reason;
        return;
    }
    player_.Rewind(space_, position);
    hangPosition_ = ~std::uint64_t{0};
    WriteVersions();
    entry.done = true;
    entry.detail = file + ", tick " + std::to_string(player_.position());
}

}  // namespace aerolinker
