// A seam for the crash tests of the console host: the atomic replacement of a file calls the
// hook with the file's path just before the new bytes take the file's place (the temporary is
// written and flushed, the rename not yet done), and a one-off append just before its bytes
// are written. No hook is set in the Windows program.
#pragma once

#include <string>

namespace aerolinker {

using DurableStepHook = void (*)(const std::string& path);

void SetDurableStepHook(DurableStepHook hook);
void NoteDurableStep(const std::string& path);

}  // namespace aerolinker
