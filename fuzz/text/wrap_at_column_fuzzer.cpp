// The route word-wrap only ever inserts CR LF pairs, each right after a break character,
// and leaves a text that fits the limit alone.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "navlog/text_format.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& text, int limit) {
    std::fprintf(stderr, "%s (limit %d, %zu characters)\n", what, limit, text.size());
    std::abort();
}

bool IsBreakChar(char c) {
    return c == ' ' || c == '-' || c == '\t';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    // Limits from -8 to 119: around the route's 60 and the degenerate ones.
    const int limit = static_cast<int>(data[0] & 0x7F) - 8;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string wrapped = aerolinker::WrapAtColumn(text, limit);

    // The output must be the input with CR LF pairs inserted, each right behind a break
    // character. A CR or CR LF of the input next to an inserted pair makes the alignment
    // ambiguous, so every input position reachable at each output position is followed.
    std::vector<std::set<size_t>> reachable(wrapped.size() + 1);
    reachable[0].insert(0);
    for (size_t out = 0; out < wrapped.size(); ++out) {
        for (size_t in : reachable[out]) {
            if (in < text.size() && wrapped[out] == text[in]) {
                reachable[out + 1].insert(in + 1);
            }
            if (out > 0 && IsBreakChar(wrapped[out - 1]) && wrapped.compare(out, 2, "\r\n") == 0) {
                reachable[out + 2].insert(in);
            }
        }
    }
    if (reachable[wrapped.size()].count(text.size()) == 0) {
        Fail("output is not the input with line breaks behind break characters", text, limit);
    }
    if (static_cast<long long>(text.size()) <= limit && wrapped != text) {
        Fail("a text within the limit was changed", text, limit);
    }
    return 0;
}
