// Paints a laid-out picture of the strip into a 32-bit top-down DIB section:
// the art composed straight into the section's memory (compose.h), the
// balloons anti-aliased (shape_paint.h), the text with GDI in the fonts it
// was measured with, the borders last.
#pragma once

#include <windows.h>

#include <string>

#include "strip/art_cast.h"
#include "strip/compose.h"
#include "strip/gdi_text.h"
#include "strip/strip_layout.h"

struct PaintedPicture {
    HBITMAP bitmap = nullptr;
    PixelView pixels;  // the section's memory: B, G, R and an unused byte a pixel
};

// Makes the section and paints the picture into it. False, with `error`, when
// the section can't be made.
bool PaintPicture(const PictureLayout& picture, ArtCast& art, const GdiTextMeasure& text, PaintedPicture& painted,
                  std::string& error);

void FreePicture(PaintedPicture& painted);

// The header of a 32-bit top-down bitmap of that size, as the painter uses.
BITMAPINFO TopDownBitmapInfo(int width, int height);
