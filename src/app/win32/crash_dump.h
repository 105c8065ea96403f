// Crash reports of aerolinker.exe: an exception that nothing handled writes a minidump into the
// log folder, tells the pilot where it is, and ends the program without running anything more.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace aerolinker {

// Installed from construction to destruction (one at a time). On a crash, the minidump
// "aerolinker-crash-YYYYMMDD-HHMMSS.dmp" goes into the folder `logFolder` names at that moment,
// or into the temporary folder when that one is empty or cannot be written; a message box then
// names the file. Nothing else is written: the files the flight saved stay as they were.
class CrashDumpHandler {
public:
    explicit CrashDumpHandler(std::function<std::string()> logFolder);
    ~CrashDumpHandler();
    CrashDumpHandler(const CrashDumpHandler&) = delete;
    CrashDumpHandler& operator=(const CrashDumpHandler&) = delete;

private:
    std::function<std::string()> logFolder_;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter_ = nullptr;
};

}  // namespace aerolinker
