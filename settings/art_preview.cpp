#include "settings/art_preview.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "chatart/art_folders.h"
#include "chatart/art_names.h"
#include "chatart/chat_art.h"
#include "resources/texts.h"
#include "strip/compose.h"
#include "strip/panel_layout.h"
#include "strip/strip_painter.h"

// The art read so far, by file name in lower case: the dialog reads each file
// once, however often the selection changes. A null entry: not at hand.
struct ArtPreview {
    std::vector<std::string> folders = ArtSearchFolders();
    std::map<std::string, std::unique_ptr<Figure>> figures;
    std::map<std::string, std::unique_ptr<Pixels>> backdrops;
};

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file || path.empty())
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return bytes.size() <= kMaxArtFileBytes;
}

// The character's first neutral figure, facing right.
const Figure* NeutralFigure(ArtPreview& preview, const std::string& character)
{
    std::string name = CharacterFileName(character);
    auto known = preview.figures.find(LowerAscii(name));
    if (known != preview.figures.end())
        return known->second.get();
    std::unique_ptr<Figure> figure(new Figure);
    std::vector<uint8_t> bytes;
    Character art;
    std::string error;
    bool ok = ReadFile(FindArtFile(preview.folders, name), bytes) && ReadCharacter(name, bytes, art, error);
    if (ok) {
        Pose pose;
        pose.face = NextNeutral(art.kind == CharacterKind::Simple ? art.bodies : art.faces, -1);
        pose.torso = NextNeutral(art.torsos, -1);
        ok = ComposeFigure(art, pose, false, *figure, error);
    }
    if (!ok)
        figure.reset();
    return (preview.figures[LowerAscii(name)] = std::move(figure)).get();
}

const Pixels* Backdrop(ArtPreview& preview, const std::string& backdrop)
{
    auto known = preview.backdrops.find(LowerAscii(backdrop));
    if (known != preview.backdrops.end())
        return known->second.get();
    std::unique_ptr<Pixels> pixels(new Pixels);
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadFile(FindBackdropFile(preview.folders, backdrop), bytes) ||
        !ReadBackdrop(backdrop, bytes, *pixels, error))
        pixels.reset();
    return (preview.backdrops[LowerAscii(backdrop)] = std::move(pixels)).get();
}

PanelSpeaker Speaker(int rank, const std::string& character, const Figure* figure)
{
    PanelSpeaker speaker;
    speaker.user = speaker.rank = rank;
    speaker.character = character;
    speaker.hasArt = figure != nullptr;
    if (figure)
        speaker.metrics = FigureMetrics{figure->pixels.width, figure->pixels.height, figure->mouthX,
                                        figure->headBottom};
    return speaker;
}

// A panel's rectangle, laid out at the strip's panel size, on the picture.
StripRect Scaled(const StripRect& rect, int side)
{
    auto at = [side](int value) { return value * side / kPanelSide; };
    return StripRect{at(rect.x), at(rect.y), at(rect.Right()) - at(rect.x), at(rect.Bottom()) - at(rect.y)};
}

// The picture in RGBA, to the BGRA of a DIB, whose fourth byte GDI ignores.
void Blit(HDC dc, const RECT& rect, Pixels& picture)
{
    SwapRedAndBlue(picture);
    BITMAPINFO info = TopDownBitmapInfo(picture.width, picture.height);
    SetDIBitsToDevice(dc, rect.left, rect.top, picture.width, picture.height, 0, 0, 0, picture.height,
                      picture.bytes.data(), &info, DIB_RGB_COLORS);
}

// A panel without balloons measures no text.
class NoText : public TextMeasure {
public:
    int Width(TextStyle, const char*, size_t) const override { return 0; }
    int LineHeight(TextStyle) const override { return 0; }
};

void SayMissing(HWND control, HDC dc, RECT rect)
{
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextA(dc, kArtPreviewMissing, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

}  // namespace

ArtPreview* CreateArtPreview()
{
    return new ArtPreview;
}

void DestroyArtPreview(ArtPreview* preview)
{
    delete preview;
}

bool ArtPreviewComplete(ArtPreview* preview, const std::string& backdrop, const std::string& own,
                        const std::string& quoted)
{
    return Backdrop(*preview, backdrop) && NeutralFigure(*preview, own) && NeutralFigure(*preview, quoted);
}

void DrawArtPreview(ArtPreview* preview, const DRAWITEMSTRUCT& item, const std::string& backdrop,
                    const std::string& own, const std::string& quoted)
{
    RECT rect = item.rcItem;
    int side = std::min(rect.right - rect.left, rect.bottom - rect.top);
    Pixels picture;
    ResetPicture(picture, side, side);
    StripRect whole{0, 0, side, side};
    const Pixels* back = Backdrop(*preview, backdrop);
    const Figure* ownFigure = NeutralFigure(*preview, own);
    const Figure* quotedFigure = NeutralFigure(*preview, quoted);
    if (back)
        DrawBackdrop(picture, *back, whole, 1.0, 0);
    // The two stand as in the strip's first panel: own left facing right,
    // quoted right facing left.
    OpenPanel panel;
    panel.speakers = {Speaker(0, own, ownFigure), Speaker(1, quoted, quotedFigure)};
    PanelLayout layout;
    LayoutContentPanel(panel, true, true, NoText(), layout);
    for (const PlacedFigure& placed : layout.figures) {
        const Figure* figure = placed.character == own && ownFigure ? ownFigure : quotedFigure;
        if (figure)
            DrawFigure(picture, figure->pixels, Scaled(placed.rect, side), placed.flipped, whole);
    }
    RECT square = {rect.left, rect.top, rect.left + side, rect.top + side};
    Blit(item.hDC, square, picture);
    FrameRect(item.hDC, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (!back || !ownFigure || !quotedFigure)
        SayMissing(item.hwndItem, item.hDC, square);
}
