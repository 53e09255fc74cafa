#include "framework/strings.h"

#include "framework/app_module.h"

std::wstring LoadResourceString(UINT id) {
    std::wstring text(256, L'\0');
    for (;;) {
        const int copied = ::LoadStringW(g_appModule.GetResourceInstance(), id, text.data(),
                                         static_cast<int>(text.size()));
        if (copied <= 0) {
            return std::wstring();
        }
        // A text that fills the buffer to within one character may have been cut.
        if (static_cast<std::size_t>(copied) + 1 < text.size()) {
            text.resize(static_cast<std::size_t>(copied));
            return text;
        }
        text.resize(text.size() * 2);
    }
}
