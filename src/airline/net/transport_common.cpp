// The transports' shared texts for the pilot.
#include "airline/net/transport_common.h"

#include <string>

namespace aerolinker {

namespace {
constexpr int kMillisecondsPerSecond = 1000;
}  // namespace

std::string NoReplyWithin(int milliseconds) {
    if (milliseconds % kMillisecondsPerSecond == 0) {
        return "no reply within " + std::to_string(milliseconds / kMillisecondsPerSecond) + " s";
    }
    return "no reply within " + std::to_string(milliseconds) + " ms";
}

std::string ReplyLargerThan(std::size_t bytes) {
    return "the server's reply was larger than " + std::to_string(bytes) + " bytes";
}

}  // namespace aerolinker
