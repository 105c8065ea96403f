// "Connect to FSim" and "Disconnect FS".
#include "app/connection_form.h"

namespace aerolinker {
namespace {

constexpr std::uint16_t kGreetingSeconds = 5;

}  // namespace

void TFConnection::LConnettiClick() {
    tracker_.BeginConnect();

    FsuipcLink& link = services_.link;
    MainWindowRoles& window = services_.window;
    const bool opened = link.OpenLink(0, lastLinkResult_);
    window.SetStatusText(ResultTexts[lastLinkResult_]);
    if (!opened) {
        return;
    }

    // The count keeps its value when the connect batch fails.
    std::int32_t waypointCount = tracker_.State().WaypointCount;
    ReadConnectBatch(link, sample_, waypointCount, lastLinkResult_);
    Greet();
    tracker_.Connected(waypointCount, sample_.routeDistance);
    window.SetSituationButtonsEnabled(true);
    Event(FlightEvent::Connected, sample_.aircraftTitle.Text());

    if (tracker_.State().WaypointCount == 0) {
        ShowSimMessage(link, "Attention please !!! Plan not loaded. ",
                       offsets::kStandardDisplayCode, 0, lastLinkResult_);
        window.ShowMessageBox("Not Plan. Attention!");
        return;
    }
    tracker_.WriteHeader(sample_.aircraftTitle.Text(), pilotProfile_.PilotName,
                         services_.clock.Now());
    window.SetTimerEnabled(true);
}

void TFConnection::Greet() {
    WriteConnectGreeting(
        services_.link,
        "Welcome on board by Coralstraits Airlines and Navforge 2006. Depart from " +
            sample_.previousWaypoint.Text() + " within 10 minutes",
        kGreetingSeconds, lastLinkResult_);
}

void TFConnection::LChiudiClick() {
    services_.link.CloseLink();
    services_.window.SetStatusText("Closed");
    services_.window.SetTimerEnabled(false);
}

}  // namespace aerolinker
