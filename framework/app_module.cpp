#include "framework/app_module.h"

#include <algorithm>
#include <climits>

CAppModule g_appModule;

namespace {

// Undocumented caret-blink timer message; it must not wake idle processing.
constexpr UINT kCaretBlinkMessage = 0x0118;

template <class TList> auto FindThread(TList& list, DWORD threadId) {
    return std::find_if(list.begin(), list.end(),
                        [threadId](const auto& entry) { return entry.threadId == threadId; });
}

} // namespace

template <class TEntry> BOOL CMessageLoop::EntryList<TEntry>::Add(TEntry* entry) {
    if (entry == nullptr) {
        return FALSE;
    }
    entries.push_back(entry);
    return TRUE;
}

template <class TEntry> BOOL CMessageLoop::EntryList<TEntry>::Remove(TEntry* entry) {
    if (entry == nullptr) {
        return FALSE;
    }
    auto it = std::find(entries.begin(), entries.end(), entry);
    if (it == entries.end()) {
        return FALSE;
    }
    if (walking > 0) {
        *it = nullptr;
    } else {
        entries.erase(it);
    }
    return TRUE;
}

template <class TEntry> void CMessageLoop::EntryList<TEntry>::Compact() {
    if (walking == 0) {
        entries.erase(std::remove(entries.begin(), entries.end(), nullptr), entries.end());
    }
}

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
    return m_filters.Add(filter);
}

BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    return m_filters.Remove(filter);
}

BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    return m_idleHandlers.Add(handler);
}

BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    return m_idleHandlers.Remove(handler);
}

int CMessageLoop::Run() {
    BOOL idle = TRUE;
    int idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount)) {
                idle = FALSE;
            }
            if (idleCount < INT_MAX) {
                ++idleCount;
            }
        }

        const BOOL got = ::GetMessageW(&m_msg, nullptr, 0, 0);
        if (got == -1) {
            continue;
        }
        if (!got) {
            break;
        }

        if (!PreTranslateMessage(&m_msg)) {
            ::TranslateMessage(&m_msg);
            ::DispatchMessageW(&m_msg);
        }

        if (IsIdleMessage(&m_msg)) {
            idle = TRUE;
            idleCount = 0;
        }
    }
    // The exit code travels as an int in wParam; keep its low 32 bits.
    return static_cast<int>(static_cast<unsigned int>(m_msg.wParam));
}

BOOL CMessageLoop::IsIdleMessage(const MSG* pMsg) {
    switch (pMsg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kCaretBlinkMessage:
        return FALSE;
    default:
        return TRUE;
    }
}

BOOL CMessageLoop::PreTranslateMessage(MSG* pMsg) {
    BOOL consumed = FALSE;
    ++m_filters.walking;
    // Filters added during the walk sit above the start index and are not asked.
    for (std::size_t i = m_filters.entries.size(); i > 0 && !consumed; --i) {
        CMessageFilter* filter = m_filters.entries[i - 1];
        if (filter != nullptr && filter->PreTranslateMessage(pMsg)) {
            consumed = TRUE;
        }
    }
    --m_filters.walking;
    m_filters.Compact();
    return consumed;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
    ++m_idleHandlers.walking;
    const std::size_t count = m_idleHandlers.entries.size();
    for (std::size_t i = 0; i < count; ++i) {
        CIdleHandler* handler = m_idleHandlers.entries[i];
        if (handler != nullptr) {
            handler->OnIdle();
        }
    }
    --m_idleHandlers.walking;
    m_idleHandlers.Compact();
    return FALSE;
}

HRESULT CAppModule::Init(HINSTANCE instance) {
    m_instance = instance;
    return S_OK;
}

void CAppModule::Term() {
    m_loops.clear();
    m_createData.clear();
    m_instance = nullptr;
}

HINSTANCE CAppModule::GetModuleInstance() const {
    return m_instance;
}

HINSTANCE CAppModule::GetResourceInstance() const {
    return GetModuleInstance();
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* loop) {
    if (loop == nullptr) {
        return FALSE;
    }
    const DWORD threadId = ::GetCurrentThreadId();
    if (FindThread(m_loops, threadId) != m_loops.end()) {
        return FALSE;
    }
    m_loops.push_back({threadId, loop});
    return TRUE;
}

BOOL CAppModule::RemoveMessageLoop() {
    auto it = FindThread(m_loops, ::GetCurrentThreadId());
    if (it == m_loops.end()) {
        return FALSE;
    }
    m_loops.erase(it);
    return TRUE;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
    auto it = FindThread(m_loops, threadId);
    return it == m_loops.end() ? nullptr : it->value;
}

void CAppModule::AddCreateWndData(void* object) {
    const DWORD threadId = ::GetCurrentThreadId();
    auto it = FindThread(m_createData, threadId);
    if (it != m_createData.end()) {
        it->value = object;
    } else {
        m_createData.push_back({threadId, object});
    }
}

void* CAppModule::ExtractCreateWndData() {
    auto it = FindThread(m_createData, ::GetCurrentThreadId());
    if (it == m_createData.end()) {
        return nullptr;
    }
    void* object = it->value;
    m_createData.erase(it);
    return object;
}
