// Whole-file reads and writes. Writes replace a file atomically: the bytes go to a temporary
// file in the same folder, are flushed, and the temporary is renamed over the old file, so a
// crash or a full disk never leaves a torn or empty file; on failure the old file stays as it
// was. Paths use "\" as the separator on every platform (the program builds them by appending
// "\Navforge.log" and the like to a folder); the portable build maps it to "/".
#pragma once

#include <string>
#include <string_view>

namespace aerolinker {

// Returns 0 on success, otherwise the platform's error code (errno, or a Win32 error code),
// for SystemErrorText.
int ReplaceFileContents(const std::string& path, std::string_view bytes);

// Returns 0 and fills `bytes`, or the platform's error code.
int ReadFileContents(const std::string& path, std::string& bytes);

bool FileExists(const std::string& path);

// The path as the platform's file functions take it.
std::string NativePath(const std::string& path);

}  // namespace aerolinker
