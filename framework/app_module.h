// Application module, message loop, message filters and idle handlers.
#pragma once

#include <windows.h>

#include <vector>

class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;
};

class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    virtual BOOL OnIdle() = 0;
};

class CMessageLoop {
public:
    CMessageLoop() = default;
    CMessageLoop(const CMessageLoop&) = delete;
    CMessageLoop& operator=(const CMessageLoop&) = delete;
    virtual ~CMessageLoop() = default;

    // The lists do not own their entries. Removing an entry while the lists are
    // being walked is allowed: the entry is not called again.
    BOOL AddMessageFilter(CMessageFilter* filter);
    BOOL RemoveMessageFilter(CMessageFilter* filter);
    BOOL AddIdleHandler(CIdleHandler* handler);
    BOOL RemoveIdleHandler(CIdleHandler* handler);

    // Returns the wParam of the WM_QUIT that ended the loop.
    int Run();

    // False for the messages that do not restart idle processing.
    static BOOL IsIdleMessage(const MSG* pMsg);

protected:
    // Asks the filters, newest first; TRUE when one consumed the message.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Calls every idle handler in the order added; FALSE ends this idle period.
    virtual BOOL OnIdle(int idleCount);

    MSG m_msg{};

private:
    // A walked list is never resized: removals leave a null slot that is
    // dropped once no walk is running.
    template <class TEntry> struct EntryList {
        std::vector<TEntry*> entries;
        int walking = 0;

        BOOL Add(TEntry* entry);
        BOOL Remove(TEntry* entry);
        void Compact();
    };

    EntryList<CMessageFilter> m_filters;
    EntryList<CIdleHandler> m_idleHandlers;
};

class CAppModule {
public:
    HRESULT Init(HINSTANCE instance);
    void Term();

    HINSTANCE GetModuleInstance() const;
    HINSTANCE GetResourceInstance() const;

    // One loop per thread; a thread that already has one is refused.
    BOOL AddMessageLoop(CMessageLoop* loop);
    BOOL RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

    // Hands the object whose window is about to be created to that window's
    // first message, on the same thread.
    void AddCreateWndData(void* object);
    void* ExtractCreateWndData();

private:
    HINSTANCE m_instance = nullptr;
    // A program has a thread or two: a short list searched in order costs less code
    // than a tree.
    template <class T> struct ThreadEntry {
        DWORD threadId;
        T value;
    };
    std::vector<ThreadEntry<CMessageLoop*>> m_loops;
    std::vector<ThreadEntry<void*>> m_createData;
};

extern CAppModule g_appModule;
