// Names derived from the program file: the single-instance mutex and the application title.
#pragma once

#include <string>

namespace aerolinker {

// The program file's name without its folder, in upper case ("C:\Apps\aerolinker.exe" gives
// "AEROLINKER.EXE"). Every copy started from a file of that name shares the mutex, wherever
// the file lies.
std::string InstanceMutexName(const std::string& modulePath);

}  // namespace aerolinker
