// The crash handler: the unhandled-exception filter, the minidump and the pilot's message.
#include "app/win32/crash_dump.h"

#include <dbghelp.h>

#include <cassert>
#include <cstdio>
#include <utility>

#include "app/win32/window_ids.h"
#include "common/app_error.h"

namespace aerolinker {
namespace {

// Thread stacks, the module list, the exception with its context, and the memory the stacks
// point into: enough to read where and on what the program failed, in a file of a few
// megabytes that a pilot can still send.
constexpr MINIDUMP_TYPE kDumpType =
    static_cast<MINIDUMP_TYPE>(MiniDumpNormal | MiniDumpWithIndirectlyReferencedMemory);
// The writer's own stack: the crashed thread's may be the one that overflowed.
constexpr SIZE_T kWriterStackBytes = 256 * 1024;

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
                                                PMINIDUMP_EXCEPTION_INFORMATION,
                                                PMINIDUMP_USER_STREAM_INFORMATION,
                                                PMINIDUMP_CALLBACK_INFORMATION);

// The filter Windows calls takes no context of ours: the one installed handler's folder is
// reached through this.
const std::function<std::string()>* installedLogFolder = nullptr;

struct Crash {
    EXCEPTION_POINTERS* exception;
    DWORD threadId;
};

// dbghelp.dll is loaded only now, from the system folder by its full path: the program starts
// without it, and a dbghelp.dll lying beside the program or in the current folder is never
// the one loaded. It is not one of the newer functions of the late-bound table, which are
// looked up once at the start; this one is wanted only in a crash.
MiniDumpWriteDumpFunction LoadMiniDumpWriteDump(DWORD& error) {
    char system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(system, sizeof system);
    if (length == 0 || length >= sizeof system) {
        error = GetLastError();
        return nullptr;
    }
    HMODULE dbghelp = LoadLibraryA((std::string(system, length) + "\\dbghelp.dll").c_str());
    FARPROC function = dbghelp ? GetProcAddress(dbghelp, "MiniDumpWriteDump") : nullptr;
    if (!function) {
        error = GetLastError();
        return nullptr;
    }
    // Through void(*)(): the one function type GCC lets every other one be cast from.
    return reinterpret_cast<MiniDumpWriteDumpFunction>(reinterpret_cast<void (*)()>(function));
}

std::string DumpFileName() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[64];
    std::snprintf(name, sizeof name, "aerolinker-crash-%04u%02u%02u-%02u%02u%02u.dmp", now.wYear,
                  now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
    return name;
}

// Writes the dump into `folder`; on success `path` names it. A file that could not be written
// whole is removed, so that no half dump is sent in.
bool WriteDump(MiniDumpWriteDumpFunction writeDump, const Crash& crash, const std::string& folder,
               std::string& path, DWORD& error) {
    if (folder.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    path = folder;
    if (path.back() != '\\') {
        path += '\\';
    }
    path += DumpFileName();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    MINIDUMP_EXCEPTION_INFORMATION exception = {crash.threadId, crash.exception, FALSE};
    const BOOL written = writeDump(GetCurrentProcess(), GetCurrentProcessId(), file, kDumpType,
                                   &exception, nullptr, nullptr);
    // MiniDumpWriteDump reports an HRESULT through GetLastError; its code part is the reason.
    error = written ? ERROR_SUCCESS : HRESULT_CODE(GetLastError());
    CloseHandle(file);
    if (!written) {
        DeleteFileA(path.c_str());
    }
    return written != FALSE;
}

std::string TemporaryFolder() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    return length == 0 || length >= sizeof folder ? std::string() : std::string(folder, length);
}

// The crashed thread stands still in the filter while this runs: reading the log folder from
// the flight's objects is safe, and the dump shows that thread where it failed rather than
// inside the dump writer.
DWORD WINAPI WriteDumpAndTell(void* parameter) {
    const Crash& crash = *static_cast<const Crash*>(parameter);
    std::string folder;
    try {
        folder = installedLogFolder ? (*installedLogFolder)() : std::string();
    } catch (...) {
        // The log folder cannot be had from a program in this state: the temporary one does.
    }
    DWORD error = ERROR_SUCCESS;
    std::string path;
    bool written = false;
    if (MiniDumpWriteDumpFunction writeDump = LoadMiniDumpWriteDump(error)) {
        written = WriteDump(writeDump, crash, folder, path, error) ||
                  WriteDump(writeDump, crash, TemporaryFolder(), path, error);
    }
    std::string text = "Aerolinker met an error it cannot recover from and must close.\n\n";
    if (written) {
        text += "A crash report was written to\n" + path +
                "\n\nPlease send it with Navforge.log to your airline's support. Your logs and "
                "the flight's last saved situation are kept as they were.";
    } else {
        text += "No crash report could be written: " + SystemErrorText(static_cast<int>(error)) +
                "\n\nYour logs and the flight's last saved situation are kept as they were.";
    }
    // No owner: the main window's thread is the one that crashed and answers no message.
    MessageBoxA(nullptr, text.c_str(), kApplicationTitle,
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
    return 0;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
    // The first crash is reported; any other thread that fails meanwhile waits for the end.
    static LONG reporting = 0;
    if (InterlockedExchange(&reporting, 1) != 0) {
        Sleep(INFINITE);
    }
    Crash crash = {exception, GetCurrentThreadId()};
    HANDLE writer = CreateThread(nullptr, kWriterStackBytes, WriteDumpAndTell, &crash, 0, nullptr);
    if (writer) {
        WaitForSingleObject(writer, INFINITE);
        CloseHandle(writer);
    }
    // The process ends here, without destructors or exit handlers: a program in an unknown
    // state writes no settings, no log and no situation over what the flight saved.
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

CrashDumpHandler::CrashDumpHandler(std::function<std::string()> logFolder)
    : logFolder_(std::move(logFolder)) {
    assert(installedLogFolder == nullptr);
    installedLogFolder = &logFolder_;
    previousFilter_ = SetUnhandledExceptionFilter(OnUnhandledException);
}

CrashDumpHandler::~CrashDumpHandler() {
    SetUnhandledExceptionFilter(previousFilter_);
    installedLogFolder = nullptr;
}

}  // namespace aerolinker
