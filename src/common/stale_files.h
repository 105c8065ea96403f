// Temporaries a stopped program left behind: an atomic replacement writes the new bytes to
// "<file>.tmp<digits>" beside the file before renaming it over the file; a program killed in
// between leaves that temporary, which the next start removes.
#pragma once

#include <string>

namespace aerolinker {

// Removes the temporaries of `path` ("\" separated, as every path of the program). Returns how
// many were removed; a folder that cannot be listed removes none.
int RemoveStaleTemporaries(const std::string& path);

// Removes every temporary in `folder`, whatever file it was for: a folder whose files' names
// are not known in advance (the logbook's entries). Returns how many were removed.
int RemoveStaleTemporariesIn(const std::string& folder);

}  // namespace aerolinker
