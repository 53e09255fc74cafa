// The window framework: message maps, the dialog procedure's results and the message loop.
// Subclassing is proven by the main dialog's boxes (dialog_tests.cpp), which fall through to
// the edit control.
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

// Entries are tried in order and a handler that clears the handled flag passes the message
// on. Windows takes WM_INITDIALOG's result from the dialog procedure, the others' from
// DWLP_MSGRESULT, and an unhandled message gets the default processing.
TEST(Framework, MessagesGoThroughTheMapInOrderAndResultsWhereWindowsLooks) {
    g_appModule.Init(::GetModuleHandleW(nullptr));
    ProbeDialog dlg;
    const HWND hWnd = dlg.Create(nullptr);
    ASSERT_NE(hWnd, nullptr);
    // message, wParam, NMHDR code and idFrom for WM_NOTIFY, result, trace
    const std::tuple<UINT, WPARAM, UINT, UINT_PTR, LRESULT, const wchar_t*> rows[] = {
        {WM_INITDIALOG, 0, 0, 0, 0x5A, L"I"},
        {WM_APP, 0, 0, 0, 1, L"A"},
        {WM_APP, 1, 0, 0, 2, L"AB"},
        {WM_COMMAND, MAKEWPARAM(100, 1), 0, 0, 5, L"CX"}, // not the whole wParam
        {WM_NOTIFY, 0, NM_CLICK, 200, 4, L"N"},
        {WM_NOTIFY, 0, NM_RETURN, 200, 0, L""},   // code and id must match
        {WM_QUERYENDSESSION, 0, 0, 0, TRUE, L""}, // the default's answer
    };
    for (const auto& [msg, wParam, code, idFrom, result, trace] : rows) {
        NMHDR header{nullptr, idFrom, code};
        g_trace.clear();
        EXPECT_EQ(::SendMessageW(hWnd, msg, wParam, reinterpret_cast<LPARAM>(&header)), result)
            << trace;
        EXPECT_EQ(g_trace, trace);
    }
    dlg.DestroyWindow();
}

// A filter that logs its name and consumes the message when told to.
struct Filter : CMessageFilter {
    wchar_t name;
    bool consume;
    Filter(wchar_t n, bool c) : name(n), consume(c) {}
    BOOL PreTranslateMessage(MSG*) override { return g_trace += name, consume; }
};

struct Loop : CMessageLoop {
    using CMessageLoop::PreTranslateMessage;
};

// Filters are asked newest first, until one consumes the message. Mouse moves, paints and the
// caret's blink do not start a new idle period; other messages do.
TEST(Framework, LoopAsksFiltersNewestFirstAndIdlesAgainOnlyAfterIdleMessages) {
    Loop loop;
    Filter a(L'A', false), b(L'B', true), c(L'C', false);
    for (CMessageFilter* filter : {&a, &b, &c})
        loop.AddMessageFilter(filter);
    MSG msg{};
    g_trace.clear();
    EXPECT_TRUE(loop.PreTranslateMessage(&msg));
    EXPECT_EQ(g_trace, L"CB");
    for (UINT message : {WM_MOUSEMOVE, WM_NCMOUSEMOVE, WM_PAINT, 0x0118, WM_TIMER, WM_KEYDOWN}) {
        msg.message = message;
        EXPECT_EQ(CMessageLoop::IsIdleMessage(&msg), message == WM_TIMER || message == WM_KEYDOWN)
            << "message " << message;
    }
}

} // namespace
