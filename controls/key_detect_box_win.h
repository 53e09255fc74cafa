#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/message_map.h"
#include "framework/window.h"
#include "framework/window_impl.h"

// Edit control that captures the hot key pressed into it; nothing can be typed.
class CKeyDetectBox
    : public CWindowImpl<CKeyDetectBox, CEditT<CWindow>, CWinTraits<0x56000000, 0>> {
public:
    BEGIN_MSG_MAP(CKeyDetectBox)
        MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_SYSKEYDOWN, OnKeyDown)
        MESSAGE_HANDLER(WM_CHAR, OnSwallow)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnSwallow)
        MESSAGE_HANDLER(WM_KEYUP, OnSwallow)
        MESSAGE_HANDLER(WM_SYSKEYUP, OnSwallow)
    END_MSG_MAP()

    // Takes over the dialog's edit control, without an input method: with one active, key
    // presses would arrive as VK_PROCESSKEY instead of the keys pressed.
    BOOL SubclassWindow(HWND hWnd);

    void SetHotKey(std::uint8_t key, bool ctrl, bool shift, bool alt, bool win);
    void GetHotKey(std::uint8_t& key, bool& ctrl, bool& shift, bool& alt, bool& win) const;

private:
    LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnSwallow(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    void ShowHotKeyText();

    std::uint8_t m_vk = 0;
    bool m_bCtrl = false;
    bool m_bShift = false;
    bool m_bAlt = false;
    bool m_bWin = false;
};
