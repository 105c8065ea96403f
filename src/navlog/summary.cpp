// The closing summary. Rounding to whole numbers takes halves to the even neighbour; the
// digit patterns take them away from zero.
#include "navlog/summary.h"

#include <cmath>

#include "common/units.h"
#include "navlog/log_header.h"
#include "navlog/text_format.h"

namespace aerolinker {
namespace {

constexpr int kReserveMinutes = 45;
constexpr int kTaxiGallons = 12;
constexpr int kTaxiLitres = 45;  // printed as it stands, not computed from the gallons

const char* const kWeatherHeader =
    "RWY | Trans Lev | Time  | Wind | Visibility | Clouds | Temp | QNH |";

// The time from take-off to landing as a fraction of a day, a day added across midnight.
double FlightDuration(double takeOffTime, double landingTime) {
    double duration = landingTime - takeOffTime;
    return duration < 0 ? duration + 1.0 : duration;
}

std::string WeatherRow(double time, const WeatherTexts& weather, const RegionalSettings& regional) {
    return "    |           |" + PadLeft(' ', HoursMinutesText(time, regional), 6) + " |" +
           PadLeft(' ', weather.windDirection + "/" + weather.windSpeed, 6) + "|" +
           weather.visibility + " mi     |" + PadLeft(' ', weather.clouds, 8) + "|" +
           PadLeft(' ', weather.temperature, 6) + "|" + weather.qnh + " |";
}

void WriteBlockTitle(LogDocument& document, const std::string& title) {
    document.Append(kSeparatorLine);
    document.Append(title);
    document.Append(kSeparatorLine);
}

}  // namespace

int FlightMinutes(double takeOffTime, double landingTime) {
    const long long ms =
        std::llround(FlightDuration(takeOffTime, landingTime) * units::kMillisecondsPerDay);
    return static_cast<int>(ms % units::kMillisecondsPerDay / units::kMillisecondsPerMinute);
}

void WriteTotalsAndWeather(LogDocument& document, const SummaryInputs& in,
                           const RegionalSettings& regional) {
    // The engine running time divided by the minutes of a day is below a minute; it only shows
    // when the engines ran across midnight while take-off and landing did not (one minute less).
    // A flight across midnight is counted with the day added, its engine time too.
    double engineTime = in.EngineStopTime - in.EngineStartTime;
    if (in.LandingTime < in.TakeOffTime && engineTime < 0) {
        engineTime += 1.0;
    }
    const double flightTime =
        FlightDuration(in.TakeOffTime, in.LandingTime) + engineTime / units::kMinutesPerDay;
    // The total distance is the plain double product, as the totals line always had it.
    document.Append(
        "TOTALS: DISTANCE = " +
        PatternNumberText("0000", units::PlainMetresToMiles(in.RouteDistanceMetres), regional) +
        " miles    Flight Time = " + HoursMinutesText(flightTime, regional));

    WriteBlockTitle(document, "TAKE-OFF DATA");
    document.Append(kWeatherHeader);
    document.Append(kSeparatorLine);
    document.Append(WeatherRow(in.TakeOffTime, in.Departure, regional));

    WriteBlockTitle(document, "LANDING DATA ");
    document.Append(kWeatherHeader);
    document.Append(kSeparatorLine);
    document.Append(WeatherRow(in.LandingTime, in.Arrival, regional));

    WriteBlockTitle(document, "FUEL CALCULATION AND FUEL REQUIRED ");
}

void WriteFuelAndRemarks(LogDocument& document, const SummaryInputs& in,
                         const RegionalSettings& regional) {
    auto number = [&](double value) { return NumberText(value, regional); };

    const double used = in.TakeOffFuel - in.ArrivalFuel;
    const int minutes = FlightMinutes(in.TakeOffTime, in.LandingTime);
    // Take-off and landing in the same minute give no rate to speak of: the rate, and with it
    // the trip and reserve figures, are then 0, leaving the fixed taxi allowance.
    const int rate = minutes > 0 ? RoundHalfEven(used * units::kMinutesPerHour / minutes) : 0;
    const int tripGallons =
        RoundHalfEven(rate * static_cast<double>(minutes) / units::kMinutesPerHour);
    const int tripLitres = RoundHalfEven(tripGallons * units::kLitresPerGallon);
    const int reserveGallons =
        RoundHalfEven(rate * static_cast<double>(kReserveMinutes) / units::kMinutesPerHour);
    const int reserveLitres = RoundHalfEven(reserveGallons * units::kLitresPerGallon);
    const int totalGallons = tripGallons + reserveGallons + kTaxiGallons;
    const int totalLitres = RoundHalfEven(totalGallons * units::kLitresPerGallon);

    document.Append("Fuel rate: " + number(rate) + " gal/h (Calculated by FS)");
    document.Append(" ");
    document.Append("Subtotal to first landing - Minutes/Gallons(Liters):" + number(minutes) + "/" +
                    number(tripGallons) + "(" + number(tripLitres) + ")");
    document.Append(
        "Reserve - Minutes/Gallons(Liters)                   :" + number(kReserveMinutes) + "/" +
        number(reserveGallons) + "(" + number(reserveLitres) + ")");
    document.Append("Taxy / Run-up - Gallons(Liters)                          :" +
                    number(kTaxiGallons) + "(" + number(kTaxiLitres) + ")");
    document.Append("TOTAL                                                    :" +
                    number(totalGallons) + "(" + number(totalLitres) + ")");
    document.Append("Fuel burned (by GPS): " + PatternNumberText("000", in.GpsFuel, regional));
    document.Append(kSeparatorLine);
    document.Append("Remarks: ");
    document.Append("Approach   Name:" + in.ApproachName);
    document.Append("Transition Name:" + in.ApproachTransition);
    document.Append(kSeparatorLine);
    document.Append("Prepared by: " + in.PilotNumber + " " + in.PilotId);
    document.Append(kSeparatorLine);
}

}  // namespace aerolinker
