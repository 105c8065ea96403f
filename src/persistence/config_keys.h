// Every key of the configuration file, each once: the name the program writes it under and
// the spelling and section it is read with. Names match without regard to case, so the two
// spellings of a key address the same line of the file.
#pragma once

namespace aerolinker {

// The program's one section. Some reads spell it "aerolinker": the same section.
inline constexpr char kConfigSection[] = "Aerolinker";
inline constexpr char kConfigSectionLower[] = "aerolinker";

struct ConfigKey {
    const char* name;         // as written, always in kConfigSection
    const char* readName;     // as read
    const char* readSection;  // as read
};

namespace keys {

// The pilot profile, written by the pilot form.
inline constexpr ConfigKey PilotName{"PilotName", "PilotName", kConfigSection};
inline constexpr ConfigKey ID{"ID", "ID", kConfigSection};
inline constexpr ConfigKey Number{"Number", "Number", kConfigSection};
inline constexpr ConfigKey FlightDir{"Flightdir", "FlightDir", kConfigSection};
inline constexpr ConfigKey FS2k4dir{"FS2k4dir", "FS2k4dir", kConfigSection};
// The airline's server address, written by the pilot form; none means no airline. The API key
// is never kept here (see airline/keys/key_store.h).
inline constexpr ConfigKey AirlineServer{"AirlineServer", "AirlineServer", kConfigSection};

// The flight state, written by a situation save, read back on resume. DateLog is only
// written, for the pilot's eyes.
inline constexpr ConfigKey DateLog{"DateLog", "DateLog", kConfigSection};
inline constexpr ConfigKey DistanzaTotale{"DistanzaTotale", "Distanzatotale", kConfigSection};
inline constexpr ConfigKey Remain{"Remain", "Remain", kConfigSection};
inline constexpr ConfigKey Clearance{"Clearance", "Clearance", kConfigSection};
inline constexpr ConfigKey ToTime{"ToTime", "ToTime", kConfigSection};
inline constexpr ConfigKey FuelTO{"FuelTO", "FuelTo", kConfigSectionLower};
inline constexpr ConfigKey NuvoleDecollo{"NuvoleDecollo", "NuvoleDecollo", kConfigSection};
inline constexpr ConfigKey VisibDecollo{"VisibDecollo", "VisibDecollo", kConfigSection};
inline constexpr ConfigKey PressioneDecollo{"PressioneDecollo", "PressioneDecollo", kConfigSection};
inline constexpr ConfigKey TempDecollo{"TempDecollo", "TempDecollo", kConfigSection};
inline constexpr ConfigKey WdirDecollo{"WdirDecollo", "WDirDecollo", kConfigSection};
inline constexpr ConfigKey WSpeedDecollo{"WSpeedDecollo", "WSpeedDecollo", kConfigSection};
inline constexpr ConfigKey Riga{"Riga", "Riga", kConfigSectionLower};
inline constexpr ConfigKey Wayp{"Wayp", "Wayp", kConfigSectionLower};
inline constexpr ConfigKey NPunti{"NPunti", "NPunti", kConfigSectionLower};

}  // namespace keys
}  // namespace aerolinker
