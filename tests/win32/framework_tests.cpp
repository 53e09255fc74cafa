// The window framework: message maps, the dialog procedure's results and the message loop.
// Subclassing is proven by the controls' tests, which fall through to the edit control.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "framework/app_module.h"
#include "framework/dialog_impl.h"

namespace {

std::wstring g_trace;

LRESULT Hit(const wchar_t* mark, BOOL& bHandled, LRESULT result, bool handled = true) {
    g_trace += mark;
    bHandled = handled;
    return result;
}

struct ProbeDialog : CDialogImpl<ProbeDialog> {
    enum { IDD = 900 }; // an empty template in framework_tests.rc
    BEGIN_MSG_MAP(ProbeDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInit)
        MESSAGE_HANDLER(WM_APP, OnAppA) // declines wParam 1
        MESSAGE_HANDLER(WM_APP, OnAppB)
        COMMAND_ID_HANDLER(100, OnCommand100) // declines notification code 1
        NOTIFY_HANDLER(200, NM_CLICK, OnClick)
        MESSAGE_HANDLER(WM_COMMAND, OnAnyCommand)
    END_MSG_MAP()
    LRESULT OnInit(UINT, WPARAM, LPARAM, BOOL& h) { return Hit(L"I", h, 0x5A); }
    LRESULT OnAppA(UINT, WPARAM wParam, LPARAM, BOOL& h) { return Hit(L"A", h, 1, wParam != 1); }
    LRESULT OnAppB(UINT, WPARAM, LPARAM, BOOL& h) { return Hit(L"B", h, 2); }
    LRESULT OnCommand100(WORD code, WORD, HWND, BOOL& h) { return Hit(L"C", h, 3, code != 1); }
    LRESULT OnClick(int, LPNMHDR, BOOL& h) { return Hit(L"N", h, 4); }
    LRESULT OnAnyCommand(UINT, WPARAM, LPARAM, BOOL& h) { return Hit(L"X", h, 5); }
};

TEST(Framework, MessageMapTriesEntriesInOrderAndHonoursTheHandledFlag) {
    // message, wParam, NMHDR code and idFrom for WM_NOTIFY, result (-7: not handled), trace
    const std::tuple<UINT, WPARAM, UINT, UINT_PTR, LRESULT, const wchar_t*> rows[] = {
        {WM_APP, 0, 0, 0, 1, L"A"},
        {WM_APP, 1, 0, 0, 2, L"AB"},
        {WM_COMMAND, MAKEWPARAM(100, 1), 0, 0, 5, L"CX"}, // not the whole wParam
        {WM_NOTIFY, 0, NM_CLICK, 200, 4, L"N"},
        {WM_NOTIFY, 0, NM_RETURN, 200, -7, L""}, // code and id
    };
    for (const auto& [msg, wParam, code, idFrom, result, trace] : rows) {
        ProbeDialog probe;
        NMHDR header{nullptr, idFrom, code};
        LRESULT got = -7;
        g_trace.clear();
        const bool handled = probe.ProcessWindowMessage(nullptr, msg, wParam,
                                                        reinterpret_cast<LPARAM>(&header), got);
        EXPECT_EQ(std::tie(handled, got, g_trace),
                  std::make_tuple(result != -7, result, std::wstring(trace)));
    }
}

// Windows takes WM_INITDIALOG's result from the dialog procedure, most others from
// DWLP_MSGRESULT; unhandled messages get the default processing (WM_SETTEXT's TRUE).
TEST(Framework, DialogResultsGoWhereWindowsLooksForThem) {
    g_appModule.Init(::GetModuleHandleW(nullptr));
    ProbeDialog dlg;
    const HWND hWnd = dlg.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(::SendMessageW(hWnd, WM_INITDIALOG, 0, 0), 0x5A);
    EXPECT_EQ(::SendMessageW(hWnd, WM_COMMAND, 100, 0), 3);
    EXPECT_EQ(::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x")), TRUE);
    dlg.DestroyWindow();
}

// A filter and idle handler that logs its name; the filter consumes the watched message when
// it is the consumer. Idle handler I posts the watched message and starts a timer, then quits.
struct Listener : CMessageFilter, CIdleHandler {
    wchar_t name, consumer;
    UINT watched;
    int idleCalls = 0;
    UINT_PTR timer = 0;

    Listener(wchar_t n, wchar_t c, UINT msg) : name(n), consumer(c), watched(msg) {}

    BOOL PreTranslateMessage(MSG* pMsg) override {
        g_trace += pMsg->message == watched ? std::wstring(1, name) : L"";
        return pMsg->message == watched && name == consumer;
    }
    BOOL OnIdle() override {
        g_trace += name;
        if (name == L'I' && ++idleCalls == 1) {
            ::PostThreadMessageW(::GetCurrentThreadId(), watched, 0, 0);
            timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
                g_trace += L'T';
                ::KillTimer(nullptr, id);
            });
        } else if (name == L'I') {
            ::PostQuitMessage(static_cast<int>(watched));
        }
        return TRUE;
    }
};

TEST(Framework, LoopAsksFiltersNewestFirstAndIdlesAgainOnlyAfterIdleMessages) {
    // message, consuming filter, trace: I, J idle; C, B, A filters; T timer
    const std::tuple<UINT, wchar_t, const wchar_t*> rows[] = {
        {WM_MOUSEMOVE, 0, L"IJCBATIJ"}, {WM_NCMOUSEMOVE, 0, L"IJCBATIJ"},
        {WM_PAINT, 0, L"IJCBATIJ"},     {0x0118, 0, L"IJCBATIJ"}, // the caret's blink
        {0x0117, 0, L"IJCBAIJ"},        {WM_APP, L'B', L"IJCBIJ"},
    };
    for (const auto& [msg, consumer, trace] : rows) {
        Listener i(L'I', consumer, msg), j(L'J', consumer, msg), a(L'A', consumer, msg),
            b(L'B', consumer, msg), c(L'C', consumer, msg);
        CMessageLoop loop;
        for (CIdleHandler* handler : {&i, &j})
            loop.AddIdleHandler(handler);
        for (CMessageFilter* filter : {&a, &b, &c})
            loop.AddMessageFilter(filter);
        g_trace.clear();
        EXPECT_EQ(loop.Run(), static_cast<int>(msg));
        ::KillTimer(nullptr, i.timer);
        EXPECT_EQ(g_trace, trace) << "message " << msg;
    }
}

} // namespace
