// Temporaries a stopped program left behind: an atomic replacement writes the new bytes to
// "<file>.tmp<digits>" beside the file before renaming it over the file; a program killed in
// between leaves that temporary, which the next start removes.
#pragma once

#include <string>

namespace aerolinker {

// Removes the temporaries of `path` ("\" separated, as every path of the program). Returns how
// many were removed; a folder that cannot be listed removes none.
int RemoveStaleTemporaries(const std::string& path);

}  // namespace aerolinker
