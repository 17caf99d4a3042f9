// Small made-up art files of every kind the reader takes, for the tests and as
// the art fuzzer's seeds. The pictures are tiny so that tests can spell out
// every pixel they expect.
#pragma once

#include "tests/common/art_writer.h"

namespace art_samples {

using namespace art_writer;

const Bytes kWhiteBlackRed = {255, 255, 255, 0, 0, 0, 255, 0, 0};

// 40 x 40: white left, black right, red on the diagonal.
inline Bytes IconIndices()
{
    Bytes indices;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            indices.push_back(x == y ? 2 : x < 20 ? 0 : 1);
    return indices;
}

// Chat 2.x, complex, black and white: a masked-mono head (4 x 3) and torso
// (5 x 4), the head's last row over the torso's first.
inline Bytes ComplexCharacter(unsigned flags)
{
    ArtFile file(0x8181, 2);
    int head = file.AddImage(DeflatedImage(4, 3, 2, Indices({"0110", "1331", "1221"})));
    int torso = file.AddImage(DeflatedImage(5, 4, 2, Indices({"01331", "13331", "12221", "10001"})));
    int icon = file.AddImage(DeflatedImage(40, 40, 4, IconIndices(), kWhiteBlackRed));
    PutFlags(file, flags);
    PutIcon(file, icon, 1, 2);
    Record face;
    face.drawing = head;
    face.fields = {1, 2, 0, 0, 2, 1};  // neck (1, 2), no fine adjustment, mouth (2, 1)
    Record body;
    body.drawing = torso;
    body.fields = {2, 0};
    PutRecords(file, 10, {face});
    PutRecords(file, 11, {body});
    return file.Finish();
}

// Chat 1.0, complex: separate BMP planes. The head (3 x 2) has a 1-bit
// drawing whose colour 0 is black, an inverted 6 x 4 mask (stretched to the
// drawing) and a 1-bit aura; the torso (5 x 2) a 4-bit RLE4 colour drawing
// and an aura; the icon is an RLE8 BMP. Flags 5: head mask, torso first.
inline Bytes OldCharacter()
{
    const Bytes blackWhite = {0, 0, 0, 255, 255, 255};
    const Bytes whiteBlack = {255, 255, 255, 0, 0, 0};
    const Bytes colours = {255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0};
    ArtFile file(0x81, 2);
    int headDrawing = file.AddImage(BmpFile(3, 2, 1, blackWhite, PackRows(3, 2, 1, Indices({"101", "010"}))));
    Bytes mask = Indices({"011010", "000000", "100110", "000000"});
    int headMask = file.AddImage(BmpFile(6, 4, 1, blackWhite, PackRows(6, 4, 1, mask)));
    int headAura = file.AddImage(BmpFile(3, 2, 1, whiteBlack, PackRows(3, 2, 1, Indices({"111", "110"}))));
    Bytes torso = Indices({"02310", "11002"});
    int torsoDrawing = file.AddImage(BmpFile(5, 2, 4, colours, RleBits(5, 2, 4, torso), 2));
    int torsoAura = file.AddImage(BmpFile(5, 2, 1, whiteBlack, PackRows(5, 2, 1, Indices({"11111", "01110"}))));
    int icon = file.AddImage(BmpFile(40, 40, 8, kWhiteBlackRed, RleBits(40, 40, 8, IconIndices()), 1));

    PutU16(file.bytes, 1);  // name
    for (char c : std::string("Old"))
        PutU8(file.bytes, uint8_t(c));
    PutU8(file.bytes, 0);
    PutU16(file.bytes, 8);  // style
    PutU16(file.bytes, 1);
    PutFlags(file, 5);
    PutU16(file.bytes, 3);  // the old icon tag: a BMP file's offset
    file.Offset(icon);
    Record face;
    face.drawing = headDrawing;
    face.mask = headMask;
    face.aura = headAura;
    face.fields = {1, 1, 0, 0, 1, 0};
    Record body;
    body.drawing = torsoDrawing;
    body.aura = torsoAura;
    body.fields = {2, 0};
    PutRecords(file, 4, {face});
    PutRecords(file, 5, {body});
    return file.Finish();
}

// Chat 2.x, simple, in colour: a 4-bit local-palette body (4 x 2) with a
// dual mask, used by two records (happy, then neutral); the icon takes the
// global palette.
inline Bytes SimpleCharacter()
{
    const Bytes colours = {255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255};
    ArtFile file(0x8181, 1);
    int drawing = file.AddImage(DeflatedImage(4, 2, 4, Indices({"0123", "3210"}), colours));
    int mask = file.AddImage(DeflatedImage(4, 2, 2, Indices({"1023", "2200"})));
    int icon = file.AddImage(DeflatedImage(40, 40, 8, IconIndices()));
    Bytes palette;
    PutU16(palette, 3);
    PutBytes(palette, kWhiteBlackRed);
    file.SizedTag(257, palette);
    PutIcon(file, icon, 1, 1);
    Record happy;
    happy.drawing = drawing;
    happy.mask = mask;
    happy.emotion = 1;
    happy.intensity = 200;
    happy.fields = {3, 0};
    happy.palettes[0] = 2;
    happy.palettes[1] = 5;
    Record neutral = happy;
    neutral.emotion = 9;
    neutral.intensity = 0;
    PutRecords(file, 12, {happy, neutral});
    return file.Finish();
}

// A .bgb backdrop: copyright, an offset adjustment, an unknown tag, then the
// 8-bit local-palette image (3 x 2).
inline Bytes Backdrop()
{
    const Bytes colours = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    ArtFile file(0x8181, 3);
    int image = file.AddImage(DeflatedImage(3, 2, 8, Indices({"012", "340"}), colours));
    file.SizedTag(259, Bytes{'(', 'c', ')', 0});
    PutAdjustment(file, 5);
    file.SizedTag(300, Bytes{1, 2, 3});
    PutU16(file.bytes, 258);
    PutU16(file.bytes, 6);
    file.Offset(image, 5);
    PutU8(file.bytes, 1);
    PutU8(file.bytes, 2);
    return file.Finish();
}

// A BMP backdrop as Chat 1.0 shipped them: 4 bits, RLE4 (3 x 2).
inline Bytes BmpBackdrop()
{
    const Bytes colours = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    return BmpFile(3, 2, 4, colours, RleBits(3, 2, 4, Indices({"012", "340"})), 2);
}

}  // namespace art_samples
