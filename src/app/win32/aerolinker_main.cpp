// aerolinker.exe: start-up of the Windows program in its fixed order (single-instance guard,
// main window, hidden pilot form, configuration, the airline when one is set), then the message
// loop until the main window closes. The link closes itself when the program ends.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/connection_form.h"
#include "app/win32/airline_connection.h"
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
            exitCode = RunMessageLoop([&window](MSG& message) { return window.TakeKey(message); });
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
