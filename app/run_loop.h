#pragma once
#include <windows.h>

#include "framework/app_module.h"

// Creates the main dialog, shows it and runs the thread's message loop until
// WM_QUIT; returns the quit code. A dialog that cannot be created ends the run
// at once with 1: an empty loop would hold the single-instance mutex forever.
template <class TDialog> int RunMainDialog() {
    CMessageLoop theLoop;
    g_appModule.AddMessageLoop(&theLoop);

    int result = 1;
    {
        TDialog dialog;
        if (dialog.Create(nullptr, 0) == nullptr) {
            g_appModule.RemoveMessageLoop();
            return result;
        }
        // Always SW_SHOW, whatever the process's show command.
        dialog.ShowWindow(SW_SHOW);
        result = theLoop.Run();
        // Its WM_DESTROY handling finds the loop through the module: destroy first.
        if (dialog.IsWindow())
            dialog.DestroyWindow();
        g_appModule.RemoveMessageLoop();
    }
    return result;
}
