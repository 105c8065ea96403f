// Names and contents of the substitute simulator's saved flights.
#include "sim/flight_files.h"

#include <cctype>
#include <charconv>
#include <cstring>

#include "sim/transcript.h"

namespace aerolinker {

namespace {
constexpr const char* kExtension = ".flt";
constexpr std::size_t kExtensionLength = 4;
constexpr const char* kHeader = "# Substitute simulator flight";
constexpr const char* kScenarioKey = "scenario ";
constexpr const char* kPositionKey = "position ";
}  // namespace

std::string FlightNameProblem(const std::string& name) {
    if (name.empty()) {
        return "no flight name";
    }
    if (name[0] == '.') {
        return "the name starts with a dot";
    }
    for (const char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::strchr("\\/:*?\"<>|", c) != nullptr) {
            return "the name holds a character no file name may hold";
        }
    }
    return std::string();
}

std::string FlightFileName(const std::string& name) {
    if (name.size() > kExtensionLength) {
        std::string tail = name.substr(name.size() - kExtensionLength);
        for (char& c : tail) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (tail == kExtension) {
            return name;
        }
    }
    return name + kExtension;
}

std::string FlightFileText(const std::string& scenarioName, std::uint64_t position) {
    return std::string(kHeader) + "\n" + kScenarioKey + QuotedText(scenarioName) + "\n" +
           kPositionKey + std::to_string(position) + "\n";
}

bool ReadFlightFileText(const std::string& text, const std::string& scenarioName,
                        std::uint64_t& position, std::string& reason) {
    bool sameScenario = false;
    bool havePosition = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind(kScenarioKey, 0) == 0) {
            sameScenario = line.substr(std::strlen(kScenarioKey)) == QuotedText(scenarioName);
        } else if (line.rfind(kPositionKey, 0) == 0) {
            const char* first = line.data() + std::strlen(kPositionKey);
            const char* last = line.data() + line.size();
            const auto parsed = std::from_chars(first, last, position);
            havePosition = parsed.ec == std::errc() && parsed.ptr == last && first != last;
        }
    }
    if (!havePosition) {
        reason = "not a saved flight";
        return false;
    }
    if (!sameScenario) {
        reason = "saved from another scenario";
        return false;
    }
    return true;
}

}  // namespace aerolinker
