// UI-update mixin. The main dialog derives from it; its update map is empty, so it adds nothing.
#pragma once

template <class T> class CUpdateUI {};
