#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/app_module.h"
#include "framework/ddx.h"
#include "framework/dialog_impl.h"
#include "framework/strings.h"
#include "framework/window_impl.h"
#include "framework_test_ids.h"
#include "win32_test_support.h"

namespace {

struct Framework : ::testing::Test {
    void SetUp() override { g_appModule.Init(GetModuleHandleW(nullptr)); }
};

// Records the watched message as D, swallowing letters, and timers as T; owns a message window.
class Recorder : public CWindowImpl<Recorder> {
public:
    UINT watched = WM_CHAR;
    std::wstring trace;

    Recorder() = default;
    explicit Recorder(UINT msg) : watched(msg) {
        SubclassWindow(CreateWindowExW(0, L"Static", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       nullptr, nullptr));
    }
    ~Recorder() override { DestroyWindow(); }
    BEGIN_MSG_MAP(Recorder)
        MESSAGE_HANDLER(watched, OnMessage)
        MESSAGE_HANDLER(WM_TIMER, OnMessage)
    END_MSG_MAP()

    LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) {
        trace += uMsg == WM_TIMER ? L"T" : L"D";
        bHandled = uMsg == WM_TIMER || IsCharAlphaW(static_cast<wchar_t>(wParam));
        return 0x77;
    }
};

class ProbeDialog : public CDialogImpl<ProbeDialog>, public CWinDataExchange<ProbeDialog> {
public:
    enum { IDD = IDD_FW_PROBE };

    std::wstring trace;
    std::vector<UINT> early;
    LPARAM initParam = 0;
    int endCode = 0;
    HWND finalWnd = nullptr;
    Recorder first, second;

    BEGIN_MSG_MAP(ProbeDialog)
        MESSAGE_HANDLER(WM_SETFONT, OnEarly)
        MESSAGE_HANDLER(WM_INITDIALOG, OnEarly)
        MESSAGE_HANDLER(WM_APP, OnAppA) // declines wParam 1
        MESSAGE_HANDLER(WM_APP, OnAppB)
        COMMAND_ID_HANDLER(100, OnCommand100) // declines notification code 1
        NOTIFY_HANDLER(200, NM_CLICK, OnClick)
        MESSAGE_HANDLER(WM_COMMAND, OnAnyCommand)
    END_MSG_MAP()

    BEGIN_DDX_MAP(ProbeDialog)
        DDX_CONTROL(IDC_FW_FIRST, first)
        DDX_CONTROL(IDC_FW_SECOND, second)
    END_DDX_MAP()

    void OnFinalMessage(HWND hWnd) override { finalWnd = hWnd; }
    LRESULT OnEarly(UINT uMsg, WPARAM, LPARAM lParam, BOOL& bHandled) {
        early.push_back(uMsg);
        initParam = lParam;
        bHandled = uMsg == WM_INITDIALOG;
        if (bHandled && endCode != 0) {
            EndDialog(endCode);
        }
        return 0x5A;
    }
    LRESULT Hit(const std::wstring& mark, BOOL& bHandled, LRESULT result, BOOL handled = TRUE) {
        trace += mark;
        bHandled = handled;
        return result;
    }
    LRESULT OnAppA(UINT, WPARAM wParam, LPARAM, BOOL& h) { return Hit(L"A", h, 1, wParam != 1); }
    LRESULT OnAppB(UINT, WPARAM, LPARAM, BOOL& h) { return Hit(L"B", h, 2); }
    LRESULT OnCommand100(WORD code, WORD, HWND, BOOL& h) {
        return Hit(L"C" + std::to_wstring(code), h, 3, code != 1);
    }
    LRESULT OnClick(int id, LPNMHDR, BOOL& h) { return Hit(L"N" + std::to_wstring(id), h, 4); }
    LRESULT OnAnyCommand(UINT, WPARAM, LPARAM, BOOL& h) { return Hit(L"X", h, 5); }
};

struct AbsentDialog : CDialogImpl<AbsentDialog> {
    enum { IDD = IDD_FW_ABSENT };
    BEGIN_MSG_MAP(AbsentDialog)
    END_MSG_MAP()
};

TEST_F(Framework, MessageMapTriesEntriesInOrderAndHonoursTheHandledFlag) {
    struct Row {
        UINT msg, code;          // code: NMHDR::code for WM_NOTIFY
        UINT_PTR wParam, lParam; // lParam: NMHDR::idFrom for WM_NOTIFY
        LRESULT result;          // -7 when not handled
        const wchar_t* trace;
    };
    const Row rows[] = {
        {WM_APP, 0, 0, 0, 1, L"A"},
        {WM_APP, 0, 1, 0, 2, L"AB"},
        {WM_APP + 1, 0, 0, 0, -7, L""},
        {WM_COMMAND, 0, MAKEWPARAM(100, EN_CHANGE), 0, 3, L"C768"},
        {WM_COMMAND, 0, MAKEWPARAM(100, 1), 0, 5, L"C1X"},
        {WM_COMMAND, 0, MAKEWPARAM(101, 0), 0, 5, L"X"},
        {WM_NOTIFY, NM_CLICK, 200, 200, 4, L"N200"},
        {WM_NOTIFY, NM_RETURN, 200, 200, -7, L""},
        {WM_NOTIFY, NM_CLICK, 200, 201, -7, L""}, // the id is the header's
        {WM_NOTIFY, NM_CLICK, 201, 200, 4, L"N201"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "msg " << row.msg << " wParam " << row.wParam);
        ProbeDialog probe;
        NMHDR header{nullptr, row.lParam, row.code};
        const LPARAM lParam = reinterpret_cast<LPARAM>(row.msg == WM_NOTIFY ? &header : nullptr);
        LRESULT result = -7;
        EXPECT_EQ(row.result != -7,
                  probe.ProcessWindowMessage(nullptr, row.msg, row.wParam, lParam, result));
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(std::wstring(row.trace), probe.trace);
    }
}

TEST_F(Framework, DialogsGetTheirObjectFirstAndResultsWhereWindowsLooks) {
    ProbeDialog dlg;
    const HWND hWnd = dlg.Create(nullptr, 0x1234ABCD);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ((std::vector<UINT>{WM_SETFONT, WM_INITDIALOG}), dlg.early);
    EXPECT_EQ(0x1234ABCD, dlg.initParam);
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 0);
    EXPECT_EQ(0x5A, ::SendMessageW(dlg.m_hWnd, WM_INITDIALOG, 0, 0));
    EXPECT_EQ(0, GetWindowLongPtrW(dlg, DWLP_MSGRESULT));
    EXPECT_EQ(3, ::SendMessageW(dlg.m_hWnd, WM_COMMAND, 100, 0));
    EXPECT_EQ(3, GetWindowLongPtrW(dlg, DWLP_MSGRESULT));
    EXPECT_EQ(TRUE,
              ::SendMessageW(dlg.m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"default")));
    EXPECT_EQ(L"default", WindowText(dlg));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(hWnd, dlg.finalWnd);

    for (int code : {2, 0x10000}) {
        ProbeDialog modal;
        modal.endCode = code;
        EXPECT_EQ(code, modal.DoModal(nullptr, 0x55));
        EXPECT_EQ(0x55, modal.initParam);
    }
    AbsentDialog absent;
    EXPECT_EQ(-1, absent.DoModal(nullptr));
    EXPECT_EQ(nullptr, g_appModule.ExtractCreateWndData()); // not left for the next window
    EXPECT_EQ(nullptr, absent.Create(nullptr));
    EXPECT_EQ(nullptr, g_appModule.ExtractCreateWndData());
}

TEST_F(Framework, ControlsAreSubclassedOnceAndUnhandledMessagesReachTheEdit) {
    ProbeDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr));
    const HWND edit = dlg.GetDlgItem(IDC_FW_FIRST), other = dlg.GetDlgItem(IDC_FW_SECOND);
    EXPECT_TRUE(dlg.DoDataExchange(FALSE, IDC_FW_FIRST));
    EXPECT_EQ(nullptr, dlg.second.m_hWnd);
    EXPECT_TRUE(dlg.DoDataExchange());
    EXPECT_TRUE(dlg.DoDataExchange());
    EXPECT_FALSE(dlg.first.SubclassWindow(other));
    EXPECT_EQ(edit, dlg.first.m_hWnd);
    EXPECT_EQ(other, dlg.second.m_hWnd);
    EXPECT_EQ(0x77, SendMessageW(edit, WM_CHAR, L'a', 0)); // swallowed
    EXPECT_EQ(1, SendMessageW(edit, WM_CHAR, L'5', 0));    // the edit control's own answer
    EXPECT_EQ(1, SendMessageW(other, WM_CHAR, L'7', 0));
    EXPECT_EQ(L"5", WindowText(edit));
    EXPECT_EQ(L"7", WindowText(other));
    EXPECT_EQ(L"DD", dlg.first.trace);
    EXPECT_EQ(L"D", dlg.second.trace);
    EXPECT_EQ(edit, dlg.first.UnsubclassWindow());
    SendMessageW(edit, WM_CHAR, L'z', 0);
    EXPECT_EQ(L"5z", WindowText(edit));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(nullptr, dlg.second.m_hWnd);
}

// Filter or idle handler recording its name; idle handler I posts and starts a timer, then quits.
struct Listener : CMessageFilter, CIdleHandler {
    wchar_t name;
    Recorder* sink;
    bool consume;
    int quitCode, idleCalls = 0;

    Listener(wchar_t n, Recorder* s, wchar_t consumer, int quit = 0)
        : name(n), sink(s), consume(n == consumer), quitCode(quit) {}
    BOOL PreTranslateMessage(MSG* pMsg) override {
        const bool watched = pMsg->message == sink->watched;
        sink->trace += watched ? std::wstring(1, name) : L"";
        return watched && consume;
    }
    BOOL OnIdle() override {
        sink->trace += name;
        if (name == L'I' && ++idleCalls == 1) {
            sink->PostMessage(sink->watched);
            SetTimer(*sink, 1, 200, nullptr);
        } else if (name == L'I') {
            PostQuitMessage(quitCode);
        }
        return TRUE;
    }
};

TEST_F(Framework, LoopAsksFiltersNewestFirstAndIdlesAgainOnlyAfterIdleMessages) {
    struct Row {
        UINT msg;
        wchar_t consumer;
        int quitCode;
        const wchar_t* trace; // I, J idle; C, B, A filters; D dispatched; T timer
    };
    // After the first four only the timer brings the next idle period.
    const Row rows[] = {
        {WM_MOUSEMOVE, 0, 0, L"IJCBADTIJ"}, {WM_NCMOUSEMOVE, 0, 0, L"IJCBADTIJ"},
        {WM_PAINT, 0, 0, L"IJCBADTIJ"},     {0x0118, 0, 0, L"IJCBADTIJ"},
        {0x0117, 0, 0, L"IJCBADIJ"},        {WM_APP, L'B', 42, L"IJCBIJ"},
        {WM_APP, L'C', -1, L"IJCIJ"},       {WM_APP, L'A', 7, L"IJCBAIJ"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "msg " << row.msg << " consumer " << static_cast<int>(row.consumer));
        Recorder sink(row.msg);
        CMessageLoop loop;
        Listener i(L'I', &sink, 0, row.quitCode), j(L'J', &sink, 0);
        Listener a(L'A', &sink, row.consumer), b(L'B', &sink, row.consumer),
            c(L'C', &sink, row.consumer);
        EXPECT_TRUE(loop.AddIdleHandler(&i) && loop.AddIdleHandler(&j));
        EXPECT_TRUE(loop.AddMessageFilter(&a) && loop.AddMessageFilter(&b) &&
                    loop.AddMessageFilter(&c));
        EXPECT_EQ(row.quitCode, loop.Run());
        EXPECT_EQ(std::wstring(row.trace), sink.trace);
    }
}

TEST_F(Framework, ModuleKeepsOneLoopPerThread) {
    CMessageLoop mainLoop, otherLoop;
    ASSERT_TRUE(g_appModule.AddMessageLoop(&mainLoop));
    EXPECT_FALSE(g_appModule.AddMessageLoop(&otherLoop));
    DWORD otherId = 0;
    std::thread([&] {
        otherId = GetCurrentThreadId();
        g_appModule.AddMessageLoop(&otherLoop);
    }).join();
    EXPECT_TRUE(g_appModule.RemoveMessageLoop());
    EXPECT_EQ(nullptr, g_appModule.GetMessageLoop());
    EXPECT_EQ(&otherLoop, g_appModule.GetMessageLoop(otherId));
}

TEST_F(Framework, LoadResourceStringLoadsLongTextsAndNothingForMissingIds) {
    const std::wstring text = LoadResourceString(IDS_FW_700);
    EXPECT_EQ(700u, text.size());
    EXPECT_EQ(L"3456END", text.substr(693));
    EXPECT_EQ(L"", LoadResourceString(IDS_FW_ABSENT));
}

} // namespace
