#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <thread>
#include <vector>

#include "framework/framework.h"
#include "framework_test_ids.h"

namespace {

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class Framework : public ::testing::Test {
protected:
    void SetUp() override { g_appModule.Init(GetModuleHandleW(nullptr)); }
    void TearDown() override {
        PumpMessages();
        g_appModule.Term();
    }
};

// ---- message map dispatch ----

class MapProbe : public CMessageMap {
public:
    std::wstring trace;
    bool appAClears = false;
    bool cmdClears = false;

    BEGIN_MSG_MAP(MapProbe)
        MESSAGE_HANDLER(WM_APP, OnAppA)
        MESSAGE_HANDLER(WM_APP, OnAppB)
        COMMAND_ID_HANDLER(100, OnCommand100)
        NOTIFY_HANDLER(200, NM_CLICK, OnClick200)
        MESSAGE_HANDLER(WM_COMMAND, OnAnyCommand)
    END_MSG_MAP()

private:
    LRESULT OnAppA(UINT, WPARAM, LPARAM, BOOL& bHandled) {
        trace += L"A";
        bHandled = !appAClears;
        return 1;
    }
    LRESULT OnAppB(UINT, WPARAM, LPARAM, BOOL&) {
        trace += L"B";
        return 2;
    }
    LRESULT OnCommand100(WORD code, WORD id, HWND ctl, BOOL& bHandled) {
        trace += L"C" + std::to_wstring(id) + L":" + std::to_wstring(code) + L":" +
                 std::to_wstring(reinterpret_cast<UINT_PTR>(ctl));
        bHandled = !cmdClears;
        return 3;
    }
    LRESULT OnClick200(int idCtrl, LPNMHDR pnmh, BOOL&) {
        trace += L"N" + std::to_wstring(idCtrl) + L":" + std::to_wstring(pnmh->idFrom);
        return 4;
    }
    LRESULT OnAnyCommand(UINT, WPARAM, LPARAM, BOOL&) {
        trace += L"X";
        return 5;
    }
};

TEST_F(Framework, MessageMapTriesEntriesInOrderAndHonoursTheHandledFlag) {
    struct Row {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        UINT_PTR idFrom;
        UINT code;
        bool appAClears, cmdClears;
        BOOL handled;
        LRESULT result;
        const wchar_t* trace;
    };
    const Row rows[] = {
        {WM_APP, 0, 0, 0, 0, false, false, TRUE, 1, L"A"},
        {WM_APP, 0, 0, 0, 0, true, false, TRUE, 2, L"AB"},
        {WM_APP + 1, 0, 0, 0, 0, false, false, FALSE, -7, L""},
        {WM_COMMAND, MAKEWPARAM(100, 0), 0x1234, 0, 0, false, false, TRUE, 3, L"C100:0:4660"},
        {WM_COMMAND, MAKEWPARAM(100, EN_CHANGE), 0, 0, 0, false, false, TRUE, 3, L"C100:768:0"},
        {WM_COMMAND, MAKEWPARAM(100, 1), 0, 0, 0, false, true, TRUE, 5, L"C100:1:0X"},
        {WM_COMMAND, MAKEWPARAM(101, 0), 0, 0, 0, false, false, TRUE, 5, L"X"},
        {WM_NOTIFY, 200, 0, 200, NM_CLICK, false, false, TRUE, 4, L"N200:200"},
        {WM_NOTIFY, 200, 0, 200, NM_RETURN, false, false, FALSE, -7, L""},
        {WM_NOTIFY, 201, 0, 201, NM_CLICK, false, false, FALSE, -7, L""},
        // The sender's id is taken from the header, not from wParam.
        {WM_NOTIFY, 200, 0, 201, NM_CLICK, false, false, FALSE, -7, L""},
        {WM_NOTIFY, 201, 0, 200, NM_CLICK, false, false, TRUE, 4, L"N201:200"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message()
                     << "msg " << row.msg << " wParam " << row.wParam << " code " << row.code);
        MapProbe probe;
        probe.appAClears = row.appAClears;
        probe.cmdClears = row.cmdClears;
        NMHDR header{nullptr, row.idFrom, row.code};
        const LPARAM lParam = row.msg == WM_NOTIFY ? reinterpret_cast<LPARAM>(&header) : row.lParam;
        LRESULT result = -7;
        EXPECT_EQ(row.handled,
                  probe.ProcessWindowMessage(nullptr, row.msg, row.wParam, lParam, result));
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(std::wstring(row.trace), probe.trace);
    }
}

// ---- dialogs ----

class FilterEdit : public CWindowImpl<FilterEdit, CEditT<CWindow>> {
public:
    int charCalls = 0;
    int finalCalls = 0;
    HWND finalWnd = nullptr;

    BEGIN_MSG_MAP(FilterEdit)
        MESSAGE_HANDLER(WM_CHAR, OnChar)
        MESSAGE_HANDLER(WM_APP, OnBracketText)
    END_MSG_MAP()

    void OnFinalMessage(HWND hWnd) override {
        ++finalCalls;
        finalWnd = hWnd;
    }

private:
    // Letters are swallowed; everything else goes on to the edit control.
    LRESULT OnChar(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
        ++charCalls;
        bHandled = IsCharAlphaW(static_cast<wchar_t>(wParam));
        return 0x77;
    }
    LRESULT OnBracketText(UINT, WPARAM, LPARAM lParam, BOOL&) {
        const std::wstring text =
            L"[" + std::wstring(reinterpret_cast<const wchar_t*>(lParam)) + L"]";
        return DefWindowProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
};

class ProbeDialog : public CDialogImpl<ProbeDialog>, public CWinDataExchange<ProbeDialog> {
public:
    enum { IDD = IDD_FW_PROBE };

    std::vector<UINT> mapped;
    HWND wndAtFirstMessage = nullptr;
    LPARAM initParam = 0;
    LRESULT initResult = TRUE;
    WPARAM endCode = 0;
    bool passSetText = true;
    int finalCalls = 0;
    HWND finalWnd = nullptr;
    FilterEdit first;
    FilterEdit second;

    BEGIN_MSG_MAP(ProbeDialog)
        MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
        MESSAGE_HANDLER(WM_APP, OnEnd)
        COMMAND_ID_HANDLER(300, OnCommand300)
    END_MSG_MAP()

    BEGIN_DDX_MAP(ProbeDialog)
        DDX_CONTROL(IDC_FW_FIRST, first)
        DDX_CONTROL(IDC_FW_SECOND, second)
    END_DDX_MAP()

    void OnFinalMessage(HWND hWnd) override {
        ++finalCalls;
        finalWnd = hWnd;
    }

private:
    LRESULT OnSetFont(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled) {
        if (mapped.empty()) {
            wndAtFirstMessage = m_hWnd;
        }
        mapped.push_back(uMsg);
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnInitDialog(UINT uMsg, WPARAM, LPARAM lParam, BOOL&) {
        mapped.push_back(uMsg);
        initParam = lParam;
        if (endCode != 0) {
            PostMessage(WM_APP, endCode);
        }
        return initResult;
    }
    LRESULT OnSetText(UINT, WPARAM, LPARAM, BOOL& bHandled) {
        bHandled = !passSetText;
        return 0x33;
    }
    LRESULT OnEnd(UINT, WPARAM wParam, LPARAM, BOOL&) {
        EndDialog(static_cast<int>(wParam));
        return 0;
    }
    LRESULT OnCommand300(WORD, WORD, HWND, BOOL&) { return 0x55; }
};

class AbsentDialog : public CDialogImpl<AbsentDialog> {
public:
    enum { IDD = IDD_FW_ABSENT };
    BEGIN_MSG_MAP(AbsentDialog)
    END_MSG_MAP()
};

TEST_F(Framework, DialogResultsGoToTheReturnValueOrToMsgResult) {
    struct Row {
        UINT msg;
        WPARAM wParam;
        const wchar_t* text;
        bool passSetText;
        LRESULT sendResult;
        LONG_PTR msgResult;
        const wchar_t* caption;
    };
    const Row rows[] = {
        {WM_INITDIALOG, 0, nullptr, true, 0x5A, 0, L"Probe"},
        {WM_COMMAND, MAKEWPARAM(300, BN_CLICKED), nullptr, true, 0x55, 0x55, L"Probe"},
        {WM_COMMAND, MAKEWPARAM(300, 0x7777), nullptr, true, 0x55, 0x55, L"Probe"},
        {WM_COMMAND, MAKEWPARAM(301, BN_CLICKED), nullptr, true, 0, 0, L"Probe"},
        {WM_SETTEXT, 0, L"kept out", false, 0x33, 0x33, L"Probe"},
        {WM_SETTEXT, 0, L"let through", true, TRUE, 0, L"let through"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "msg " << row.msg << " wParam " << row.wParam);
        ProbeDialog dlg;
        dlg.initResult = 0x5A;
        dlg.passSetText = row.passSetText;
        HWND hWnd = dlg.Create(nullptr, 0x1234ABCD);
        ASSERT_NE(nullptr, hWnd);
        // The object was found at the first message (WM_SETFONT); lParam stayed the caller's.
        EXPECT_EQ(hWnd, dlg.wndAtFirstMessage);
        EXPECT_EQ((std::vector<UINT>{WM_SETFONT, WM_INITDIALOG}), dlg.mapped);
        EXPECT_EQ(0x1234ABCD, dlg.initParam);
        const LRESULT sent =
            dlg.SendMessage(row.msg, row.wParam, reinterpret_cast<LPARAM>(row.text));
        EXPECT_EQ(row.sendResult, sent);
        EXPECT_EQ(row.msgResult, GetWindowLongPtrW(dlg, DWLP_MSGRESULT));
        EXPECT_EQ(std::wstring(row.caption), dlg.GetWindowText());
        EXPECT_TRUE(dlg.DestroyWindow());
        EXPECT_EQ(nullptr, dlg.m_hWnd);
        EXPECT_EQ(hWnd, dlg.finalWnd);
    }
}

TEST_F(Framework, DoModalReturnsTheEndCodeAndMinusOneWithoutTemplate) {
    for (WPARAM code : {1, 2, 7, 0x10000}) {
        SCOPED_TRACE(::testing::Message() << "end code " << code);
        ProbeDialog dlg;
        dlg.endCode = code;
        EXPECT_EQ(static_cast<INT_PTR>(code), dlg.DoModal(nullptr, 0x55));
        EXPECT_EQ((std::vector<UINT>{WM_SETFONT, WM_INITDIALOG}), dlg.mapped);
        EXPECT_EQ(0x55, dlg.initParam);
        EXPECT_EQ(nullptr, dlg.m_hWnd);
        EXPECT_EQ(1, dlg.finalCalls);
        EXPECT_EQ(dlg.wndAtFirstMessage, dlg.finalWnd);
    }

    // The hand-over slot must not be left for the next window.
    AbsentDialog absent;
    EXPECT_EQ(-1, absent.DoModal(nullptr));
    EXPECT_EQ(nullptr, g_appModule.ExtractCreateWndData());
    EXPECT_EQ(nullptr, absent.Create(nullptr));
    EXPECT_EQ(nullptr, g_appModule.ExtractCreateWndData());
}

// ---- subclassing and data exchange ----

TEST_F(Framework, SubclassedEditSeesMessagesFirstAndPassesTheRestOn) {
    ProbeDialog dlg;
    ASSERT_NE(nullptr, dlg.Create(nullptr));
    HWND edit = dlg.GetDlgItem(IDC_FW_FIRST);
    ASSERT_TRUE(dlg.first.SubclassWindow(edit));

    struct Row {
        UINT msg;
        WPARAM wParam;
        const wchar_t* text;
        LRESULT result;
        const wchar_t* after;
    };
    const Row rows[] = {
        {WM_CHAR, L'a', nullptr, 0x77, L""},       // swallowed
        {WM_CHAR, L'5', nullptr, 1, L"5"},         // passed on: the edit control answers 1
        {WM_CHAR, L'Q', nullptr, 0x77, L"5"},      // swallowed
        {WM_CHAR, L'-', nullptr, 1, L"5-"},        // passed on
        {WM_SETTEXT, 0, L"hello", TRUE, L"hello"}, // not in the map
        {WM_APP, 0, L"x", TRUE, L"[x]"},           // handler calls the previous procedure
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "msg " << row.msg << " wParam " << row.wParam);
        EXPECT_EQ(row.result,
                  SendMessageW(edit, row.msg, row.wParam, reinterpret_cast<LPARAM>(row.text)));
        EXPECT_EQ(std::wstring(row.after), dlg.first.GetWindowText());
    }
    EXPECT_EQ(4, dlg.first.charCalls);

    HWND other = dlg.GetDlgItem(IDC_FW_SECOND);
    HWND dead = CreateWindowExW(0, L"Edit", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_NE(nullptr, dead);
    DestroyWindow(dead);
    FilterEdit fresh;
    EXPECT_FALSE(dlg.first.SubclassWindow(edit));
    EXPECT_FALSE(dlg.first.SubclassWindow(other));
    EXPECT_FALSE(fresh.SubclassWindow(nullptr));
    EXPECT_FALSE(fresh.SubclassWindow(dead));
    EXPECT_EQ(edit, dlg.first.m_hWnd);
    SendMessageW(other, WM_CHAR, L'b', 0);
    EXPECT_EQ(L"b", CWindow(other).GetWindowText());
    EXPECT_EQ(4, dlg.first.charCalls);

    EXPECT_EQ(edit, dlg.first.UnsubclassWindow());
    EXPECT_EQ(nullptr, dlg.first.m_hWnd);
    CWindow(edit).SetWindowText(L"");
    SendMessageW(edit, WM_CHAR, L'z', 0);
    EXPECT_EQ(4, dlg.first.charCalls);
    EXPECT_EQ(L"z", CWindow(edit).GetWindowText());

    ASSERT_TRUE(dlg.first.SubclassWindow(edit));
    dlg.DestroyWindow();
    EXPECT_EQ(nullptr, dlg.first.m_hWnd);
    EXPECT_EQ(1, dlg.first.finalCalls);
    EXPECT_EQ(edit, dlg.first.finalWnd);
}

TEST_F(Framework, DdxControlAttachesUnattachedMembersOnly) {
    enum Pre { NoPre, FirstToSecond };
    struct Row {
        Pre pre;
        UINT ctlId;
        int firstItem, secondItem; // dialog item each member ends up on, 0 for none
    };
    const Row rows[] = {
        {NoPre, static_cast<UINT>(-1), IDC_FW_FIRST, IDC_FW_SECOND},
        {NoPre, IDC_FW_SECOND, 0, IDC_FW_SECOND},
        {NoPre, IDC_FW_FIRST, IDC_FW_FIRST, 0},
        {FirstToSecond, static_cast<UINT>(-1), IDC_FW_SECOND, IDC_FW_SECOND},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "pre " << row.pre << " ctl " << row.ctlId);
        ProbeDialog dlg;
        ASSERT_NE(nullptr, dlg.Create(nullptr));
        if (row.pre == FirstToSecond) {
            ASSERT_TRUE(dlg.first.SubclassWindow(dlg.GetDlgItem(IDC_FW_SECOND)));
        }
        EXPECT_TRUE(dlg.DoDataExchange(FALSE, row.ctlId));
        EXPECT_TRUE(dlg.DoDataExchange(FALSE, row.ctlId));
        const HWND expectFirst = row.firstItem ? dlg.GetDlgItem(row.firstItem) : nullptr;
        const HWND expectSecond = row.secondItem ? dlg.GetDlgItem(row.secondItem) : nullptr;
        EXPECT_EQ(expectFirst, dlg.first.m_hWnd);
        EXPECT_EQ(expectSecond, dlg.second.m_hWnd);
        // Each attached member sees a message to its window exactly once.
        if (expectFirst != nullptr) {
            SendMessageW(expectFirst, WM_CHAR, L'1', 0);
            EXPECT_EQ(1, dlg.first.charCalls);
        }
        dlg.DestroyWindow();
    }
}

// ---- message loop ----

// Message-only window that records what reaches it.
struct Sink {
    HWND hWnd = nullptr;
    UINT watched = WM_APP;
    std::wstring trace;

    static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Sink*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self != nullptr && msg == WM_TIMER) {
            KillTimer(hWnd, wParam);
            self->trace += L"T";
            return 0;
        }
        if (self != nullptr && msg == self->watched) {
            self->trace += L"D";
            return 0;
        }
        return DefWindowProcW(hWnd, msg, wParam, lParam);
    }

    Sink() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FrameworkTestSink";
        RegisterClassW(&wc);
        hWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Sink() { DestroyWindow(hWnd); }
};

struct Filter : CMessageFilter {
    wchar_t name;
    std::wstring* trace;
    bool consume = false;
    CMessageLoop* loop = nullptr;
    CMessageFilter* removeOnAsk = nullptr;

    Filter(wchar_t n, std::wstring* t) : name(n), trace(t) {}
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message != WM_APP) {
            return FALSE;
        }
        *trace += name;
        if (removeOnAsk != nullptr) {
            loop->RemoveMessageFilter(removeOnAsk);
            removeOnAsk = nullptr;
        }
        return consume;
    }
};

TEST_F(Framework, FiltersAreAskedNewestFirstAndTheFirstTrueConsumes) {
    enum Remove { Keep, BRemovesItself, BRemovesA };
    struct Row {
        const wchar_t* consumers;
        Remove remove;
        int quitCode;
        const wchar_t* trace; // two WM_APP messages, D when dispatched
    };
    const Row rows[] = {
        {L"", Keep, 0, L"CBADCBAD"},
        {L"B", Keep, 42, L"CBCB"},
        {L"C", Keep, -1, L"CC"},
        {L"A", Keep, INT_MAX, L"CBACBA"},
        {L"", BRemovesItself, 3, L"CBADCAD"},
        {L"", BRemovesA, 4, L"CBDCBD"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "row " << (&row - rows));
        Sink sink;
        CMessageLoop loop;
        Filter a(L'A', &sink.trace), b(L'B', &sink.trace), c(L'C', &sink.trace);
        for (Filter* f : {&a, &b, &c}) {
            f->consume = std::wstring(row.consumers).find(f->name) != std::wstring::npos;
            f->loop = &loop;
            EXPECT_TRUE(loop.AddMessageFilter(f));
        }
        b.removeOnAsk = row.remove == BRemovesItself ? &b : row.remove == BRemovesA ? &a : nullptr;
        PostMessageW(sink.hWnd, WM_APP, 0, 0);
        PostMessageW(sink.hWnd, WM_APP, 0, 0);
        PostQuitMessage(row.quitCode);
        EXPECT_EQ(row.quitCode, loop.Run());
        EXPECT_EQ(std::wstring(row.trace), sink.trace);
    }
}

// First idle period posts the message under test and starts a timer; the second ends the loop.
struct ScriptedIdle : CIdleHandler {
    Sink* sink;
    UINT msg;
    int calls = 0;

    ScriptedIdle(Sink* s, UINT m) : sink(s), msg(m) {}
    BOOL OnIdle() override {
        sink->trace += L"I";
        if (++calls == 1) {
            PostMessageW(sink->hWnd, msg, 0, 0);
            SetTimer(sink->hWnd, 1, 200, nullptr);
        } else {
            KillTimer(sink->hWnd, 1);
            PostQuitMessage(0);
        }
        return TRUE;
    }
};

struct RecordingIdle : CIdleHandler {
    std::wstring* trace;
    explicit RecordingIdle(std::wstring* t) : trace(t) {}
    BOOL OnIdle() override {
        *trace += L"J";
        return TRUE;
    }
};

TEST_F(Framework, IdleHandlersRunOnceAfterTheQueueEmptiesExceptAfterNonIdleMessages) {
    struct Row {
        UINT msg;
        const wchar_t* trace; // I, J idle handlers; D dispatched; T timer
    };
    // clang-format off
    const Row rows[] = {
        {WM_MOUSEMOVE,   L"IJDTIJ"}, // idle again only after the timer
        {WM_NCMOUSEMOVE, L"IJDTIJ"},
        {WM_PAINT,       L"IJDTIJ"},
        {0x0118,         L"IJDTIJ"}, // caret blink
        {0x0117,         L"IJDIJ"},  // idle again at once
        {0x0119,         L"IJDIJ"},
        {WM_APP,         L"IJDIJ"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "msg " << row.msg);
        Sink sink;
        sink.watched = row.msg;
        CMessageLoop loop;
        ScriptedIdle scripted(&sink, row.msg);
        RecordingIdle recording(&sink.trace);
        EXPECT_TRUE(loop.AddIdleHandler(&scripted));
        EXPECT_TRUE(loop.AddIdleHandler(&recording));
        EXPECT_EQ(0, loop.Run());
        EXPECT_EQ(std::wstring(row.trace), sink.trace);
    }
}

// ---- module ----

TEST_F(Framework, ModuleKeepsOneLoopAndOneCreationObjectPerThread) {
    CMessageLoop mainLoop, otherLoop;
    int object = 0;
    ASSERT_TRUE(g_appModule.AddMessageLoop(&mainLoop));
    EXPECT_FALSE(g_appModule.AddMessageLoop(&otherLoop));
    g_appModule.AddCreateWndData(&object);

    DWORD otherId = 0;
    CMessageLoop* seenBeforeAdd = &mainLoop;
    void* extractedThere = &object;
    BOOL added = FALSE;
    std::thread([&] {
        otherId = GetCurrentThreadId();
        seenBeforeAdd = g_appModule.GetMessageLoop();
        extractedThere = g_appModule.ExtractCreateWndData();
        added = g_appModule.AddMessageLoop(&otherLoop);
    }).join();

    EXPECT_EQ(nullptr, seenBeforeAdd);
    EXPECT_EQ(nullptr, extractedThere);
    EXPECT_TRUE(added);
    EXPECT_EQ(&mainLoop, g_appModule.GetMessageLoop());
    EXPECT_EQ(&otherLoop, g_appModule.GetMessageLoop(otherId));
    EXPECT_EQ(&object, g_appModule.ExtractCreateWndData());
    EXPECT_EQ(nullptr, g_appModule.ExtractCreateWndData());

    EXPECT_TRUE(g_appModule.RemoveMessageLoop());
    EXPECT_FALSE(g_appModule.RemoveMessageLoop());
    EXPECT_EQ(nullptr, g_appModule.GetMessageLoop());
    EXPECT_EQ(&otherLoop, g_appModule.GetMessageLoop(otherId));
}

// ---- strings ----

std::wstring DigitsEndingInEnd(std::size_t length) {
    std::wstring text;
    while (text.size() < length - 3) {
        text += static_cast<wchar_t>(L'0' + text.size() % 10);
    }
    return text + L"END";
}

TEST_F(Framework, LoadResourceStringLoadsWholeTextsOfAnyLength) {
    struct Row {
        UINT id;
        std::wstring text;
    };
    const Row rows[] = {
        {IDS_FW_SHORT, L"Tether"},
        {IDS_FW_254, DigitsEndingInEnd(254)},
        {IDS_FW_255, DigitsEndingInEnd(255)},
        {IDS_FW_256, DigitsEndingInEnd(256)},
        {IDS_FW_511, DigitsEndingInEnd(511)},
        {IDS_FW_700, DigitsEndingInEnd(700)},
        {IDS_FW_CHINESE, L"\u6D4B\u8BD5\u6587\u5B57"},
        {IDS_FW_ABSENT, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "id " << row.id);
        EXPECT_EQ(row.text, LoadResourceString(row.id));
    }
}

} // namespace
