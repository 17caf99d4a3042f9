#include "strip/strip_painter.h"

#include <cstring>

#include "strip/balloon_shape.h"
#include "strip/shape_paint.h"

namespace {

const uint8_t kBlack = 0;
const uint8_t kWhite = 255;

ShapePath Moved(ShapePath path, const StripRect& frame)
{
    for (ShapePoint& point : path) {
        point.x += frame.x;
        point.y += frame.y;
    }
    return path;
}

void FillRect(const PixelView& picture, int x, int y, int width, int height, uint8_t grey)
{
    for (int row = y; row < y + height; ++row)
        std::memset(picture.bytes + static_cast<size_t>(row) * picture.stride + x * 4, grey,
                    static_cast<size_t>(width) * 4);
}

void DrawBorder(const PixelView& picture, const StripRect& f)
{
    FillRect(picture, f.x, f.y, f.width, kBorderWidth, kBlack);
    FillRect(picture, f.x, f.Bottom() - kBorderWidth, f.width, kBorderWidth, kBlack);
    FillRect(picture, f.x, f.y, kBorderWidth, f.height, kBlack);
    FillRect(picture, f.Right() - kBorderWidth, f.y, kBorderWidth, f.height, kBlack);
}

void DrawTextBlock(HDC dc, const GdiTextMeasure& text, const TextBlock& block, const StripRect& frame)
{
    SelectObject(dc, text.Font(block.style));
    for (const PlacedLine& line : block.lines)
        if (line.length > 0 && line.start + line.length <= block.text.size())
            TextOutA(dc, frame.x + line.x, frame.y + line.y, block.text.data() + line.start,
                     static_cast<int>(line.length));
}

void DrawBalloonShape(const PixelView& picture, const PlacedBalloon& balloon, const StripRect& frame)
{
    ShapePath outline;
    BalloonOutline(balloon, outline);
    outline = Moved(outline, frame);
    if (balloon.kind == BalloonKind::Whisper)
        StrokeShape(picture, outline, true, kWhisperHaloWidth, kWhite, frame);
    FillShape(picture, outline, kWhite, frame);
    if (balloon.kind == BalloonKind::Whisper)
        StrokeShape(picture, outline, true, kBalloonLineWidth, kBlack, frame, kWhisperDash, kWhisperGap);
    else
        StrokeShape(picture, outline, true, kBalloonLineWidth, kBlack, frame);
    if (balloon.kind == BalloonKind::Think) {
        for (const ShapePath& bubble : ThoughtBubbles(balloon)) {
            ShapePath moved = Moved(bubble, frame);
            FillShape(picture, moved, kWhite, frame);
            StrokeShape(picture, moved, true, kBalloonLineWidth, kBlack, frame);
        }
    }
}

// Backdrop, figures from left to right, balloons with the first spoken on
// top, then the text of the title and note panels, then the border.
void PaintPanel(HDC dc, const PixelView& picture, const PanelLayout& panel, ArtCast& art, const GdiTextMeasure& text)
{
    const StripRect& frame = panel.frame;
    if (!panel.backdrop.empty()) {
        if (const Pixels* backdrop = art.Backdrop(panel.backdrop))
            DrawBackdrop(picture, *backdrop, frame, panel.zoom, panel.zoomLine);
    }
    for (const PlacedFigure& figure : panel.figures) {
        if (const Pixels* scaled = art.ScaledFigure(figure))
            DrawScaledFigure(picture, *scaled, frame.x + figure.rect.x, frame.y + figure.rect.y, frame);
    }
    for (auto balloon = panel.balloons.rbegin(); balloon != panel.balloons.rend(); ++balloon) {
        GdiFlush();
        DrawBalloonShape(picture, *balloon, frame);
        DrawTextBlock(dc, text, balloon->text, frame);
    }
    GdiFlush();
    for (const PlacedIcon& icon : panel.icons) {
        if (const Pixels* pixels = art.Icon(icon.character))
            DrawIcon(picture, *pixels, frame.x + icon.rect.x, frame.y + icon.rect.y);
    }
    for (const TextBlock& label : panel.labels)
        DrawTextBlock(dc, text, label, frame);
    GdiFlush();
    if (panel.border)
        DrawBorder(picture, frame);
}

}  // namespace

bool PaintPicture(const PictureLayout& picture, ArtCast& art, const GdiTextMeasure& text, PaintedPicture& painted,
                  std::string& error)
{
    painted = PaintedPicture();
    BITMAPINFO info = TopDownBitmapInfo(picture.width, picture.height);
    void* bits = nullptr;
    painted.bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!painted.bitmap || !bits) {
        error = "no memory for a picture of " + std::to_string(picture.width) + " x " +
                std::to_string(picture.height) + " pixels (error " + std::to_string(GetLastError()) + ")";
        FreePicture(painted);
        return false;
    }
    painted.pixels = PixelView{static_cast<uint8_t*>(bits), picture.width, picture.height, picture.width * 4};
    FillRect(painted.pixels, 0, 0, picture.width, picture.height, kWhite);

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, painted.bitmap);
    HGDIOBJ oldFont = SelectObject(dc, text.Font(TextStyle::Balloon));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    for (const PanelLayout& panel : picture.panels)
        PaintPanel(dc, painted.pixels, panel, art, text);
    GdiFlush();
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return true;
}

void FreePicture(PaintedPicture& painted)
{
    if (painted.bitmap)
        DeleteObject(painted.bitmap);
    painted = PaintedPicture();
}

BITMAPINFO TopDownBitmapInfo(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
