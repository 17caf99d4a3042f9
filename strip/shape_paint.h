// Anti-aliased filling and stroking of outlines made of straight pieces, for
// the balloons: GDI's own lines and fills have jagged edges. Portable; works
// on any four-byte pixels (compose.h PixelView) and paints grey levels only,
// so the order of the colours does not matter.
#pragma once

#include <cstdint>
#include <vector>

#include "strip/compose.h"
#include "strip/strip_layout.h"

struct ShapePoint {
    double x = 0, y = 0;
};

typedef std::vector<ShapePoint> ShapePath;

// Fills the closed outline (nonzero winding) with `grey`, each pixel covered
// in proportion to its area inside, and only inside `clip`.
void FillShape(const PixelView& picture, const ShapePath& outline, uint8_t grey, const StripRect& clip);

// Draws a line `width` wide centred on the path, back to its first point when
// `closed`; with `dash` > 0 as dashes `dash` long with gaps `gap` long along
// the path. Only inside `clip`.
void StrokeShape(const PixelView& picture, const ShapePath& path, bool closed, double width, uint8_t grey,
                 const StripRect& clip, double dash = 0, double gap = 0);
