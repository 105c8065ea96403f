// Weather texts: visibility capped at "> 50", whole QNH and wind direction rounded half to
// even, temperature cut toward zero.
#include "navlog/weather_text.h"

#include "navlog/text_format.h"

namespace aerolinker {

std::string CloudText(std::uint16_t code) {
    switch (code) {
        case 0x0000:
            return "Haze";
        case 0x2000:
            return "Few 1/8";
        case 0x4000:
            return "Few 2/8";
        case 0x6000:
            return "Sct 3/8";
        case 0x8000:
            return "Sct 4/8";
        case 0xA000:
            return "Brk 5/8";
        case 0xC000:
            return "Brk 6/8";
        case 0xE000:
            return "Brk 7/8";
        case 0xFFFF:
            return "Overcas";
        default:
            return "N/A";
    }
}

WeatherTexts MakeWeatherTexts(const RawWeather& raw, const RegionalSettings& regional) {
    WeatherTexts texts;
    texts.clouds = CloudText(raw.cloudCover);
    const double visibility = raw.visibility / 100.0;
    texts.visibility = visibility > 50 ? "> 50" : NumberText(visibility, regional);
    texts.qnh = NumberText(RoundHalfEven(raw.qnh / 16.0), regional);
    texts.windDirection = NumberText(RoundHalfEven(raw.windDirection * 360.0 / 65536.0), regional);
    texts.windSpeed = NumberText(raw.windSpeed, regional);
    texts.temperature = NumberText(raw.temperature / 256, regional);
    return texts;
}

}  // namespace aerolinker
