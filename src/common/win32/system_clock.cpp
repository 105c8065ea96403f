// The local clock of Windows (GetLocalTime).
#include <windows.h>

#include "common/local_clock.h"

namespace aerolinker {

LocalDateTime SystemClock::Now() const {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return LocalDateTime{st.wYear,   st.wMonth,  st.wDay,         st.wHour,
                         st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace aerolinker
