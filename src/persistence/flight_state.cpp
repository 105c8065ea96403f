// Writing and reading the flight state in the fixed order of its keys: the writes go into the
// configuration together, in one replacement of the file.
#include "persistence/flight_state.h"

#include "common/units.h"
#include "regional/regional_number_text.h"
#include "persistence/config_keys.h"

namespace aerolinker {
namespace {

constexpr char kMilesPattern[] = "0000";
constexpr char kFuelPattern[] = "00000";
// The departure clouds cell of the summary is 15 characters wide.
constexpr size_t kCloudsLength = 15;
constexpr std::int32_t kCounterDefault = 1;

class FlightStateKeys {
public:
    explicit FlightStateKeys(ConfigStore& store) : store_(store) {}

    void Text(const ConfigKey& key, const std::string& value) {
        store_.WriteText(kConfigSection, key.name, value);
    }
    void Integer(const ConfigKey& key, std::int32_t value) {
        store_.WriteInteger(kConfigSection, key.name, value);
    }
    void Date(const ConfigKey& key, const LocalDateTime& date) {
        store_.WriteDate(kConfigSection, key.name, date);
    }
    void Time(const ConfigKey& key, double timeOfDay) {
        store_.WriteTime(kConfigSection, key.name, timeOfDay);
    }
    // Whole numbers with at least as many digits as the pattern, halves away from zero.
    void Pattern(const ConfigKey& key, const char* pattern, double value) {
        Text(key, PatternNumberText(pattern, value, store_.Regional()));
    }

    std::string ReadText(const ConfigKey& key) {
        return store_.ReadText(key.readSection, key.readName, std::string());
    }
    std::int32_t ReadInteger(const ConfigKey& key, std::int32_t defaultValue) {
        return store_.ReadInteger(key.readSection, key.readName, defaultValue);
    }
    double ReadTime(const ConfigKey& key, double defaultTime) {
        return store_.ReadTime(key.readSection, key.readName, defaultTime);
    }

private:
    ConfigStore& store_;
};

// Collects the texts a writer would store, in the regional settings of the store they are for.
class CollectedTexts : public ConfigStore {
public:
    explicit CollectedTexts(const ConfigStore& store) : ConfigStore(store.Regional()) {}
    std::string ReadText(const std::string&, const std::string&,
                         const std::string& defaultText) override {
        return defaultText;
    }
    void WriteText(const std::string&, const std::string& key, const std::string& value) override {
        entries.emplace_back(key, value);
    }
    Entries entries;
};

}  // namespace

// The plain double product, as the summary's total distance: a saved state must read as before.
double RouteMetresToMiles(double metres) {
    return units::PlainMetresToMiles(metres);
}

void WriteFlightState(ConfigStore& store, const FlightState& state, double routeMetres,
                      const LocalDateTime& now) {
    CollectedTexts texts(store);
    FlightStateKeys out(texts);
    out.Date(keys::DateLog, now);
    out.Pattern(keys::DistanzaTotale, kMilesPattern, RouteMetresToMiles(routeMetres));
    out.Pattern(keys::Remain, kMilesPattern, state.RemainingAfterLeg);
    out.Text(keys::Clearance, state.RouteFlown);
    out.Time(keys::ToTime, state.TakeOffTime);
    out.Pattern(keys::FuelTO, kFuelPattern, state.TakeOffFuel);
    out.Text(keys::NuvoleDecollo, state.DepartureClouds);
    out.Text(keys::VisibDecollo, state.DepartureVisibility);
    out.Text(keys::PressioneDecollo, state.DepartureQnh);
    out.Text(keys::TempDecollo, state.DepartureTemperature);
    out.Text(keys::WdirDecollo, state.DepartureWindDirection);
    out.Text(keys::WSpeedDecollo, state.DepartureWindSpeed);
    out.Integer(keys::Riga, state.RegistrationCount);
    out.Integer(keys::Wayp, state.WaypointCounter);
    out.Integer(keys::NPunti, state.WaypointCount);
    store.WriteTexts(kConfigSection, texts.entries);
}

void ReadFlightState(ConfigStore& store, const LocalDateTime& now, FlightState& state) {
    FlightStateKeys in(store);
    state.RemainingDistance = in.ReadInteger(keys::DistanzaTotale, 0);
    state.RemainingAfterLeg = in.ReadInteger(keys::Remain, 0);
    state.RouteFlown = in.ReadText(keys::Clearance);
    state.TakeOffTime = in.ReadTime(keys::ToTime, now.TimeOfDay());
    state.TakeOffFuel = in.ReadInteger(keys::FuelTO, 0);
    state.DepartureClouds = in.ReadText(keys::NuvoleDecollo).substr(0, kCloudsLength);
    state.DepartureVisibility = in.ReadText(keys::VisibDecollo);
    state.DepartureQnh = in.ReadText(keys::PressioneDecollo);
    state.DepartureTemperature = in.ReadText(keys::TempDecollo);
    state.DepartureWindDirection = in.ReadText(keys::WdirDecollo);
    state.DepartureWindSpeed = in.ReadText(keys::WSpeedDecollo);
    state.RegistrationCount = in.ReadInteger(keys::Riga, kCounterDefault);
    state.WaypointCounter = in.ReadInteger(keys::Wayp, kCounterDefault);
    state.WaypointCount = in.ReadInteger(keys::NPunti, kCounterDefault);
}

bool HasSavedFlightState(ConfigStore& store) {
    return !store.ReadText(keys::Wayp.readSection, keys::Wayp.readName, std::string()).empty();
}

}  // namespace aerolinker
