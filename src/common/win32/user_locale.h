// Reads the user's regional settings from the Windows locale, once at start.
#pragma once

#include "common/regional_settings.h"

namespace aerolinker {

RegionalSettings ReadUserRegionalSettings();

}  // namespace aerolinker
