// The bundled scenarios, flown through the program's link: each event of the flight comes
// at its tick and with its values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#include "common/units.h"
#include "link/fsuipc_link.h"
#include "link/sim_sample.h"
#include "sim/loopback_simulator.h"
#include "sim/scenario_parser.h"
#include "tracking/flight_math.h"
#include "tracking/tracker.h"

namespace aerolinker {
namespace {

std::string ScenarioPath(const std::string& name) {
    const char* source = std::getenv("AEROLINKER_SOURCE_DIR");
    return std::string(source ? source : ".") + "/scenarios/" + name;
}

// The samples at which the flight's events fall, as the program's tracker finds them.
struct Flight {
    SimSample connect;
    std::int32_t waypointCount = 0;
    std::optional<SimSample> engineStart;
    std::optional<SimSample> takeOff;
    std::vector<SimSample> registrations;
    std::optional<SimSample> landing;
    std::optional<SimSample> shutDown;
    std::uint64_t ticks = 0;
};

// Keeps the sample of each flight event the tracker reports; every other effect is dropped.
class EventSamples : public TrackerOutput {
public:
    EventSamples(Flight& flight, const SimSample& sample) : flight_(flight), sample_(sample) {}
    void ShowSimMessage(const std::string&, std::int16_t, std::int16_t) override {}
    void WriteSimMessage(const std::string&, std::uint16_t) override {}
    void PlaySound() override {}
    void SetTimerEnabled(bool) override {}
    void SaveLog(LogSave) override {}
    void SaveSituation() override {}
    void CloseLink() override {}
    void OnFlightEvent(FlightEvent event, const std::string&) override {
        switch (event) {
            case FlightEvent::EngineStart:
                flight_.engineStart = sample_;
                break;
            case FlightEvent::TakeOff:
                flight_.takeOff = sample_;
                break;
            case FlightEvent::WaypointRegistered:
                flight_.registrations.push_back(sample_);
                break;
            case FlightEvent::Landing:
                flight_.landing = sample_;
                break;
            case FlightEvent::Arrival:
                flight_.shutDown = sample_;
                break;
            default:
                break;
        }
    }

private:
    Flight& flight_;
    const SimSample& sample_;
};

Flight Fly(const std::string& name, std::uint32_t ticksPerSample = 1) {
    LoopbackPlatform platform;
    LoopbackSimulator::Options options;
    options.ticksPerSample = ticksPerSample;
    LoopbackSimulator simulator(
        platform, std::make_shared<const Scenario>(LoadScenarioFile(ScenarioPath(name))), options);
    FsuipcLink link(platform);
    LinkResult result = LinkOk;
    Flight flight;
    EXPECT_TRUE(link.OpenLink(0, result));
    ReadConnectBatch(link, flight.connect, flight.waypointCount, result);
    if (flight.waypointCount == 0) {
        return flight;
    }
    SimSample sample = flight.connect;
    const RegionalSettings regional;
    const PilotProfile pilot;
    EventSamples events(flight, sample);
    Tracker tracker(regional, pilot, events);
    tracker.BeginConnect();
    tracker.Connected(flight.waypointCount, flight.connect.routeDistance);
    while (!simulator.server().player().holding() && !flight.shutDown) {
        SampleSimulator(link, sample, result);
        EXPECT_EQ(result, LinkOk);
        ++flight.ticks;
        tracker.Step(sample);
    }
    return flight;
}

std::string Clock(const SimSample& sample) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u:%02u", sample.clockHour, sample.clockMinute);
    return text;
}

long Degrees(double radians) {
    return std::lround(radians * units::kDegreesPerRadian);
}

TEST(BundledScenariosTest, LieoLirqFliesItsEventsAtTheirTicks) {
    const Flight flight = Fly("lieo-lirq.scn");
    EXPECT_EQ(flight.connect.aircraftTitle.Text(), "Generic Twin Turboprop");
    EXPECT_EQ(flight.waypointCount, 5);
    EXPECT_EQ(flight.connect.routeDistance, 250000.0);
    EXPECT_EQ(flight.connect.previousWaypoint.Text(), "LIEO");

    ASSERT_TRUE(flight.engineStart && flight.takeOff && flight.landing && flight.shutDown);
    EXPECT_EQ(Clock(*flight.engineStart), "09:52");

    const SimSample& takeOff = *flight.takeOff;
    EXPECT_EQ(Clock(takeOff), "10:05");
    EXPECT_EQ(takeOff.previousWaypoint.Text(), "LIEO");
    EXPECT_EQ(takeOff.nextWaypoint.Text(), "OLB");
    EXPECT_EQ(FuelOnBoard(takeOff.fuelTanks), 120);
    EXPECT_NE(takeOff.fuelTanks[kLeftTipLevel], 0u);
    EXPECT_NE(takeOff.fuelTanks[kRightTipCapacity], 0u);
    EXPECT_EQ(takeOff.windDirection, 49152);
    EXPECT_EQ(takeOff.windSpeed, 12);
    EXPECT_GT(takeOff.visibility, 5000);
    EXPECT_EQ(takeOff.cloudCover, 0x6000);
    EXPECT_EQ(takeOff.temperature, 3840);
    EXPECT_EQ(takeOff.qnh, 16208);
    EXPECT_GT(takeOff.timeToNext, 0u);

    ASSERT_EQ(flight.registrations.size(), 3u);
    const char* const passed[] = {"OLB", "ELB", "PRT"};
    const char* const next[] = {"ELB", "PRT", "LIRQ"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(flight.registrations[i].previousWaypoint.Text(), passed[i]);
        EXPECT_EQ(flight.registrations[i].nextWaypoint.Text(), next[i]);
        EXPECT_GT(flight.registrations[i].groundSpeed, 0);
        EXPECT_GT(flight.registrations[i].distanceToNext, 0);
    }

    EXPECT_EQ(Clock(*flight.landing), "11:30");
    EXPECT_EQ(Degrees(flight.landing->trueHeading), 52);

    const SimSample& shutDown = *flight.shutDown;
    EXPECT_EQ(Clock(shutDown), "11:38");
    EXPECT_EQ(FuelOnBoard(shutDown.fuelTanks), 98);
    EXPECT_EQ(shutDown.gpsFuel, 21.6);
    EXPECT_EQ(shutDown.routeDistance, 250000.0);
    EXPECT_EQ(shutDown.approachName.Text(), "ILS 05");
    EXPECT_EQ(shutDown.approachTransition.Text(), "PRT");
    EXPECT_EQ(shutDown.destination.Text(), "LIRQ");
    EXPECT_TRUE(shutDown.approachLoaded);
    EXPECT_EQ(std::lround(shutDown.windDirection * 360.0 / 65536), 320);
    EXPECT_EQ(shutDown.windSpeed, 8);
    EXPECT_EQ(shutDown.visibility, 1250);
    EXPECT_EQ(shutDown.cloudCover, 0x2000);
    EXPECT_EQ(shutDown.temperature, 18 * 256);
    EXPECT_EQ(shutDown.qnh, 1011 * 16);
    // The shut-down is the last frame: the scenario ends with the flight.
    EXPECT_EQ(flight.ticks, (11 * 60 + 38 - (9 * 60 + 50)) * 12u + 1);
}

// Flown faster, as a pilot trying the program does, the flight still has every event of its
// log, in a fraction of the samples.
TEST(BundledScenariosTest, LieoLirqFliesEveryEventAtEachSpeed) {
    for (const std::uint32_t speed : {4u, 16u}) {
        SCOPED_TRACE(speed);
        const Flight flight = Fly("lieo-lirq.scn", speed);
        EXPECT_TRUE(flight.engineStart && flight.takeOff && flight.landing && flight.shutDown);
        ASSERT_EQ(flight.registrations.size(), 3u);
        EXPECT_EQ(flight.registrations[2].previousWaypoint.Text(), "PRT");
        EXPECT_LE(flight.ticks, (11 * 60 + 38 - (9 * 60 + 50)) * 12u / speed + 1);
    }
}

TEST(BundledScenariosTest, EgkkEghiHoldsItsTakeOffAndMidValuesExactly) {
    const Flight flight = Fly("egkk-eghi.scn");
    EXPECT_EQ(flight.waypointCount, 5);
    EXPECT_EQ(flight.connect.routeDistance, 500000.0);
    ASSERT_TRUE(flight.engineStart && flight.takeOff && flight.landing && flight.shutDown);

    const SimSample& takeOff = *flight.takeOff;
    EXPECT_EQ(Clock(takeOff), "10:07");
    EXPECT_EQ(takeOff.previousWaypoint.Text(), "EGKK");
    EXPECT_EQ(takeOff.nextWaypoint.Text(), "MID");
    EXPECT_EQ(takeOff.trueHeading, 4.36332);
    EXPECT_EQ(takeOff.distanceToNext, 46300.0);
    EXPECT_EQ(takeOff.timeToNext, 540u);
    EXPECT_EQ(takeOff.routeDistance, 500000.0);

    ASSERT_EQ(flight.registrations.size(), 3u);
    const SimSample& first = flight.registrations[0];
    EXPECT_EQ(Clock(first), "10:18");
    EXPECT_EQ(first.activeWaypoint, 2u);
    EXPECT_EQ(first.previousWaypoint.Text(), "MID");
    EXPECT_EQ(first.nextWaypoint.Text(), "SAM");
    EXPECT_EQ(first.trueHeading, 0.610865);
    EXPECT_EQ(first.altitudeMetres, 3048u);
    EXPECT_EQ(first.altitudeFraction, 0u);
    EXPECT_EQ(first.distanceToNext, 92600.0);
    EXPECT_EQ(first.groundSpeed, 128.6);
    EXPECT_EQ(first.estimatedArrival, 39900u);
    EXPECT_EQ(first.destination.Text(), "EGHI");
    EXPECT_EQ(flight.registrations[1].previousWaypoint.Text(), "SAM");
    EXPECT_EQ(flight.registrations[2].previousWaypoint.Text(), "BHD");
    EXPECT_EQ(flight.registrations[2].nextWaypoint.Text(), "EGHI");

    EXPECT_LT(Clock(*flight.engineStart), "10:07");
    EXPECT_GT(Clock(*flight.landing), "10:54");
    EXPECT_GE(Clock(*flight.shutDown), Clock(*flight.landing));
}

TEST(BundledScenariosTest, NoFlightPlanHasNoWaypoints) {
    const Flight flight = Fly("no-flight-plan.scn");
    EXPECT_EQ(flight.waypointCount, 0);
    EXPECT_EQ(flight.connect.aircraftTitle.Text(), "Generic Twin Turboprop");
    EXPECT_EQ(flight.connect.previousWaypoint.Text(), "");
}

}  // namespace
}  // namespace aerolinker
