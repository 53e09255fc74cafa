#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/run_loop.h"
#include "framework/app_module.h"
#include "ui/dlg_main_win.h"

namespace {

int Run(LPWSTR /*commandLine*/, int /*showCommand*/) {
    return RunMainDialog<CDlgMain>();
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
