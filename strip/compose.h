// Pixel work for painting a strip, before the GDI layer draws the balloons,
// the text and the borders: a white page, backdrops and figures scaled with
// good filtering (area averaging when shrinking, bilinear when enlarging),
// icons. Portable: RGBA Pixels as the art reader gives them.
//
// Scaling computes its filter weights once per row and column and works in
// fixed point, so that a picture costs about as much to compose as to encode.
#pragma once

#include <cstdint>

#include "chatart/chat_art.h"
#include "strip/strip_layout.h"

// Four bytes a pixel lying elsewhere, such as a DIB section's memory, alpha
// (or an unused byte) last. Drawing never looks at the order of the three
// colours, so RGBA art drawn into a BGRA picture needs SwapRedAndBlue once.
struct PixelView {
    uint8_t* bytes = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

PixelView ViewOf(Pixels& pixels);

// RGBA to BGRA and back.
void SwapRedAndBlue(Pixels& pixels);

// Sizes the picture (reusing its memory) and makes it opaque white.
void ResetPicture(Pixels& picture, int width, int height);

// The figure scaled to width x height, mirrored when `flipped`, with its
// alpha premultiplied: ready for DrawScaledFigure, and worth keeping for the
// next panel that shows it at the same size.
void ScaleFigure(const Pixels& figure, int width, int height, bool flipped, Pixels& scaled);

// Blends a scaled figure (premultiplied) onto the picture with its top-left
// corner at (x, y), touching only the pixels inside `clip`.
void DrawScaledFigure(Pixels& picture, const Pixels& scaled, int x, int y, const StripRect& clip);
void DrawScaledFigure(const PixelView& picture, const Pixels& scaled, int x, int y, const StripRect& clip);

// ScaleFigure to the rectangle, then DrawScaledFigure clipped to `clip`.
void DrawFigure(Pixels& picture, const Pixels& figure, const StripRect& rect, bool flipped, const StripRect& clip);

// The backdrop stretched over width x height and magnified by `zoom` about
// the line y = zoomLine and the left edge, as a panel shows it. Opaque.
void ScaleBackdrop(const Pixels& backdrop, int width, int height, double zoom, int zoomLine, Pixels& scaled);

// ScaleBackdrop over the panel's frame, copied into it.
void DrawBackdrop(Pixels& picture, const Pixels& backdrop, const StripRect& panel, double zoom, int zoomLine);
void DrawBackdrop(const PixelView& picture, const Pixels& backdrop, const StripRect& panel, double zoom, int zoomLine);

// Copies an opaque image (a scaled backdrop, an icon) with its top-left
// corner at (x, y), inside `clip` only.
void DrawOpaque(Pixels& picture, const Pixels& image, int x, int y, const StripRect& clip);
void DrawOpaque(const PixelView& picture, const Pixels& image, int x, int y, const StripRect& clip);

// A character's icon at (x, y), as it is (kIconSide square).
void DrawIcon(Pixels& picture, const Pixels& icon, int x, int y);
void DrawIcon(const PixelView& picture, const Pixels& icon, int x, int y);
