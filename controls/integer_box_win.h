#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/message_map.h"
#include "framework/window.h"
#include "framework/window_impl.h"

// Edit control that only lets the characters of a signed decimal integer be typed.
class CIntegerBox : public CWindowImpl<CIntegerBox, CEditT<CWindow>, CWinTraits<0x56000000, 0>> {
public:
    BEGIN_MSG_MAP(CIntegerBox)
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_CONTEXTMENU, OnSwallow)
        MESSAGE_HANDLER(WM_KEYUP, OnSwallow)
        MESSAGE_HANDLER(WM_SYSKEYDOWN, OnSwallow)
        MESSAGE_HANDLER(WM_SYSKEYUP, OnSwallow)
    END_MSG_MAP()

    void SetValue(std::int32_t value);
    std::int32_t GetValue() const;

private:
    LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnSwallow(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
};
