#include "framework/window.h"

BOOL CWindow::DestroyWindow() {
    // Handlers run during the destruction still see m_hWnd.
    if (!::DestroyWindow(m_hWnd)) {
        return FALSE;
    }
    m_hWnd = nullptr;
    return TRUE;
}
