#include "controls/key_detect_box_win.h"

#include <imm.h>

#include "controls/key_capture.h"
#include "controls/key_names.h"

namespace {
bool IsDown(int vk) {
    return (static_cast<unsigned short>(::GetKeyState(vk)) & 0x8000u) != 0;
}
} // namespace

BOOL CKeyDetectBox::SubclassWindow(HWND hWnd) {
    if (!CWindowImpl::SubclassWindow(hWnd))
        return FALSE;
    ::ImmAssociateContextEx(hWnd, nullptr, 0);
    return TRUE;
}

void CKeyDetectBox::SetHotKey(std::uint8_t key, bool ctrl, bool shift, bool alt, bool win) {
    m_vk = key;
    m_bCtrl = ctrl;
    m_bShift = shift;
    m_bAlt = alt;
    m_bWin = win;
    ShowHotKeyText();
}

void CKeyDetectBox::GetHotKey(std::uint8_t& key, bool& ctrl, bool& shift, bool& alt,
                              bool& win) const {
    key = m_vk;
    ctrl = m_bCtrl;
    shift = m_bShift;
    alt = m_bAlt;
    win = m_bWin;
}

LRESULT CKeyDetectBox::OnKeyDown(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    KeyDownState down;
    down.ctrl = IsDown(VK_CONTROL);
    down.shift = IsDown(VK_SHIFT);
    down.alt = IsDown(VK_MENU);
    down.lwin = IsDown(VK_LWIN);
    down.rwin = !down.lwin && IsDown(VK_RWIN);
    const HotKeyValue key =
        CaptureHotKey(static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam), down);
    SetHotKey(key.vk, key.ctrl, key.shift, key.alt, key.win);
    return 1;
}

void CKeyDetectBox::ShowHotKeyText() {
    if (m_hWnd)
        ::SetWindowTextW(m_hWnd, FormatHotKeyText(m_vk, m_bCtrl, m_bShift, m_bAlt, m_bWin).c_str());
}
