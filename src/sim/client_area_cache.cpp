// Keeping the clients' views between messages.
#include "sim/client_area_cache.h"

#include <algorithm>
#include <cstring>

namespace aerolinker {

ClientAreaCache::ClientAreaCache(AreaMapper& mapper, std::size_t capacity)
    : mapper_(mapper), capacity_(std::max<std::size_t>(capacity, 1)) {}

ClientAreaCache::~ClientAreaCache() {
    for (const Entry& entry : entries_) {
        mapper_.Unmap(entry.area);
    }
}

std::uintptr_t ClientAreaCache::Serve(SimServer& server, std::uintptr_t atom) {
    Entry* entry = Find(atom);
    if (entry == nullptr || !ClientWroteSince(*entry)) {
        entry = MapAnew(atom);
        if (entry == nullptr) {
            return SimServer::kRefused;
        }
    }
    entry->lastUse = ++uses_;
    const std::uintptr_t answer = server.Serve(entry->area.data, entry->area.size);
    const std::size_t length = std::min(server.lastBatchLength(), entry->area.size);
    entry->answered.assign(entry->area.data, entry->area.data + length);
    return answer;
}

bool ClientAreaCache::ClientWroteSince(const Entry& entry) {
    return !entry.answered.empty() &&
           std::memcmp(entry.area.data, entry.answered.data(), entry.answered.size()) != 0;
}

ClientAreaCache::Entry* ClientAreaCache::Find(std::uintptr_t atom) {
    for (Entry& entry : entries_) {
        if (entry.atom == atom) {
            return &entry;
        }
    }
    return nullptr;
}

ClientAreaCache::Entry* ClientAreaCache::MapAnew(std::uintptr_t atom) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].atom == atom) {
            Drop(i);
            break;
        }
    }
    const MappedArea area = mapper_.Map(atom);
    if (area.data == nullptr) {
        return nullptr;
    }
    if (entries_.size() >= capacity_) {
        const auto oldest =
            std::min_element(entries_.begin(), entries_.end(),
                             [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        Drop(static_cast<std::size_t>(oldest - entries_.begin()));
    }
    Entry entry;
    entry.atom = atom;
    entry.area = area;
    entries_.push_back(std::move(entry));
    return &entries_.back();
}

void ClientAreaCache::Drop(std::size_t index) {
    mapper_.Unmap(entries_[index].area);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace aerolinker
