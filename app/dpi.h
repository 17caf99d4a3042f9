// Display scaling: the DPI of a window and the system metrics at that DPI.
// The program is per-monitor DPI aware, so its pixel sizes are its own to
// scale; 96 dpi is 100 %.
#pragma once

#include <windows.h>

const UINT kBaseDpi = 96;

// The DPI of the monitor the window is on (Windows 10 1607 and later), or the
// system DPI on older Windows.
UINT WindowDpi(HWND window);

// A size in 96-dpi pixels, in pixels at `dpi`.
int ScaleToDpi(int pixels, UINT dpi);

// The height of a one-line menu bar at `dpi`.
int MenuBarHeight(UINT dpi);
