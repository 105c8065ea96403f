// fsim.exe as the tests and the benchmark start it: in a process of its own, its window found
// by class and process, and ended whatever happens to the caller.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace aerolinker {

// fsim.exe beside the running program, else where the build put it.
std::string FsimPath();

class FsimProcess {
public:
    // `program`: another copy of fsim.exe, as a package lays it out.
    explicit FsimProcess(std::string program = FsimPath()) : program_(std::move(program)) {}
    // A process still running is asked to close its window, and ended if it does not.
    ~FsimProcess();
    FsimProcess(const FsimProcess&) = delete;
    FsimProcess& operator=(const FsimProcess&) = delete;

    // Starts fsim with `arguments` (what follows the program's name on its command line).
    // With `captureErrors` its standard error goes to a pipe for ReadErrors.
    bool Launch(const std::string& arguments, std::string& error, bool captureErrors = false);
    // Waits for the window of `windowClass` this process shows; false when the process ends
    // first or shows none in time.
    bool WaitForWindow(const std::string& windowClass, std::string& error);
    // Launch, then WaitForWindow.
    bool Start(const std::string& arguments, const std::string& windowClass, std::string& error);
    // Everything the process writes to its standard error until it closes it (it ends).
    std::string ReadErrors();
    // Waits up to `milliseconds` for the process to end by itself: its exit code, or
    // STILL_ACTIVE when it runs on.
    DWORD WaitForExit(DWORD milliseconds);
    // Closes the window as a pilot would: the process's exit code.
    DWORD Close();

    HWND window() const { return window_; }
    HANDLE process() const { return process_.hProcess; }

private:
    std::string program_;
    PROCESS_INFORMATION process_ = {};
    HANDLE errors_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace aerolinker
