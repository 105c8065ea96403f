// Reading and placing the text of controls.
#pragma once

#include <windows.h>

#include <string>

namespace aerolinker {

std::string WindowText(HWND window);

// Text for the wide (UTF-16) calls from text in `codePage` (CP_ACP for the program's texts).
std::wstring WideText(const std::string& text, UINT codePage);

// Places text in an edit field as it stands. A field that turns typed letters into upper case
// (ES_UPPERCASE) would also convert text set by the program, so the style is lifted while the
// text goes in: a folder keeps the case the system gives it.
void SetTextKeepingCase(HWND edit, const std::string& text);

}  // namespace aerolinker
