// Starting, watching and ending fsim.exe.
#include "sim/win32/fsim_process.h"

#include <algorithm>
#include <filesystem>

namespace aerolinker {
namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kPollMs = 50;

}  // namespace

std::string FsimPath() {
    char own[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
    const std::filesystem::path beside =
        std::filesystem::path(std::string(own, length)).parent_path() / "fsim.exe";
    if (std::filesystem::exists(beside)) {
        return beside.string();
    }
    std::string built = AEROLINKER_FSIM_PATH;
    std::replace(built.begin(), built.end(), '/', '\\');
    return built;
}

FsimProcess::~FsimProcess() {
    if (errors_) {
        CloseHandle(errors_);
    }
    if (!process_.hProcess) {
        return;
    }
    if (WaitForExit(0) == STILL_ACTIVE) {
        if (window_) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
        }
        if (WaitForExit(kExitTimeoutMs) == STILL_ACTIVE) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
        }
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool FsimProcess::Launch(const std::string& arguments, std::string& error, bool captureErrors) {
    std::string commandLine = "\"" + program_ + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    HANDLE writeErrors = nullptr;
    if (captureErrors) {
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        if (!CreatePipe(&errors_, &writeErrors, &inheritable, 0)) {
            error = "no pipe for fsim's standard error";
            return false;
        }
        SetHandleInformation(errors_, HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = writeErrors;
    }
    // Wine's process start now and then fails with an internal error when several processes
    // start at once (the CI machine runs tests side by side); a second try starts it.
    BOOL started = FALSE;
    DWORD reason = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, captureErrors, 0,
                                 nullptr, nullptr, &startup, &process_);
        reason = GetLastError();
        if (started || reason != ERROR_INTERNAL_ERROR) {
            break;
        }
        Sleep(100);
    }
    if (writeErrors) {
        CloseHandle(writeErrors);  // the child holds its own copy
    }
    if (!started) {
        error = "cannot start " + commandLine + " (error " + std::to_string(reason) + ")";
        return false;
    }
    return true;
}

bool FsimProcess::WaitForWindow(const std::string& windowClass, std::string& error) {
    for (DWORD waited = 0; waited < kStartTimeoutMs; waited += kPollMs) {
        HWND found = nullptr;
        while ((found = FindWindowExA(nullptr, found, windowClass.c_str(), nullptr))) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == process_.dwProcessId) {
                window_ = found;
                return true;
            }
        }
        if (WaitForExit(kPollMs) != STILL_ACTIVE) {
            error = "fsim ended before showing its window";
            return false;
        }
    }
    error = "fsim showed no window within " + std::to_string(kStartTimeoutMs) + " ms";
    return false;
}

bool FsimProcess::Start(const std::string& arguments, const std::string& windowClass,
                        std::string& error) {
    return Launch(arguments, error) && WaitForWindow(windowClass, error);
}

std::string FsimProcess::ReadErrors() {
    // fsim writes at most a short line before it ends, so reading until the pipe closes ends.
    std::string text;
    char buffer[512];
    DWORD got = 0;
    while (errors_ && ReadFile(errors_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got);
    }
    return text;
}

DWORD FsimProcess::WaitForExit(DWORD milliseconds) {
    DWORD code = STILL_ACTIVE;
    if (process_.hProcess &&
        WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process_.hProcess, &code);
    }
    return code;
}

DWORD FsimProcess::Close() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    return WaitForExit(kExitTimeoutMs);
}

}  // namespace aerolinker
