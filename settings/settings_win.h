#pragma once
#include "settings/settings.h"

// The settings store in the current user's registry.
SettingsRegistry& DefaultSettingsRegistry();
