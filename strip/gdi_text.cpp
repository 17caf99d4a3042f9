#include "strip/gdi_text.h"

#include <algorithm>

#include "conversation/shift_jis.h"

namespace {

// The faces in the order they are preferred, by the English names that
// every Windows knows them by.
const char* const kJapaneseFaces[] = {"Meiryo", "Yu Gothic UI", "MS UI Gothic", "MS PGothic"};

// Balloon lines get this much more room than the font's cell.
const int kLineSpacing = 2;

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Whether the system has the face: it enumerates it (Windows enumerates a
// font by its English and its Japanese name alike), or a font created with
// that name comes back under that name. The second covers a substitute
// listed under FontSubstitutes: Windows and Wine report the requested name
// for it, and another name for a face they fell back from. Under Wine 8
// neither Meiryo nor Yu Gothic UI is there; the test prefixes map
// "MS UI Gothic" to IPAGothic (not enumerated, found by the second test) and
// "MS PGothic" to Monapo (enumerated).
bool HasFace(HDC dc, const char* face)
{
    LOGFONTA wanted = {};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynA(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExA(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    if (found)
        return true;
    HFONT font = CreateFontIndirectA(&wanted);
    HGDIOBJ old = SelectObject(dc, font);
    char got[LF_FACESIZE] = "";
    GetTextFaceA(dc, LF_FACESIZE, got);
    SelectObject(dc, old);
    DeleteObject(font);
    return lstrcmpiA(got, face) == 0;
}

HFONT MakeFont(const std::string& face, int height, int weight)
{
    // Grey anti-aliasing: ClearType's coloured fringes suit a screen's
    // subpixels, not a picture seen on any screen.
    return CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace

std::string ChooseJapaneseFace(HDC dc)
{
    for (const char* face : kJapaneseFaces)
        if (HasFace(dc, face))
            return face;
    return kJapaneseFaces[3];
}

GdiTextMeasure::GdiTextMeasure()
{
    dc_ = CreateCompatibleDC(nullptr);
    // Asking for the fonts costs more than painting a short strip; the
    // system's fonts stay as they are for the run.
    static const std::string face = ChooseJapaneseFace(dc_);
    face_ = face;
    struct {
        StyleFont* style;
        int height, weight, spacing;
    } const styles[] = {{&balloon_, kBalloonFontHeight, FW_NORMAL, kLineSpacing},
                        {&title_, kTitleFontHeight, FW_BOLD, kLineSpacing},
                        {&label_, kLabelFontHeight, FW_NORMAL, kLineSpacing}};
    for (const auto& style : styles) {
        StyleFont& font = *style.style;
        font.font = MakeFont(face_, style.height, style.weight);
        SelectObject(dc_, font.font);
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc_, &metrics);
        font.lineHeight = std::max<int>(style.height, metrics.tmHeight + metrics.tmExternalLeading) + style.spacing;
        std::fill(std::begin(font.singleByte), std::end(font.singleByte), -1);
    }
    selected_ = label_.font;
}

GdiTextMeasure::~GdiTextMeasure()
{
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    for (StyleFont* font : {&balloon_, &title_, &label_})
        DeleteObject(font->font);
    DeleteDC(dc_);
}

const GdiTextMeasure::StyleFont& GdiTextMeasure::Of(TextStyle style) const
{
    switch (style) {
    case TextStyle::Title: return title_;
    case TextStyle::Label: return label_;
    default: return balloon_;
    }
}

HFONT GdiTextMeasure::Font(TextStyle style) const
{
    return Of(style).font;
}

int GdiTextMeasure::LineHeight(TextStyle style) const
{
    return Of(style).lineHeight;
}

int GdiTextMeasure::CharWidth(const StyleFont& font, const char* bytes, size_t length) const
{
    int* known;
    if (length == 1) {
        known = &font.singleByte[static_cast<unsigned char>(bytes[0])];
    } else {
        unsigned code = static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
        auto found = font.doubleByte.find(code);
        if (found != font.doubleByte.end())
            return found->second;
        known = &font.doubleByte[code];
        *known = -1;
    }
    if (*known < 0) {
        if (selected_ != font.font) {
            SelectObject(dc_, font.font);
            selected_ = font.font;
        }
        SIZE size = {};
        GetTextExtentPoint32A(dc_, bytes, static_cast<int>(length), &size);
        *known = size.cx;
    }
    return *known;
}

int GdiTextMeasure::Width(TextStyle style, const char* bytes, size_t count) const
{
    const StyleFont& font = Of(style);
    int width = 0;
    for (size_t at = 0; at < count;) {
        size_t length = SjisCharLength(bytes + at, count - at);
        width += CharWidth(font, bytes + at, length);
        at += length;
    }
    return width;
}
