#pragma once
#include "ui/geometry.h"

// Top-left corner for a dialog of the given window rectangle: centred on `centre`
// (or on the work area when there is none), then kept inside the work area, with
// the left and top edges winning when the dialog is larger than the work area.
Point CenterDialogPosition(const Rect& dialog, const Rect* centre, const Rect& workArea);
