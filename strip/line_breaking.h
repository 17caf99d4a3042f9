// Wraps Shift-JIS text into lines, as Microsoft Chat wraps a balloon's text on
// Japanese Windows: Western text breaks at blanks, Japanese text between any
// two characters except before closing and after opening punctuation, and a
// run too long for a line is cut at a character. Portable: the caller
// measures the text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The fonts a strip uses: balloon text, the title panel's title, and the
// other labels (the heading, the names, the note).
enum class TextStyle { Balloon, Title, Label };

// Measures text in the font of a style, in pixels. Widths are taken to add up:
// a run is as wide as its parts together, as GDI measures text without kerning.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual int Width(TextStyle style, const char* bytes, size_t count) const = 0;
    virtual int LineHeight(TextStyle style) const = 0;
};

// One line: bytes [start, start + length) of the text, without the blanks
// around it, and its width.
struct TextLine {
    size_t start = 0;
    size_t length = 0;
    int width = 0;
};

// A run of text between two places where a line may break.
struct WrapPiece {
    size_t start = 0, end = 0;
    int width = 0;
    int gapWidth = 0;       // the blanks before it, when it shares a line with the piece before
    int newlinesBefore = 0; // line feeds in the text before it
};

// A text measured once, to be wrapped at any width.
struct PreparedText {
    std::string text;
    TextStyle style = TextStyle::Balloon;
    std::vector<WrapPiece> pieces;
    int singleLineWidth = 0;  // the whole text on one line
    int widestPiece = 0;      // the narrowest a line can be without cutting a run
};

void PrepareText(const std::string& text, TextStyle style, const TextMeasure& measure, PreparedText& prepared);

// The lines of the text from byte `from` (0: the whole text) at most
// `maxWidth` wide, and no more than `maxLines` of them (0: all). A character
// wider than `maxWidth` gets a line of its own. There is always at least one
// line, empty for a text of blanks.
void WrapPrepared(const PreparedText& prepared, int maxWidth, const TextMeasure& measure,
                  std::vector<TextLine>& lines, size_t from = 0, size_t maxLines = 0);

std::vector<TextLine> WrapText(const std::string& text, int maxWidth, const TextMeasure& measure,
                               TextStyle style = TextStyle::Balloon);

// The text with its ASCII letters in capitals, as Chat shows balloon text.
// Double-byte characters are left as they are, their second bytes included.
std::string CapitalizeAscii(const std::string& text);
