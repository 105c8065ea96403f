// The configuration file's time reader: any text becomes a time of day in [0, 1) that
// writes and reads back unchanged, or is refused with the conversion error.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/app_error.h"
#include "fuzz_regional.h"
#include "regional/time_date_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace aerolinker;
    const RegionalSettings regional = FuzzRegionalSettings(data, size);
    const std::string text(reinterpret_cast<const char*>(data), size);
    double t = 0;
    try {
        t = ParseLongTimeText(text, regional);
    } catch (const AppError& error) {
        const std::string expected = "'" + text + "' is not a valid time";
        // Compared as C strings: the message of a text with a NUL in it ends there.
        if (std::strcmp(error.what(), expected.c_str()) != 0) {
            std::fprintf(stderr, "unexpected message: %s\n", error.what());
            std::abort();
        }
        return 0;
    }
    if (!(t >= 0.0 && t < 1.0)) {
        std::fprintf(stderr, "time of day %.17g out of range\n", t);
        std::abort();
    }
    if (ParseLongTimeText(LongTimeText(t, regional), regional) != t) {
        std::fprintf(stderr, "%s does not round-trip\n", LongTimeText(t, regional).c_str());
        std::abort();
    }
    return 0;
}
