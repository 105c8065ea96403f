// Any text given to the clock-text reader either becomes a time of day in [0, 1) or is
// refused with the program's conversion error; nothing else may come out of it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/app_error.h"
#include "fuzz_regional.h"
#include "navlog/clock_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace aerolinker;
    const RegionalSettings regional = FuzzRegionalSettings(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const double t = ParseClockText(text, regional);
        if (!(t >= 0.0 && t < 1.0)) {
            std::fprintf(stderr, "time of day %.17g out of range\n", t);
            std::abort();
        }
        // Whatever was read must read back the same from its own clock text.
        const std::string clock = ClockText(t, regional);
        const double again = ParseClockText(clock, regional);
        if (ClockText(again, regional) != clock) {
            std::fprintf(stderr, "clock text %s does not read back\n", clock.c_str());
            std::abort();
        }
    } catch (const AppError& error) {
        const std::string expected = "'" + text + "' is not a valid time";
        // Compared as C strings: the message of a text with a NUL in it ends there.
        if (std::strcmp(error.what(), expected.c_str()) != 0) {
            std::fprintf(stderr, "unexpected message: %s\n", error.what());
            std::abort();
        }
    }
    return 0;
}
