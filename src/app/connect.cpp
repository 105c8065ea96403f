// "Connect to FSim" and "Disconnect FS".
#include <cstring>

#include "app/connection_form.h"
#include "navlog/log_header.h"
#include "tracking/flight_math.h"

namespace aerolinker {
namespace {

constexpr std::uint32_t kConnectValueA = 66493;
constexpr std::uint32_t kConnectValueB = 66494;
constexpr std::uint16_t kGreetingSeconds = 5;
constexpr std::int16_t kMessageDisplayCode = 10;

}  // namespace

void TFConnection::LConnettiClick() {
    state.ArrivalIdent.clear();
    state.WaypointCounter = 1;

    FsuipcLink& link = services_.link;
    MainWindowRoles& window = services_.window;
    if (!link.OpenLink(0, lastLinkResult)) {
        window.SetStatusText(ResultTexts[lastLinkResult]);
        return;
    }
    window.SetStatusText(ResultTexts[lastLinkResult]);
    state.RegistrationCount = 0;

    ReadConnectBatch(link, sample, state.WaypointCount, lastLinkResult);

    char greeting[offsets::kMessageTextSize] = {};
    const std::string text =
        "Welcome on board by Coralstraits Airlines and Navforge 2006. Depart from " +
        sample.previousWaypoint.Text() + " within 10 minutes";
    std::memcpy(greeting, text.data(), std::min(text.size(), sizeof greeting - 1));
    link.QueueWrite(offsets::kConnectValueA, 4, &kConnectValueA, lastLinkResult);
    link.QueueWrite(offsets::kConnectValueB, 4, &kConnectValueB, lastLinkResult);
    link.QueueWrite(offsets::kMessageText, sizeof greeting, greeting, lastLinkResult);
    link.QueueWrite(offsets::kMessageTime, 2, &kGreetingSeconds, lastLinkResult);
    link.ProcessRequests(lastLinkResult);

    state.EngineStarted = false;
    state.RemainingDistance = MetresToMiles(sample.routeDistance);
    window.SetSituationButtonsEnabled(true);
    Event(FlightEvent::Connected, sample.aircraftTitle.Text());

    if (state.WaypointCount == 0) {
        ShowSimMessage(link, "Attention please !!! Plan not loaded. ", kMessageDisplayCode, 0,
                       lastLinkResult);
        window.ShowMessageBox("Not Plan. Attention!");
        return;
    }
    WriteLogHeader(Memo1, sample.aircraftTitle.Text(), pilotProfile.PilotName,
                   services_.clock.Now(), services_.regional);
    WriteTableHeader(Memo1);
    window.SetTimerEnabled(true);
}

void TFConnection::LChiudiClick() {
    services_.link.CloseLink();
    services_.window.SetStatusText("Closed");
    services_.window.SetTimerEnabled(false);
}

}  // namespace aerolinker
