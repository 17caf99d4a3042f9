// The main window's position and size, kept across runs.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// Moves the window to the stored rectangle. A rectangle that meets no monitor
// is moved onto the nearest monitor's work area, so the window can't come back
// out of sight.
void ApplyStoredPlacement(HWND window, PlacementRect& placement);

// Stores the window's outer rectangle; for a minimised window, the rectangle
// it has when restored.
void StorePlacement(HWND window, PlacementRect& placement);
