#include "strip/line_breaking.h"

#include "conversation/shift_jis.h"

namespace {

struct Char {
    size_t at;
    size_t size;
};

unsigned char ByteAt(const std::string& text, size_t at)
{
    return static_cast<unsigned char>(text[at]);
}

bool IsBlank(const std::string& text, Char c)
{
    if (c.size != 1)
        return false;
    unsigned char byte = ByteAt(text, c.at);
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n';
}

// Double-byte characters and half-width katakana: text that breaks between characters.
bool IsJapanese(const std::string& text, Char c)
{
    unsigned char byte = ByteAt(text, c.at);
    return c.size == 2 || (byte >= 0xA1 && byte <= 0xDF);
}

// No line starts with these: 、。，．・：；？！ (81 41-81 49), the closing
// brackets and quotes ’”）〕］｝〉》」』】 (81 66-81 7A, even), ASCII ) , . > ] } ! ? : ;
// and the half-width ｡ ｣ ､ (A1, A3, A4).
bool IsClosing(const std::string& text, Char c)
{
    unsigned char first = ByteAt(text, c.at);
    if (c.size == 2) {
        unsigned char second = ByteAt(text, c.at + 1);
        return first == 0x81 && ((second >= 0x41 && second <= 0x49) ||
                                 (second >= 0x66 && second <= 0x7A && second % 2 == 0));
    }
    switch (first) {
    case ')': case ',': case '.': case '>': case ']': case '}':
    case '!': case '?': case ':': case ';':
    case 0xA1: case 0xA3: case 0xA4:
        return true;
    }
    return false;
}

// No line ends with these: the opening brackets and quotes ‘“（〔［｛〈《「『【
// (81 65-81 79, odd), ASCII ( < [ { and the half-width ｢ (A2).
bool IsOpening(const std::string& text, Char c)
{
    unsigned char first = ByteAt(text, c.at);
    if (c.size == 2) {
        unsigned char second = ByteAt(text, c.at + 1);
        return first == 0x81 && second >= 0x65 && second <= 0x79 && second % 2 == 1;
    }
    return first == '(' || first == '<' || first == '[' || first == '{' || first == 0xA2;
}

bool MayBreakBetween(const std::string& text, Char before, Char after)
{
    return (IsJapanese(text, before) || IsJapanese(text, after)) && !IsClosing(text, after) &&
           !IsOpening(text, before);
}

Char CharAt(const std::string& text, size_t at)
{
    return Char{at, SjisCharLength(text.data() + at, text.size() - at)};
}

int MeasureBytes(const PreparedText& prepared, const TextMeasure& measure, size_t start, size_t end)
{
    return end > start ? measure.Width(prepared.style, prepared.text.data() + start, end - start) : 0;
}

// Where the run [start, end) must be cut so that its first part is at most
// `maxWidth` wide: at a character, after at least one. Sets the part's width.
size_t CutRun(const PreparedText& prepared, const TextMeasure& measure, size_t start, size_t end, int maxWidth,
              int& width)
{
    width = 0;
    size_t at = start;
    while (at < end) {
        Char c = CharAt(prepared.text, at);
        int charWidth = MeasureBytes(prepared, measure, c.at, c.at + c.size);
        if (at > start && width + charWidth > maxWidth)
            break;
        width += charWidth;
        at += c.size;
    }
    return at;
}

}  // namespace

void PrepareText(const std::string& text, TextStyle style, const TextMeasure& measure, PreparedText& prepared)
{
    prepared.text = text;
    prepared.style = style;
    prepared.pieces.clear();
    prepared.singleLineWidth = 0;
    prepared.widestPiece = 0;

    const size_t kNone = static_cast<size_t>(-1);
    WrapPiece piece;
    bool inPiece = false;
    size_t blankStart = kNone;  // where the blanks since the last piece start
    int newlines = 0;
    Char previous{0, 0};
    auto closePiece = [&](size_t end) {
        piece.end = end;
        piece.width = MeasureBytes(prepared, measure, piece.start, piece.end);
        prepared.pieces.push_back(piece);
        inPiece = false;
    };
    auto openPiece = [&](size_t start, int gapWidth) {
        piece = WrapPiece();
        piece.start = start;
        piece.gapWidth = gapWidth;
        piece.newlinesBefore = newlines;
        newlines = 0;
        blankStart = kNone;
        inPiece = true;
    };
    for (size_t at = 0; at < text.size();) {
        Char c = CharAt(text, at);
        if (IsBlank(text, c)) {
            if (inPiece) {
                closePiece(at);
                blankStart = at;
            }
            if (text[at] == '\n')
                ++newlines;
        } else if (!inPiece) {
            bool gap = blankStart != kNone && newlines == 0;
            openPiece(at, gap ? MeasureBytes(prepared, measure, blankStart, at) : 0);
        } else if (MayBreakBetween(text, previous, c)) {
            closePiece(at);
            openPiece(at, 0);
        }
        previous = c;
        at += c.size;
    }
    if (inPiece)
        closePiece(text.size());

    for (size_t i = 0; i < prepared.pieces.size(); ++i) {
        const WrapPiece& p = prepared.pieces[i];
        prepared.singleLineWidth += (i > 0 ? p.gapWidth : 0) + p.width;
        if (p.width > prepared.widestPiece)
            prepared.widestPiece = p.width;
    }
}

void WrapPrepared(const PreparedText& prepared, int maxWidth, const TextMeasure& measure,
                  std::vector<TextLine>& lines, size_t from, size_t maxLines)
{
    lines.clear();
    const std::vector<WrapPiece>& pieces = prepared.pieces;
    size_t k = 0;
    while (k < pieces.size() && pieces[k].end <= from)
        ++k;
    size_t offset = k < pieces.size() ? (from > pieces[k].start ? from : pieces[k].start) : 0;
    bool freshPiece = false;

    while (k < pieces.size() && (maxLines == 0 || lines.size() < maxLines)) {
        // Empty lines for the line feeds in a row before this piece.
        if (freshPiece) {
            for (int n = 1; n < pieces[k].newlinesBefore && (maxLines == 0 || lines.size() < maxLines); ++n)
                lines.push_back(TextLine{pieces[k].start, 0, 0});
            if (maxLines != 0 && lines.size() == maxLines)
                break;
        }
        TextLine line;
        line.start = offset;
        size_t end = offset;
        bool first = true;
        while (k < pieces.size()) {
            const WrapPiece& piece = pieces[k];
            if (!first && piece.newlinesBefore > 0)
                break;
            int pieceWidth = offset > piece.start ? MeasureBytes(prepared, measure, offset, piece.end) : piece.width;
            int added = first ? pieceWidth : piece.gapWidth + pieceWidth;
            if (line.width + added <= maxWidth) {
                line.width += added;
                end = piece.end;
                first = false;
                ++k;
                offset = k < pieces.size() ? pieces[k].start : piece.end;
                continue;
            }
            if (first) {
                int width = 0;
                end = CutRun(prepared, measure, offset, piece.end, maxWidth, width);
                line.width = width;
                offset = end;
                if (end == piece.end) {
                    ++k;
                    offset = k < pieces.size() ? pieces[k].start : end;
                }
            }
            break;
        }
        line.length = end - line.start;
        lines.push_back(line);
        freshPiece = k < pieces.size() && offset == pieces[k].start;
    }
    if (lines.empty())
        lines.push_back(TextLine{from < prepared.text.size() ? from : prepared.text.size(), 0, 0});
}

std::vector<TextLine> WrapText(const std::string& text, int maxWidth, const TextMeasure& measure, TextStyle style)
{
    PreparedText prepared;
    PrepareText(text, style, measure, prepared);
    std::vector<TextLine> lines;
    WrapPrepared(prepared, maxWidth, measure, lines);
    return lines;
}

std::string CapitalizeAscii(const std::string& text)
{
    std::string capitals = text;
    for (size_t at = 0; at < capitals.size();) {
        size_t size = SjisCharLength(capitals.data() + at, capitals.size() - at);
        if (size == 1 && capitals[at] >= 'a' && capitals[at] <= 'z')
            capitals[at] = static_cast<char>(capitals[at] - 'a' + 'A');
        at += size;
    }
    return capitals;
}
