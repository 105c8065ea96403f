// A configuration store in memory that records the order of its reads and writes, for the
// tests where that order is the behaviour.
#pragma once

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "persistence/config_store.h"

namespace aerolinker {

class RecordingStore : public ConfigStore {
public:
    RecordingStore() : ConfigStore(RegionalSettings{}) {}

    std::string ReadText(const std::string& section, const std::string& key,
                         const std::string& defaultText) override {
        reads.push_back(section + "/" + key);
        auto found = values.find(Folded(section, key));
        return found == values.end() ? defaultText : found->second;
    }
    void WriteText(const std::string& section, const std::string& key,
                   const std::string& value) override {
        if (writesBeforeRefusal >= 0 && static_cast<int>(writes.size()) >= writesBeforeRefusal) {
            throw std::runtime_error("refused");
        }
        writes.push_back(section + "/" + key + "=" + value);
        values[Folded(section, key)] = value;
    }

    static std::string Folded(const std::string& section, const std::string& key) {
        std::string folded = section + "/" + key;
        for (char& c : folded) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return folded;
    }

    std::vector<std::string> reads;
    std::vector<std::string> writes;
    std::map<std::string, std::string> values;  // by folded "section/key"
    int writesBeforeRefusal = -1;               // -1: every write succeeds
};

}  // namespace aerolinker
