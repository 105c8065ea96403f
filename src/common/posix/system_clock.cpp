// The local clock of a POSIX system.
#include <sys/time.h>
#include <ctime>

#include "common/local_clock.h"

namespace aerolinker {

LocalDateTime SystemClock::Now() const {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm local{};
    localtime_r(&tv.tv_sec, &local);
    return LocalDateTime{local.tm_year + 1900,
                         local.tm_mon + 1,
                         local.tm_mday,
                         local.tm_hour,
                         local.tm_min,
                         local.tm_sec,
                         static_cast<int>(tv.tv_usec / 1000)};
}

}  // namespace aerolinker
