// aerolinker-probe.exe: looks at the running program from outside, for the GUI tests. It
// prints what a pilot would read on screen (captions, the status bar, the text area, message
// boxes, tooltips, the pilot form's fields) and where a control is, so that the test can click
// it. Exit code 0 when the thing asked for was found, 1 when not, 2 on a wrong command line.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/win32/window_ids.h"

namespace {

using aerolinker::kMainWindowClass;
using aerolinker::kPilotFormClass;

std::string TextOf(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const LRESULT copied =
        SendMessageA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND MainWindow() {
    return FindWindowA(kMainWindowClass, nullptr);
}

DWORD ProgramProcess() {
    DWORD process = 0;
    if (HWND main = MainWindow()) {
        GetWindowThreadProcessId(main, &process);
    }
    return process;
}

// Visible top-level windows of a class that belong to the program's process.
std::vector<HWND> ProgramWindows(const std::string& className) {
    struct Search {
        std::string className;
        DWORD process;
        std::vector<HWND> found;
    } search{className, ProgramProcess(), {}};
    if (!search.process) {
        return {};
    }
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == s->process && IsWindowVisible(window) &&
                ClassOf(window) == s->className) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) CALLBACK -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// A control of the main window or of the pilot form, by identifier.
HWND Control(int id) {
    for (const char* owner : {kMainWindowClass, kPilotFormClass}) {
        if (HWND window = FindWindowA(owner, nullptr)) {
            if (HWND control = GetDlgItem(window, id)) {
                return control;
            }
        }
    }
    return nullptr;
}

int PrintCentre(HWND window) {
    RECT place;
    if (!window || !GetWindowRect(window, &place)) {
        return 1;
    }
    std::printf("%ld %ld\n", (place.left + place.right) / 2, (place.top + place.bottom) / 2);
    return 0;
}

int PrintRect(HWND window) {
    RECT place;
    if (!window || !GetWindowRect(window, &place)) {
        return 1;
    }
    std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right - place.left,
                place.bottom - place.top);
    return 0;
}

int PrintText(HWND window) {
    if (!window) {
        return 1;
    }
    const std::string text = TextOf(window);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::printf("\n");
    return 0;
}

int CountWindows(const char* className) {
    int count = 0;
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        ++count;
    }
    std::printf("%d\n", count);
    return 0;
}

// The open message box or folder dialog: its caption, then each non-empty static text.
int PrintDialog() {
    const std::vector<HWND> dialogs = ProgramWindows("#32770");
    if (dialogs.empty()) {
        return 1;
    }
    std::printf("%s\n", TextOf(dialogs.front()).c_str());
    for (HWND child : Children(dialogs.front())) {
        if (_stricmp(ClassOf(child).c_str(), "Static") == 0 && IsWindowVisible(child)) {
            const std::string text = TextOf(child);
            if (!text.empty()) {
                std::printf("%s\n", text.c_str());
            }
        }
    }
    return 0;
}

HWND DialogButton(const std::string& text) {
    for (HWND dialog : ProgramWindows("#32770")) {
        for (HWND child : Children(dialog)) {
            if (_stricmp(ClassOf(child).c_str(), "Button") == 0 && TextOf(child) == text) {
                return child;
            }
        }
    }
    return nullptr;
}

int PrintTooltip() {
    for (HWND tip : ProgramWindows("tooltips_class32")) {
        const std::string text = TextOf(tip);
        if (!text.empty()) {
            std::printf("%s\n", text.c_str());
            return 0;
        }
    }
    return 1;
}

int Usage() {
    std::fputs(
        "usage: aerolinker-probe COMMAND\n"
        "  caption | status | memo         main window caption, status text, text area\n"
        "  first-line | caret              the text area's first line in view, its caret\n"
        "  title CLASS                     caption of a top-level window of a class\n"
        "  count CLASS                     top-level windows of a class\n"
        "  enabled ID | centre ID | text ID  a control of the main window or pilot form\n"
        "  shown CLASS | iconic | rect CLASS | window-centre CLASS | zoomed CLASS\n"
        "  normal-rect CLASS               a top-level window's state and place\n"
        "  foreground                      class of the window in front\n"
        "  focus                           identifier of the control with the keyboard focus\n"
        "  dialog | dialog-button TEXT     the open message box or folder dialog\n"
        "  tooltip                         the tooltip on show\n"
        "  minimise | place CLASS X Y | frame CLASS X Y W H\n"
        "                                  arrange windows for a test\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // A crash of the probe must fail the test at once, not wait on an error dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    if (argc < 2) {
        return Usage();
    }
    const std::string command = argv[1];
    auto number = [&](int index) { return index < argc ? std::atoi(argv[index]) : 0; };
    auto text = [&](int index) { return std::string(index < argc ? argv[index] : ""); };

    if (command == "caption") {
        return PrintText(MainWindow());
    }
    if (command == "title" && argc == 3) {
        return PrintText(FindWindowA(argv[2], nullptr));
    }
    if (command == "status") {
        return PrintText(Control(aerolinker::kIdStatus));
    }
    if (command == "status-part" && argc == 3) {
        // One panel of the status bar. The window's text is the first panel's only, and the
        // bar's own message writes into the program's memory: a buffer is lent there.
        const HWND status = Control(aerolinker::kIdStatus);
        DWORD processId = 0;
        if (!status || number(2) >= SendMessageA(status, SB_GETPARTS, 0, 0) ||
            !GetWindowThreadProcessId(status, &processId)) {
            return 1;
        }
        const HANDLE process = OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        constexpr SIZE_T kPartSize = 512;
        void* lent = process
                         ? VirtualAllocEx(process, nullptr, kPartSize, MEM_COMMIT, PAGE_READWRITE)
                         : nullptr;
        char part[kPartSize] = {};
        const bool read = lent != nullptr &&
                          SendMessageA(status, SB_GETTEXTA, static_cast<WPARAM>(number(2)),
                                       reinterpret_cast<LPARAM>(lent)) >= 0 &&
                          ReadProcessMemory(process, lent, part, kPartSize - 1, nullptr);
        if (lent != nullptr) {
            VirtualFreeEx(process, lent, 0, MEM_RELEASE);
        }
        if (process) {
            CloseHandle(process);
        }
        if (!read) {
            return 1;
        }
        std::printf("%s\n", part);
        return 0;
    }
    if (command == "memo") {
        return PrintText(Control(aerolinker::kIdMemo1));
    }
    if (command == "first-line") {
        std::printf("%d\n", static_cast<int>(SendMessageA(Control(aerolinker::kIdMemo1),
                                                          EM_GETFIRSTVISIBLELINE, 0, 0)));
        return 0;
    }
    if (command == "caret") {
        // Both ends come back in the result, as two 16-bit halves, when no pointers are given.
        const LRESULT selection = SendMessageA(Control(aerolinker::kIdMemo1), EM_GETSEL, 0, 0);
        std::printf("%d\n", static_cast<int>(HIWORD(selection)));
        return 0;
    }
    if (command == "count" && argc == 3) {
        return CountWindows(argv[2]);
    }
    if (command == "enabled" && argc == 3) {
        HWND control = Control(number(2));
        if (!control) {
            return 1;
        }
        std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        return 0;
    }
    if (command == "centre" && argc == 3) {
        return PrintCentre(Control(number(2)));
    }
    if (command == "window-centre" && argc == 3) {
        return PrintCentre(FindWindowA(argv[2], nullptr));
    }
    if (command == "text" && argc == 3) {
        return PrintText(Control(number(2)));
    }
    if (command == "shown" && argc == 3) {
        HWND window = FindWindowA(argv[2], nullptr);
        std::printf("%d\n", window && IsWindowVisible(window) ? 1 : 0);
        return 0;
    }
    if (command == "foreground") {
        HWND front = GetForegroundWindow();
        if (!front) {
            return 1;
        }
        std::printf("%s\n", ClassOf(front).c_str());
        return 0;
    }
    if (command == "focus") {
        // Another process sees the focus only through the program's window thread.
        HWND main = MainWindow();
        GUITHREADINFO thread = {};
        thread.cbSize = sizeof thread;
        if (!main || !GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &thread) ||
            !thread.hwndFocus) {
            return 1;
        }
        std::printf("%d\n", GetDlgCtrlID(thread.hwndFocus));
        return 0;
    }
    if (command == "normal-rect" && argc == 3) {
        // Where the window goes back to from maximised. Its coordinates count from the work
        // area, which is the whole screen on the tests' display.
        HWND window = FindWindowA(argv[2], nullptr);
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof placement;
        if (!window || !GetWindowPlacement(window, &placement)) {
            return 1;
        }
        const RECT& normal = placement.rcNormalPosition;
        std::printf("%ld %ld %ld %ld\n", normal.left, normal.top, normal.right - normal.left,
                    normal.bottom - normal.top);
        return 0;
    }
    if (command == "zoomed" && argc == 3) {
        HWND window = FindWindowA(argv[2], nullptr);
        if (!window) {
            return 1;
        }
        std::printf("%d\n", IsZoomed(window) ? 1 : 0);
        return 0;
    }
    if (command == "iconic") {
        HWND main = MainWindow();
        if (!main) {
            return 1;
        }
        std::printf("%d\n", IsIconic(main) ? 1 : 0);
        return 0;
    }
    if (command == "rect" && argc == 3) {
        return PrintRect(FindWindowA(argv[2], nullptr));
    }
    if (command == "dialog") {
        return PrintDialog();
    }
    if (command == "dialog-button" && argc == 3) {
        return PrintCentre(DialogButton(text(2)));
    }
    if (command == "tooltip") {
        return PrintTooltip();
    }
    if (command == "minimise") {
        HWND main = MainWindow();
        if (!main) {
            return 1;
        }
        // What the title bar's minimise button sends.
        SendMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return 0;
    }
    if (command == "place" && argc == 5) {
        HWND window = FindWindowA(argv[2], nullptr);
        if (!window) {
            return 1;
        }
        SetWindowPos(window, nullptr, number(3), number(4), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    if (command == "frame" && argc == 7) {
        HWND window = FindWindowA(argv[2], nullptr);
        if (!window) {
            return 1;
        }
        SetWindowPos(window, nullptr, number(3), number(4), number(5), number(6),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    return Usage();
}
