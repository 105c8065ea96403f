// Weather texts: visibility capped at "> 50", whole QNH and wind direction rounded half to
// even, temperature cut toward zero.
#include "navlog/weather_text.h"

#include "common/units.h"
#include "link/fsuipc_offsets.h"
#include "navlog/text_format.h"

namespace aerolinker {

std::string CloudText(std::uint16_t code) {
    using offsets::kCloudCoverEighth;
    switch (code) {
        case 0:
            return "Haze";
        case kCloudCoverEighth:
            return "Few 1/8";
        case 2 * kCloudCoverEighth:
            return "Few 2/8";
        case 3 * kCloudCoverEighth:
            return "Sct 3/8";
        case 4 * kCloudCoverEighth:
            return "Sct 4/8";
        case 5 * kCloudCoverEighth:
            return "Brk 5/8";
        case 6 * kCloudCoverEighth:
            return "Brk 6/8";
        case 7 * kCloudCoverEighth:
            return "Brk 7/8";
        case offsets::kCloudCoverOvercast:
            return "Overcas";
        default:
            return "N/A";
    }
}

WeatherTexts MakeWeatherTexts(const RawWeather& raw, const RegionalSettings& regional) {
    WeatherTexts texts;
    texts.clouds = CloudText(raw.cloudCover);
    const double visibility = static_cast<double>(raw.visibility) / offsets::kVisibilityPerMile;
    texts.visibility = visibility > 50 ? "> 50" : NumberText(visibility, regional);
    texts.qnh = NumberText(
        RoundHalfEven(static_cast<double>(raw.qnh) / offsets::kQnhPerHectopascal), regional);
    texts.windDirection =
        NumberText(RoundHalfEven(static_cast<double>(raw.windDirection) * units::kDegreesPerTurn /
                                 offsets::kWindDirectionPerTurn),
                   regional);
    texts.windSpeed = NumberText(raw.windSpeed, regional);
    texts.temperature = NumberText(raw.temperature / offsets::kTemperaturePerDegree, regional);
    return texts;
}

}  // namespace aerolinker
