#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "framework/app_module.h"
#include "ui/dlg_main.h"

namespace {

int Run(LPWSTR /*commandLine*/, int /*showCommand*/) {
    CMessageLoop theLoop;
    g_appModule.AddMessageLoop(&theLoop);

    int result = 0;
    {
        CDlgMain dlgMain;
        if (dlgMain.Create(nullptr, 0) == nullptr) {
            // Without a window there is nothing to quit from: never keep the mutex
            // with an empty loop.
            g_appModule.RemoveMessageLoop();
            return 1;
        }
        // Always SW_SHOW, whatever the show command.
        dlgMain.ShowWindow(SW_SHOW);
        result = theLoop.Run();
        if (dlgMain.IsWindow())
            dlgMain.DestroyWindow();
        g_appModule.RemoveMessageLoop();
    }
    return result;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    // Unnamespaced name: one instance per logon session. The handle stays open until exit.
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, L"RunOnlyOnceInstance_qzTetherly");
    if (mutex == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    ::CoInitialize(nullptr);
    ::DefWindowProcW(nullptr, 0, 0, 0);
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_BAR_CLASSES;
    ::InitCommonControlsEx(&icc);
    g_appModule.Init(instance);

    const int result = Run(commandLine, showCommand);

    g_appModule.Term();
    ::CoUninitialize();
    return result;
}
