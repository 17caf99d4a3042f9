// Where the main window comes back when its stored rectangle is on no monitor.
// Portable: plain rectangles in screen pixels.
#pragma once

#include "settings/settings.h"

// `window` moved onto `workArea` (the nearest monitor's work area): its size is
// kept, and shrunk only where it is larger than the work area.
PlacementRect MoveOntoWorkArea(const PlacementRect& window, const PlacementRect& workArea);
