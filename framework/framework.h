// The whole window framework.
#pragma once

#include "framework/app_module.h"
#include "framework/window.h"
#include "framework/message_map.h"
#include "framework/dialog_impl.h"
#include "framework/window_impl.h"
#include "framework/update_ui.h"
#include "framework/ddx.h"
#include "framework/strings.h"
