// Weather texts of the take-off and landing data rows, made the same way at both moments.
#pragma once

#include <cstdint>
#include <string>

#include "common/regional_settings.h"

namespace aerolinker {

// Cloud cover code (0x2000 per eighth) as text: "Haze", "Few 1/8" ... "Overcas", else "N/A".
std::string CloudText(std::uint16_t code);

struct WeatherTexts {
    std::string clouds;
    std::string visibility;
    std::string qnh;
    std::string windDirection;
    std::string windSpeed;
    std::string temperature;
};

// Raw values as the simulator gives them: visibility in hundredths of a mile, QNH in 1/16
// hPa, wind direction with 65536 = 360 degrees, wind speed in knots, temperature in degrees
// C x 256 (signed: below freezing is negative).
struct RawWeather {
    std::uint16_t cloudCover = 0;
    std::uint16_t visibility = 0;
    std::uint16_t qnh = 0;
    std::uint16_t windDirection = 0;
    std::uint16_t windSpeed = 0;
    std::int16_t temperature = 0;
};

WeatherTexts MakeWeatherTexts(const RawWeather& raw, const RegionalSettings& regional);

}  // namespace aerolinker
