// String resources.
#pragma once

#include <windows.h>

#include <string>

// The whole string with this id from the resource module; empty when there is none.
std::wstring LoadResourceString(UINT id);
