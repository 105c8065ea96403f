// The user's regional settings from GetLocaleInfoA (LOCALE_USER_DEFAULT).
#include <windows.h>

#include "common/win32/user_locale.h"

namespace aerolinker {
namespace {

std::string LocaleText(LCTYPE type, const std::string& fallback) {
    char buffer[128] = {};
    int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    if (length <= 1) {
        return fallback;
    }
    return std::string(buffer);
}

char LocaleChar(LCTYPE type, char fallback) {
    std::string text = LocaleText(type, std::string(1, fallback));
    return text.empty() ? fallback : text[0];
}

}  // namespace

RegionalSettings ReadUserRegionalSettings() {
    RegionalSettings settings;
    settings.decimalSeparator = LocaleChar(LOCALE_SDECIMAL, '.');
    settings.timeSeparator = LocaleChar(LOCALE_STIME, ':');
    settings.dateSeparator = LocaleChar(LOCALE_SDATE, '/');
    settings.shortDateFormat = LocaleText(LOCALE_SSHORTDATE, settings.shortDateFormat);
    settings.longTimeFormat = LocaleText(LOCALE_STIMEFORMAT, settings.longTimeFormat);
    settings.amDesignator = LocaleText(LOCALE_S1159, "");
    settings.pmDesignator = LocaleText(LOCALE_S2359, "");
    return settings;
}

}  // namespace aerolinker
