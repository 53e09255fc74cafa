// UI-update mixin. Classes declare their (empty) update map with the macros below.
#pragma once

#include <windows.h>

class CUpdateUIBase {
public:
    struct UpdateUIMapEntry {
        WORD id;
        WORD type;
    };
};

template <class T> class CUpdateUI : public CUpdateUIBase {};

// The map ends with an entry whose id is 0.
// clang-format off
#define BEGIN_UPDATE_UI_MAP(thisClass)                                  \
    static const CUpdateUIBase::UpdateUIMapEntry* GetUpdateUIMap() {    \
        static const CUpdateUIBase::UpdateUIMapEntry theMap[] = {

#define END_UPDATE_UI_MAP()                                             \
            {0, 0}};                                                    \
        return theMap;                                                  \
    }
// clang-format on
