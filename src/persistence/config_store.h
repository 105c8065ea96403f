// The configuration store: named texts in sections, read with a default and written through
// at once. The typed reads and writes (integers, times, dates) are built on the two text
// operations, so every store converts exactly alike.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/local_clock.h"
#include "common/regional_settings.h"

namespace aerolinker {

class ConfigStore {
public:
    explicit ConfigStore(const RegionalSettings& regional) : regional_(regional) {}
    virtual ~ConfigStore() = default;

    // The stored text, or `defaultText` when the section or key is missing. A key present
    // with an empty value gives the empty text.
    virtual std::string ReadText(const std::string& section, const std::string& key,
                                 const std::string& defaultText) = 0;
    // Stores the text at once. Throws AppError "Unable to write to %s" when refused.
    virtual void WriteText(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
    // Stores several keys of one section together: a store that can, replaces its file once
    // for all of them, so that they are either all written or none. By default one by one.
    using Entries = std::vector<std::pair<std::string, std::string>>;
    virtual void WriteTexts(const std::string& section, const Entries& entries);

    // Decimal with optional sign, or hexadecimal after "0x"; anything else (and a missing
    // key) gives the default.
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t defaultValue);
    // A time of day in the long time format. The default goes through the same text, so a
    // missing key gives it back to the second. Throws "'%s' is not a valid time".
    double ReadTime(const std::string& section, const std::string& key, double defaultTime);

    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    // The date part of `date` in the short date format.
    void WriteDate(const std::string& section, const std::string& key, const LocalDateTime& date);
    // A time of day (fraction of a day) in the long time format.
    void WriteTime(const std::string& section, const std::string& key, double timeOfDay);

    const RegionalSettings& Regional() const { return regional_; }

private:
    RegionalSettings regional_;
};

// The integer rule of ReadInteger: decimal with an optional sign, or when the text is longer
// than two characters and starts with "0x" or "0X", hexadecimal of at most 32 bits (read as a
// 32-bit pattern, so 0xFFFFFFFF is -1). Blanks, trailing letters, an overflow or an empty text
// give `defaultValue`.
std::int32_t ParseIniInteger(const std::string& text, std::int32_t defaultValue);

}  // namespace aerolinker
