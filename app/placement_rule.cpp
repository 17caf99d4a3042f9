#include "app/placement_rule.h"

namespace {

// One axis: a span of `size` from `start`, moved into the area's span. Worked
// in 64 bits: stored positions may be any 32-bit number.
void FitSpan(int32_t& start, int32_t& size, int32_t areaStart, int32_t areaSize)
{
    int64_t fitted = size > areaSize ? areaSize : size;
    int64_t lowest = areaStart;
    int64_t highest = int64_t{areaStart} + areaSize - fitted;
    int64_t moved = start < lowest ? lowest : (start > highest ? highest : start);
    start = static_cast<int32_t>(moved);
    size = static_cast<int32_t>(fitted);
}

}  // namespace

PlacementRect MoveOntoWorkArea(const PlacementRect& window, const PlacementRect& workArea)
{
    PlacementRect moved = window;
    FitSpan(moved.X, moved.Width, workArea.X, workArea.Width);
    FitSpan(moved.Y, moved.Height, workArea.Y, workArea.Height);
    return moved;
}
