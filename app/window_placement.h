// The main window's position and size, kept across runs.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "settings/settings.h"

// Moves the window to the stored rectangle, in pixels as stored. A rectangle
// that meets no monitor is moved onto the nearest monitor's work area, so the
// window can't come back out of sight. Without a stored size (a first start)
// the default size, meant for 96 dpi, is scaled to the window's DPI. True for
// a first start.
bool ApplyStoredPlacement(HWND window, PlacementRect& placement);

// A first start's window, once its panes exist and before they are laid out
// (while they have their templates' sizes): widened where a pane's template is
// wider than the client area, and kept on the work area.
void FitFirstWindow(HWND window, std::initializer_list<HWND> panes);

// Stores the window's outer rectangle; for a minimised window, the rectangle
// it has when restored.
void StorePlacement(HWND window, PlacementRect& placement);
