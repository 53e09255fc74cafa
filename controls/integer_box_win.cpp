#include "controls/integer_box_win.h"

#include "controls/integer_text.h"

void CIntegerBox::SetValue(std::int32_t value) {
    ::SetWindowTextW(m_hWnd, IntegerToText(value).c_str());
}

std::int32_t CIntegerBox::GetValue() const {
    wchar_t buffer[kIntegerBoxReadChars + 1] = {};
    ::GetWindowTextW(m_hWnd, buffer, static_cast<int>(kIntegerBoxReadChars + 1));
    return IntegerFromText(buffer);
}

LRESULT CIntegerBox::OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    const bool shiftDown = (static_cast<unsigned short>(::GetKeyState(VK_SHIFT)) & 0x8000u) != 0;
    if (IntegerBoxAcceptsChar(static_cast<std::uint32_t>(wParam), shiftDown)) {
        bHandled = FALSE; // the edit control inserts it
        return 0;
    }
    return 1;
}
