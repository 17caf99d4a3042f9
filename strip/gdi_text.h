// The strip's text through GDI: a Japanese UI font the system has, measured
// for the layout and selected by the painter, so that what is drawn is what
// was measured. Shift-JIS byte strings, the ANSI (A) functions.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>

#include "strip/line_breaking.h"

// Balloon text is at least 13 pixels high.
const int kBalloonFontHeight = 14;
const int kTitleFontHeight = 18;
const int kLabelFontHeight = 14;

// The first of Meiryo, Yu Gothic UI, MS UI Gothic and MS PGothic that the
// system has (as the face name to create the font with); MS PGothic when
// none is found.
std::string ChooseJapaneseFace(HDC dc);

class GdiTextMeasure : public TextMeasure {
public:
    GdiTextMeasure();
    ~GdiTextMeasure() override;
    GdiTextMeasure(const GdiTextMeasure&) = delete;
    GdiTextMeasure& operator=(const GdiTextMeasure&) = delete;

    int Width(TextStyle style, const char* bytes, size_t count) const override;
    int LineHeight(TextStyle style) const override;

    // The font of a style, for the painter's DC (owned here).
    HFONT Font(TextStyle style) const;
    const std::string& FaceName() const { return face_; }

private:
    struct StyleFont {
        HFONT font = nullptr;
        int lineHeight = 0;
        // Advance widths by character, measured when first asked for: GDI
        // adds them up for a run (no kerning with the A functions).
        mutable int singleByte[256];
        mutable std::unordered_map<unsigned, int> doubleByte;
    };

    const StyleFont& Of(TextStyle style) const;
    int CharWidth(const StyleFont& font, const char* bytes, size_t length) const;

    HDC dc_ = nullptr;
    std::string face_;
    StyleFont balloon_, title_, label_;
    mutable HFONT selected_ = nullptr;
};
