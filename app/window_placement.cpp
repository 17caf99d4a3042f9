#include "app/window_placement.h"

#include "app/dpi.h"
#include "app/placement_rule.h"
#include "settings/settings_store.h"

namespace {

PlacementRect FromRect(const RECT& rect)
{
    return PlacementRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Whether the settings key holds the value: a stored value is any 32 bits, so
// only two different fallbacks can tell.
bool IsStored(const char* name)
{
    return ReadDword(name, 0) != 0 || ReadDword(name, 1) != 1;
}

void MoveOntoNearestWorkArea(HWND window)
{
    RECT actual;
    GetWindowRect(window, &actual);
    MONITORINFO monitor = {sizeof monitor};
    if (!GetMonitorInfoA(MonitorFromRect(&actual, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    PlacementRect moved = MoveOntoWorkArea(FromRect(actual), FromRect(monitor.rcWork));
    MoveWindow(window, moved.X, moved.Y, moved.Width, moved.Height, TRUE);
}

}  // namespace

bool ApplyStoredPlacement(HWND window, PlacementRect& placement)
{
    bool firstStart = !IsStored(kValueWidth) && !IsStored(kValueHeight);
    UINT dpi = WindowDpi(window);
    placement.X = static_cast<int32_t>(ReadDword(kValueX, kDefaultPlacement.X));
    placement.Y = static_cast<int32_t>(ReadDword(kValueY, kDefaultPlacement.Y));
    placement.Width = static_cast<int32_t>(ReadDword(kValueWidth, ScaleToDpi(kDefaultPlacement.Width, dpi)));
    placement.Height = static_cast<int32_t>(ReadDword(kValueHeight, ScaleToDpi(kDefaultPlacement.Height, dpi)));
    MoveWindow(window, placement.X, placement.Y, placement.Width, placement.Height, TRUE);

    // The platform may have adjusted the size (minimum and maximum tracking size).
    RECT actual;
    GetWindowRect(window, &actual);
    if (!MonitorFromRect(&actual, MONITOR_DEFAULTTONULL))
        MoveOntoNearestWorkArea(window);
    return firstStart;
}

// Dialog units follow the font, whose letters grow by whole pixels: at some
// scalings a pane's template comes out a little wider than the DPI alone says.
// At 96 dpi the default size gives the client area the widest template's
// width, and a pane's edges take their pixels from the template's right
// margin; the window keeps that at every scaling.
void FitFirstWindow(HWND window, std::initializer_list<HWND> panes)
{
    RECT client;
    GetClientRect(window, &client);
    LONG needed = client.right;
    for (HWND pane : panes) {
        RECT templateSize;
        GetClientRect(pane, &templateSize);
        if (templateSize.right > needed)
            needed = templateSize.right;
    }
    RECT frame;
    GetWindowRect(window, &frame);
    if (needed > client.right)
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + needed - client.right, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveOntoNearestWorkArea(window);
}

void StorePlacement(HWND window, PlacementRect& placement)
{
    RECT rect;
    GetWindowRect(window, &rect);
    WINDOWPLACEMENT shown = {sizeof shown};
    if (IsIconic(window) && GetWindowPlacement(window, &shown)) {
        // The restored rectangle is in workspace coordinates: relative to the
        // work area of its monitor.
        rect = shown.rcNormalPosition;
        MONITORINFO monitor = {sizeof monitor};
        if (GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
            OffsetRect(&rect, monitor.rcWork.left - monitor.rcMonitor.left,
                       monitor.rcWork.top - monitor.rcMonitor.top);
    }
    placement = FromRect(rect);
    WriteDword(kValueX, static_cast<DWORD>(placement.X));
    WriteDword(kValueY, static_cast<DWORD>(placement.Y));
    WriteDword(kValueWidth, static_cast<DWORD>(placement.Width));
    WriteDword(kValueHeight, static_cast<DWORD>(placement.Height));
}
