// fsim.exe's scenario chooser: what a pilot sees who opens fsim.exe from its folder instead of
// starting it with a scenario. It lists the bundled scenarios and the speeds; Start plays the
// chosen one, Cancel ends fsim.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sim/fsim_options.h"

namespace aerolinker {

constexpr char kFsimChooserClass[] = "FsimChooser";
// The chooser's controls, for the tests that look at it from outside. Start and Cancel are
// IDOK and IDCANCEL, so Enter and Escape press them.
constexpr int kIdChooserList = 301;
constexpr int kIdChooserFirstSpeed = 310;  // one button per speed of kFsimSpeeds, in order

enum class ChooserResult { Started, Cancelled, Failed };

// Shows the chooser with `scenarioFiles` (names of files in `folder`) until the pilot starts
// one or cancels; the speed chosen at first is options.speed. Start sets options.scenarioPath
// and options.speed. Failed when the window could not be made, after saying why.
ChooserResult ChooseScenario(HINSTANCE instance, const std::string& folder,
                             const std::vector<std::string>& scenarioFiles, FsimOptions& options,
                             int show);

}  // namespace aerolinker
