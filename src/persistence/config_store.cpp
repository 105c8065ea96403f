// Typed reads and writes of the configuration store, all through its text operations.
#include "persistence/config_store.h"

#include <limits>

#include "regional/time_date_text.h"

namespace aerolinker {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::int32_t ParseIniInteger(const std::string& text, std::int32_t defaultValue) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint64_t value = 0;
        for (size_t i = 2; i < text.size(); ++i) {
            int digit = HexDigit(text[i]);
            if (digit < 0) {
                return defaultValue;
            }
            value = value * 16 + static_cast<std::uint64_t>(digit);
            if (value > std::numeric_limits<std::uint32_t>::max()) {
                return defaultValue;
            }
        }
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size()) {
        return defaultValue;
    }
    // Counted in the negative range, which holds one value more than the positive one.
    const std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return defaultValue;
        }
        value = value * 10 - (text[i] - '0');
        if (value < lowest) {
            return defaultValue;
        }
    }
    if (!negative) {
        if (-value > std::numeric_limits<std::int32_t>::max()) {
            return defaultValue;
        }
        return static_cast<std::int32_t>(-value);
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t ConfigStore::ReadInteger(const std::string& section, const std::string& key,
                                      std::int32_t defaultValue) {
    return ParseIniInteger(ReadText(section, key, std::string()), defaultValue);
}

double ConfigStore::ReadTime(const std::string& section, const std::string& key,
                             double defaultTime) {
    std::string text = ReadText(section, key, LongTimeText(defaultTime, regional_));
    return ParseLongTimeText(text, regional_);
}

void ConfigStore::WriteInteger(const std::string& section, const std::string& key,
                               std::int32_t value) {
    WriteText(section, key, std::to_string(value));
}

void ConfigStore::WriteDate(const std::string& section, const std::string& key,
                            const LocalDateTime& date) {
    WriteText(section, key, ShortDateText(date.year, date.month, date.day, regional_));
}

void ConfigStore::WriteTime(const std::string& section, const std::string& key, double timeOfDay) {
    WriteText(section, key, LongTimeText(timeOfDay, regional_));
}

void ConfigStore::WriteTexts(const std::string& section, const Entries& entries) {
    for (const auto& [key, value] : entries) {
        WriteText(section, key, value);
    }
}

}  // namespace aerolinker
