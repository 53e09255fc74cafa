// Message maps: a table of entries tried top to bottom, the first match wins.
//
// Each entry sets the handled flag to TRUE and calls its handler. A handler that
// leaves the flag TRUE ends the search: the message is handled, with the
// handler's result. A handler that clears it lets the search go on to the
// following entries and, when none handles it, to default processing.
#pragma once

#include <windows.h>

class CMessageMap {
public:
    virtual ~CMessageMap() = default;
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult, DWORD dwMsgMapID = 0) = 0;
};

namespace message_map_detail {

inline WORD CommandId(WPARAM wParam) {
    return static_cast<WORD>(wParam & 0xFFFF);
}
inline WORD CommandCode(WPARAM wParam) {
    return static_cast<WORD>((wParam >> 16) & 0xFFFF);
}

inline bool NotifyMatches(LPARAM lParam, UINT_PTR idFrom, UINT code) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    return header != nullptr && header->idFrom == idFrom && header->code == code;
}

} // namespace message_map_detail

#define BEGIN_MSG_MAP(theClass)                                                                    \
public:                                                                                            \
    BOOL ProcessWindowMessage([[maybe_unused]] HWND hWnd, [[maybe_unused]] UINT uMsg,              \
                              [[maybe_unused]] WPARAM wParam, [[maybe_unused]] LPARAM lParam,      \
                              [[maybe_unused]] LRESULT& lResult, DWORD dwMsgMapID = 0) override {  \
        if (dwMsgMapID == 0) {

// LRESULT func(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
#define MESSAGE_HANDLER(msg, func)                                                                 \
    if (uMsg == static_cast<UINT>(msg)) {                                                          \
        BOOL bHandled = TRUE;                                                                      \
        const LRESULT entryResult = func(uMsg, wParam, lParam, bHandled);                          \
        if (bHandled) {                                                                            \
            lResult = entryResult;                                                                 \
            return TRUE;                                                                           \
        }                                                                                          \
    }

// LRESULT func(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled)
// Only the command id (low word of wParam) is compared.
#define COMMAND_ID_HANDLER(id, func)                                                               \
    if (uMsg == WM_COMMAND && message_map_detail::CommandId(wParam) == static_cast<WORD>(id)) {    \
        BOOL bHandled = TRUE;                                                                      \
        const LRESULT entryResult =                                                                \
            func(message_map_detail::CommandCode(wParam), message_map_detail::CommandId(wParam),   \
                 reinterpret_cast<HWND>(lParam), bHandled);                                        \
        if (bHandled) {                                                                            \
            lResult = entryResult;                                                                 \
            return TRUE;                                                                           \
        }                                                                                          \
    }

// LRESULT func(int idCtrl, LPNMHDR pnmh, BOOL& bHandled)
// Both the sender's id (NMHDR::idFrom) and the notification code are compared.
#define NOTIFY_HANDLER(id, cd, func)                                                               \
    if (uMsg == WM_NOTIFY && message_map_detail::NotifyMatches(lParam, static_cast<UINT_PTR>(id),  \
                                                               static_cast<UINT>(cd))) {           \
        BOOL bHandled = TRUE;                                                                      \
        const LRESULT entryResult =                                                                \
            func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled);           \
        if (bHandled) {                                                                            \
            lResult = entryResult;                                                                 \
            return TRUE;                                                                           \
        }                                                                                          \
    }

#define END_MSG_MAP()                                                                              \
    }                                                                                              \
    return FALSE;                                                                                  \
    }
