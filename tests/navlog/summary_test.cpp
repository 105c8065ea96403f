// Weather texts and the closing summary, against the LIEO-LIRQ flight and the edge cases.
#include <gtest/gtest.h>

#include "navlog/log_document.h"
#include "navlog/summary.h"
#include "navlog/weather_text.h"

namespace aerolinker {
namespace {

double Clock(int hour, int minute) {
    return (hour * 60 + minute) / 1440.0;
}

TEST(WeatherTextTest, CloudsVisibilityAndRounding) {
    EXPECT_EQ(CloudText(0x0000), "Haze");
    EXPECT_EQ(CloudText(0x6000), "Sct 3/8");
    EXPECT_EQ(CloudText(0xFFFF), "Overcas");
    EXPECT_EQ(CloudText(0x1000), "N/A");
    EXPECT_EQ(CloudText(8000), "N/A");

    RegionalSettings dot;
    RawWeather raw;
    raw.visibility = 5000;
    raw.qnh = 16208;
    raw.windDirection = 65535;
    raw.windSpeed = 12;
    raw.temperature = 3968;
    WeatherTexts texts = MakeWeatherTexts(raw, dot);
    EXPECT_EQ(texts.visibility, "50");
    EXPECT_EQ(texts.qnh, "1013");
    EXPECT_EQ(texts.windDirection, "360");
    EXPECT_EQ(texts.windSpeed, "12");
    EXPECT_EQ(texts.temperature, "15");

    raw.visibility = 5001;
    raw.windDirection = 0x8000;
    EXPECT_EQ(MakeWeatherTexts(raw, dot).visibility, "> 50");
    EXPECT_EQ(MakeWeatherTexts(raw, dot).windDirection, "180");

    RegionalSettings comma;
    comma.decimalSeparator = ',';
    raw.visibility = 1250;
    EXPECT_EQ(MakeWeatherTexts(raw, comma).visibility, "12,5");
}

class SummaryTest : public testing::Test {
protected:
    SummaryTest() {
        in.RouteDistanceMetres = 250000;
        in.EngineStartTime = Clock(9, 52);
        in.TakeOffTime = Clock(10, 5);
        in.LandingTime = Clock(11, 30);
        in.EngineStopTime = Clock(11, 38);
        in.Departure = {"Sct 3/8", "> 50", "1013", "270", "12", "15"};
        in.Arrival = {"Few 1/8", "12.5", "1011", "320", "8", "18"};
        in.TakeOffFuel = 120;
        in.ArrivalFuel = 98;
        in.GpsFuel = 21.6;
        in.ApproachName = "ILS 05";
        in.ApproachTransition = "PRT";
        in.PilotNumber = "17";
        in.PilotId = "XY123";
    }
    std::vector<std::string> Write() {
        LogDocument document;
        WriteTotalsAndWeather(document, in, regional);
        WriteFuelAndRemarks(document, in, regional);
        return document.Lines();
    }

    SummaryInputs in;
    RegionalSettings regional;
};

TEST_F(SummaryTest, LieoLirqFlightLineByLine) {
    const std::string s(71, '-');
    const std::string header =
        "RWY | Trans Lev | Time  | Wind | Visibility | Clouds | Temp | QNH |";
    EXPECT_EQ(Write(), (std::vector<std::string>{
                           "TOTALS: DISTANCE = 0135 miles    Flight Time = 1:25",
                           s,
                           "TAKE-OFF DATA",
                           s,
                           header,
                           s,
                           "    |           | 10:05 |270/12|> 50 mi     | Sct 3/8|    15|1013 |",
                           s,
                           "LANDING DATA ",
                           s,
                           header,
                           s,
                           "    |           | 11:30 | 320/8|12.5 mi     | Few 1/8|    18|1011 |",
                           s,
                           "FUEL CALCULATION AND FUEL REQUIRED ",
                           s,
                           "Fuel rate: 16 gal/h (Calculated by FS)",
                           " ",
                           "Subtotal to first landing - Minutes/Gallons(Liters):85/23(87)",
                           "Reserve - Minutes/Gallons(Liters)                   :45/12(45)",
                           "Taxy / Run-up - Gallons(Liters)                          :12(45)",
                           "TOTAL                                                    :47(178)",
                           "Fuel burned (by GPS): 022",
                           s,
                           "Remarks: ",
                           "Approach   Name:ILS 05",
                           "Transition Name:PRT",
                           s,
                           "Prepared by: 17 XY123",
                           s,
                       }));
}

// Finds the line of the summary that starts with `prefix`.
std::string LineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            return line;
        }
    }
    return "<none>";
}

TEST_F(SummaryTest, ReserveRoundsHalvesToEven) {
    // 60 minutes: the rate equals the fuel used.
    in.TakeOffTime = Clock(10, 0);
    in.LandingTime = Clock(11, 0);
    in.TakeOffFuel = 104;  // rate 6: 4.5 reserve gallons round to 4
    std::vector<std::string> lines = Write();
    EXPECT_EQ(LineStarting(lines, "Reserve"),
              "Reserve - Minutes/Gallons(Liters)                   :45/4(15)");
    in.TakeOffFuel = 108;  // rate 10: 7.5 rounds to 8
    lines = Write();
    EXPECT_EQ(LineStarting(lines, "Reserve"),
              "Reserve - Minutes/Gallons(Liters)                   :45/8(30)");
}

TEST_F(SummaryTest, RefuellingInFlightGivesNegativeFigures) {
    in.TakeOffTime = Clock(10, 0);
    in.LandingTime = Clock(12, 0);
    in.TakeOffFuel = 90;
    in.ArrivalFuel = 110;
    std::vector<std::string> lines = Write();
    EXPECT_EQ(LineStarting(lines, "Fuel rate"), "Fuel rate: -10 gal/h (Calculated by FS)");
    EXPECT_EQ(LineStarting(lines, "Subtotal"),
              "Subtotal to first landing - Minutes/Gallons(Liters):120/-20(-76)");
}

TEST_F(SummaryTest, TakeOffAndLandingInTheSameMinuteGiveARateOfZero) {
    in.LandingTime = in.TakeOffTime;
    std::vector<std::string> lines = Write();
    EXPECT_EQ(LineStarting(lines, "Fuel rate"), "Fuel rate: 0 gal/h (Calculated by FS)");
    EXPECT_EQ(LineStarting(lines, "Subtotal"),
              "Subtotal to first landing - Minutes/Gallons(Liters):0/0(0)");
    EXPECT_EQ(LineStarting(lines, "TOTAL  "),
              "TOTAL                                                    :12(45)");
}

TEST_F(SummaryTest, AFlightAcrossMidnightCountsTheRealFlyingTime) {
    in.EngineStartTime = Clock(23, 35);
    in.TakeOffTime = Clock(23, 45);
    in.LandingTime = Clock(1, 15);
    in.EngineStopTime = Clock(1, 20);
    EXPECT_EQ(FlightMinutes(in.TakeOffTime, in.LandingTime), 90);
    std::vector<std::string> lines = Write();
    EXPECT_EQ(LineStarting(lines, "TOTALS"), "TOTALS: DISTANCE = 0135 miles    Flight Time = 1:30");
    EXPECT_EQ(LineStarting(lines, "Subtotal").substr(52, 3), "90/");
}

TEST_F(SummaryTest, EnginesRunningAcrossMidnightShowOneMinuteLess) {
    in.EngineStartTime = Clock(23, 50);
    in.TakeOffTime = Clock(0, 5);
    in.LandingTime = Clock(1, 30);
    in.EngineStopTime = Clock(1, 40);
    EXPECT_EQ(LineStarting(Write(), "TOTALS"),
              "TOTALS: DISTANCE = 0135 miles    Flight Time = 1:24");
}

TEST_F(SummaryTest, NoApproachAndCommaRegionalSettings) {
    in.ApproachName.clear();
    in.ApproachTransition.clear();
    regional.decimalSeparator = ',';
    regional.timeSeparator = '.';
    std::vector<std::string> lines = Write();
    EXPECT_EQ(LineStarting(lines, "Approach"), "Approach   Name:");
    EXPECT_EQ(LineStarting(lines, "Transition"), "Transition Name:");
    EXPECT_EQ(LineStarting(lines, "TOTALS"), "TOTALS: DISTANCE = 0135 miles    Flight Time = 1.25");
}

}  // namespace
}  // namespace aerolinker
