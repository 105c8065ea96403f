// aerolinker.exe: start-up of the Windows program in its fixed order (single-instance guard,
// main window, hidden pilot form, configuration, the airline when one is set), then the message
// loop until the main window closes. The link closes itself when the program ends.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/connection_form.h"
#include "app/win32/airline_connection.h"
#include "app/win32/crash_dump.h"
#include "app/win32/main_window.h"
#include "app/win32/pilot_form.h"
#include "app/win32/single_instance.h"
#include "common/local_clock.h"
#include "common/win32/user_locale.h"
#include "link/fsuipc_link.h"
#include "link/win32/platform.h"
#include "persistence/ini_file.h"
#include "persistence/win32/services.h"
#include "rules/rule_watch.h"
#include "ui/win32/window_base.h"

namespace aerolinker {
namespace {

// Set in the environment, the program crashes on purpose once its window is up: the test of
// the crash report has no other way to make a program without faults fail.
constexpr char kCrashTestVariable[] = "AEROLINKER_CRASH_TEST";
// Posted to the main thread's own queue, so that the crash happens in the message loop, as a
// fault in a handler would, and not inside a window procedure Windows calls.
constexpr UINT kCrashTestMessage = WM_APP + 1;

bool CrashTestAsked() {
    return GetEnvironmentVariableA(kCrashTestVariable, nullptr, 0) > 0;
}

void CrashOnPurpose() {
    // Volatile both, the pointer and what it points to: the compiler can neither see that it
    // is null nor drop the write as one nobody reads.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 0;
}

int Run(HINSTANCE module, int showCommand) {
    SingleInstanceGuard guard;
    if (guard.AnotherCopyRunning()) {
        SingleInstanceGuard::BringFirstCopyForward();
        return 0;
    }

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell's folder-browse dialog needs COM on this thread.
    const bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    int exitCode = 1;
    {
        Win32LinkPlatform platform;
        FsuipcLink link(platform);  // its destructor closes the link at the end
        // The settings are the user's own; an older copy's file comes across at the first start.
        Win32SettingsFolder settingsFolder;
        const Win32VirtualStoreFolder virtualStore;
        const Win32WindowsFolder windowsFolder;
        TakeOverOlderSettings(settingsFolder, {&virtualStore, &windowsFolder});
        ShellFileCopier fileCopier;
        SystemClock clock;

        const RegionalSettings regional = ReadUserRegionalSettings();
        IniFile config(ConfigFilePath(settingsFolder), regional);

        MainWindow window(module);
        TFConnection form(AppServices{link, window, config, settingsFolder, fileCopier, clock,
                                      regional, DefaultLogFolder()});
        // From here a crash leaves its report where the pilot's logs go.
        const CrashDumpHandler crashDump([&form] { return form.LogFolder(); });
        // The airline's rules, from the configuration's [Rules] at each connect.
        RuleWatch rules(form.Session(), config);
        form.Subscribe(rules);
        // The pilot's API key is the user's own as well, kept beside the configuration.
        AirlineConnection airline(form, config, window,
                                  settingsFolder.Path() + "\\" + kAirlineKeyFileName);
        airline.WatchRules(rules);
        TFPilot pilotForm(module, form, airline);
        // The window places are the user's own too, kept in the same file.
        if (window.Create(form, config) && pilotForm.Create(window.hwnd())) {
            window.SetPilotForm(&pilotForm);
            form.RunGuarded([&form] { form.FormCreate(); });
            // The outbox is in the log folder, known from here on.
            form.RunGuarded([&airline] { airline.Start(); });
            window.SetAirline(&airline);
            window.Show(showCommand);
            if (CrashTestAsked()) {
                PostThreadMessageA(GetCurrentThreadId(), kCrashTestMessage, 0, 0);
            }
            exitCode = RunMessageLoop([&window](MSG& message) {
                if (message.hwnd == nullptr && message.message == kCrashTestMessage) {
                    CrashOnPurpose();
                }
                return window.TakeKey(message);
            });
        }
        window.Destroy();
    }

    if (comReady) {
        CoUninitialize();
    }
    return exitCode;
}

}  // namespace
}  // namespace aerolinker

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int showCommand) {
    return aerolinker::Run(module, showCommand);
}
