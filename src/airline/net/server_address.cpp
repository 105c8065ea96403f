// Checks the airline server's address the pilot typed and puts it in the one form the program
// appends its routes to. The key travels in a header, so an address that would carry secrets
// or anything beyond scheme, host, port and path is refused rather than repaired.
#include "airline/net/server_address.h"

#include <cstddef>
#include <string>

namespace aerolinker {
namespace {

constexpr char kSecureScheme[] = "https";
constexpr char kPlainScheme[] = "http";
constexpr char kSchemeEnd[] = "://";
constexpr char kLoopbackName[] = "localhost";
constexpr char kLoopbackV6[] = "[::1]";
constexpr int kLoopbackFirstOctet = 127;
constexpr long kHighestPort = 65535;
// More digits than any port has: a longer run is refused before it can overflow.
constexpr std::size_t kMostPortDigits = 5;

constexpr char kEmpty[] =
    "Enter the airline server's address, for example https://crew.example.com.";
constexpr char kWrongScheme[] =
    "The airline server's address must start with https:// (plain http:// only for this "
    "computer's own address, 127.0.0.1).";
constexpr char kBlanksInside[] =
    "The airline server's address must not contain spaces or control characters.";
constexpr char kNoHost[] = "The airline server's address has no server name after the ://.";
constexpr char kBadHost[] =
    "The server name in the airline server's address may hold only letters a to z, digits, "
    "'-' and '.' (or an IPv6 address in brackets).";
constexpr char kBadPort[] =
    "The port in the airline server's address must be a number from 1 to 65535.";
constexpr char kCredentials[] =
    "The airline server's address must not contain a name or password (user:password@): the "
    "key is entered in its own field and never travels in the address.";
constexpr char kQueryOrFragment[] =
    "The airline server's address must end with its path: nothing after a '?' or '#'.";
constexpr char kBadPath[] =
    "The path in the airline server's address holds a character a web address cannot carry; "
    "copy the address from the airline's site.";

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string text) {
    for (char& c : text) {
        c = Lower(c);
    }
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Control characters, DEL and spaces: invisible when typed or pasted, never meant.
bool IsSpaceOrControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7f;
}

// A path character as RFC 3986 allows it unencoded (unreserved, sub-delims, ':', '@', '/'),
// '%' checked apart. Anything else, non-ASCII included, would be sent differently by the two
// platforms' HTTP libraries, so it is refused here instead.
bool IsPathChar(char c) {
    static constexpr char kAllowedMarks[] = "-._~!$&'()*+,;=:@/";
    if (IsAsciiLetter(c) || IsDigit(c)) {
        return true;
    }
    for (const char* mark = kAllowedMarks; *mark != '\0'; ++mark) {
        if (c == *mark) {
            return true;
        }
    }
    return false;
}

// A host name of dot-separated labels of letters, digits and '-' (no empty label, none
// starting or ending with '-'), or a bracketed IPv6 address.
bool IsValidHost(const std::string& host) {
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') {
            return false;
        }
        for (std::size_t i = 1; i + 1 < host.size(); ++i) {
            if (!IsHexDigit(host[i]) && host[i] != ':' && host[i] != '.') {
                return false;
            }
        }
        return true;
    }
    std::size_t labelStart = 0;
    for (std::size_t i = 0; i <= host.size(); ++i) {
        if (i == host.size() || host[i] == '.') {
            if (i == labelStart || host[labelStart] == '-' || host[i - 1] == '-') {
                return false;
            }
            labelStart = i + 1;
        } else if (!IsAsciiLetter(host[i]) && !IsDigit(host[i]) && host[i] != '-') {
            return false;
        }
    }
    return true;
}

// 127.0.0.0/8 written as a dotted quad; other spellings ("127.1", octal) are not taken as
// this computer's own address.
bool IsLoopbackV4(const std::string& host) {
    int octets[4] = {};
    std::size_t pos = 0;
    for (int index = 0; index < 4; ++index) {
        if (index > 0) {
            if (pos >= host.size() || host[pos] != '.') {
                return false;
            }
            ++pos;
        }
        const std::size_t start = pos;
        int value = 0;
        while (pos < host.size() && IsDigit(host[pos]) && pos - start < 3) {
            value = value * 10 + (host[pos] - '0');
            ++pos;
        }
        if (pos == start || value > 255 || (pos - start > 1 && host[start] == '0')) {
            return false;
        }
        octets[index] = value;
    }
    return pos == host.size() && octets[0] == kLoopbackFirstOctet;
}

bool IsLoopbackHost(const std::string& host) {
    return host == kLoopbackName || host == kLoopbackV6 || IsLoopbackV4(host);
}

// "1" to "65535", leading zeros dropped; empty when the text is no such number.
std::string CanonicalPort(const std::string& text) {
    if (text.empty() || text.size() > kMostPortDigits) {
        return {};
    }
    long value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return {};
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > kHighestPort) {
        return {};
    }
    return std::to_string(value);
}

bool IsValidPath(const std::string& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%') {
            if (i + 2 >= path.size() || !IsHexDigit(path[i + 1]) || !IsHexDigit(path[i + 2])) {
                return false;
            }
            i += 2;
        } else if (!IsPathChar(path[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string CheckServerAddress(const std::string& text, std::string& base) {
    std::size_t first = 0;
    std::size_t end = text.size();
    while (first < end && IsBlank(text[first])) {
        ++first;
    }
    while (end > first && IsBlank(text[end - 1])) {
        --end;
    }
    const std::string address = text.substr(first, end - first);
    if (address.empty()) {
        return kEmpty;
    }
    for (char c : address) {
        if (IsSpaceOrControl(c)) {
            return kBlanksInside;
        }
    }

    const std::size_t schemeEnd = address.find(kSchemeEnd);
    if (schemeEnd == std::string::npos) {
        return kWrongScheme;
    }
    const std::string scheme = Lowered(address.substr(0, schemeEnd));
    if (scheme != kSecureScheme && scheme != kPlainScheme) {
        return kWrongScheme;
    }

    // The authority runs to the first '/', '?' or '#'; a '@' anywhere in it means the
    // pilot's name or password would be sent in the address.
    const std::size_t authorityStart = schemeEnd + sizeof(kSchemeEnd) - 1;
    const std::size_t authorityEnd = address.find_first_of("/?#", authorityStart);
    const std::string authority = address.substr(
        authorityStart,
        authorityEnd == std::string::npos ? std::string::npos : authorityEnd - authorityStart);
    if (authority.find('@') != std::string::npos) {
        return kCredentials;
    }
    if (authorityEnd != std::string::npos &&
        address.find_first_of("?#", authorityEnd) != std::string::npos) {
        return kQueryOrFragment;
    }

    // The port follows the last ':' outside an IPv6 address's brackets.
    std::string host = authority;
    std::string port;
    const std::size_t closingBracket = authority.rfind(']');
    const std::size_t colon = authority.rfind(':');
    const bool hasPort = colon != std::string::npos &&
                         (closingBracket == std::string::npos || colon > closingBracket);
    if (hasPort) {
        host = authority.substr(0, colon);
        port = CanonicalPort(authority.substr(colon + 1));
        if (port.empty()) {
            return kBadPort;
        }
    }
    if (host.empty()) {
        return kNoHost;
    }
    host = Lowered(host);
    if (!IsValidHost(host)) {
        return kBadHost;
    }
    if (scheme == kPlainScheme && !IsLoopbackHost(host)) {
        return kWrongScheme;
    }

    std::string path = authorityEnd == std::string::npos ? "" : address.substr(authorityEnd);
    while (!path.empty() && path.back() == '/') {
        path.pop_back();
    }
    if (!IsValidPath(path)) {
        return kBadPath;
    }

    base = scheme + kSchemeEnd + host + (hasPort ? ":" + port : "") + path;
    return {};
}

}  // namespace aerolinker
