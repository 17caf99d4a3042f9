#include "app/window_placement.h"

#include "app/placement_rule.h"
#include "settings/settings_store.h"

namespace {

PlacementRect FromRect(const RECT& rect)
{
    return PlacementRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

void ApplyStoredPlacement(HWND window, PlacementRect& placement)
{
    placement.X = static_cast<int32_t>(ReadDword(kValueX, kDefaultPlacement.X));
    placement.Y = static_cast<int32_t>(ReadDword(kValueY, kDefaultPlacement.Y));
    placement.Width = static_cast<int32_t>(ReadDword(kValueWidth, kDefaultPlacement.Width));
    placement.Height = static_cast<int32_t>(ReadDword(kValueHeight, kDefaultPlacement.Height));
    MoveWindow(window, placement.X, placement.Y, placement.Width, placement.Height, TRUE);

    // The platform may have adjusted the size (minimum and maximum tracking size).
    RECT actual;
    GetWindowRect(window, &actual);
    if (MonitorFromRect(&actual, MONITOR_DEFAULTTONULL))
        return;
    MONITORINFO monitor = {sizeof monitor};
    if (!GetMonitorInfoA(MonitorFromRect(&actual, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    PlacementRect moved = MoveOntoWorkArea(FromRect(actual), FromRect(monitor.rcWork));
    MoveWindow(window, moved.X, moved.Y, moved.Width, moved.Height, TRUE);
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
