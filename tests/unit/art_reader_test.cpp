// The art reader on small made-up files of every kind: exact pixels, the
// head's place on the torso, flipping, the mouth, masks and halo, the offset
// adjustment, RLE, backdrops.
#include <gtest/gtest.h>

#include "chatart/chat_art.h"
#include "tests/common/art_samples.h"
#include "tests/unit/art_test_support.h"

namespace {

using namespace art_samples;

Character Read(const Bytes& file)
{
    Character character;
    std::string error;
    EXPECT_TRUE(ReadCharacter("made.avb", file, character, error)) << error;
    EXPECT_TRUE(CheckCharacterImages(character, error)) << error;
    return character;
}

Figure Compose(const Character& character, Pose pose, bool flipped)
{
    Figure figure;
    std::string error;
    EXPECT_TRUE(ComposeFigure(character, pose, flipped, figure, error)) << error;
    return figure;
}

std::string BackdropPicture(const Bytes& file)
{
    Pixels backdrop;
    std::string error;
    EXPECT_TRUE(ReadBackdrop("made.bgb", file, backdrop, error)) << error;
    return Picture(backdrop);
}

TEST(ArtReader, HeadStandsOnTheTorsoByTheNeckPoints)
{
    // Head (1, -2) from the torso's corner: its last row lies on the torso's
    // first, whose ink at x 2-3 the head's mask covers when the head is drawn
    // last (flags 5: head mask, torso first), and not otherwise (flags 1).
    struct Case {
        unsigned flags;
        std::string want;
    } cases[] = {
        {5, "..ww.\n.wkkw\n.wwww\nwkkkw\nwwwww\nw...w\n"},
        {1, "..ww.\n.wkkw\n.wkkw\nwkkkw\nwwwww\nw...w\n"},
    };
    for (const Case& c : cases) {
        Character character = Read(ComplexCharacter(c.flags));
        Figure figure = Compose(character, Pose(), false);
        EXPECT_EQ(Picture(figure.pixels), c.want) << "flags " << c.flags;
        EXPECT_EQ(figure.mouthX, 3) << "mouth x 2 in the head, the head at x 1";
        EXPECT_EQ(figure.headBottom, 3);
    }
}

TEST(ArtReader, FlippedFigureIsMirroredMouthAndAll)
{
    Character character = Read(ComplexCharacter(5));
    Figure figure = Compose(character, Pose(), true);
    EXPECT_EQ(Picture(figure.pixels), ".ww..\nwkkw.\nwwww.\nwkkkw\nwwwww\nw...w\n");
    EXPECT_EQ(figure.mouthX, 2) << "width 5 less 3";
    EXPECT_EQ(figure.headBottom, 3);
}

TEST(ArtReader, ChatOneFileWithBmpPlanes)
{
    // The head's inverted 6 x 4 mask is stretched to its 3 x 2 drawing; the
    // torso's RLE4 ink outside its aura stands on its own (bottom row).
    Character character = Read(OldCharacter());
    EXPECT_EQ(character.flags, 5u);
    ASSERT_EQ(character.faces.size(), 1u);
    EXPECT_EQ(character.faces[0].neckX, 1);
    EXPECT_EQ(character.faces[0].drawing.format, 0) << "old records name BMP files";
    Figure figure = Compose(character, Pose(), false);
    EXPECT_EQ(Picture(figure.pixels), ".wkw.\nwkwkw\nkkwwr\n");
    EXPECT_EQ(figure.mouthX, 2);
    EXPECT_EQ(figure.headBottom, 2);

    Pixels icon;
    std::string error;
    ASSERT_TRUE(ReadIcon(character, icon, error)) << error;
    std::string picture = Picture(icon);
    EXPECT_EQ(picture.substr(0, 41), "r" + std::string(19, 'w') + std::string(20, 'k') + "\n")
        << "the RLE8 icon's top row";
    EXPECT_EQ(picture[39 * 41 + 39], 'r') << "its last pixel";
}

TEST(ArtReader, SimpleCharacterInColourUsesItsHaloButNeverItsMask)
{
    // Dual mask "1023 / 2200": low bit mask, high bit halo. The white pixel
    // under the mask alone stays transparent.
    Character character = Read(SimpleCharacter());
    ASSERT_EQ(character.kind, CharacterKind::Simple);
    Pose neutral;
    neutral.face = NextNeutral(character.bodies, -1);
    EXPECT_EQ(neutral.face, 1);
    Figure figure = Compose(character, neutral, false);
    EXPECT_EQ(Picture(figure.pixels), ".krb\nbrk.\n");
    EXPECT_EQ(figure.mouthX, 3);
    EXPECT_EQ(figure.headBottom, 1) << "half the height";
    figure = Compose(character, neutral, true);
    EXPECT_EQ(Picture(figure.pixels), "brk.\n.krb\n");
    EXPECT_EQ(figure.mouthX, 1);

    Pixels icon;
    std::string error;
    ASSERT_TRUE(ReadIcon(character, icon, error)) << error;
    EXPECT_EQ(Picture(icon).substr(0, 3), "rww") << "icon in the global palette";
}

TEST(ArtReader, MonochromeMaskAndAuraOfAColourHead)
{
    // Palette type 3: one bit, 1 (black) is set. The mask whitens only with
    // the head-mask flag, the aura always. The torso is one black pixel below.
    struct Case {
        unsigned flags;
        std::string want;
    } cases[] = {{0, ".kw\nk..\n"}, {FlagHeadMask, "wkw\nk..\n"}};
    for (const Case& c : cases) {
        ArtFile file(0x8181, 2);
        Record face, body;
        face.drawing = file.AddImage(DeflatedImage(3, 1, 4, Indices({"010"}), kWhiteBlackRed));
        face.mask = file.AddImage(DeflatedImage(3, 1, 1, Indices({"100"})));
        face.aura = file.AddImage(DeflatedImage(3, 1, 1, Indices({"001"})));
        face.palettes[0] = 2;
        face.fields = {0, 1, 0, 0, 0, 0};
        body.drawing = file.AddImage(DeflatedImage(1, 1, 2, Indices({"3"})));
        body.fields = {0, 0};
        PutFlags(file, c.flags);
        PutRecords(file, 10, {face});
        PutRecords(file, 11, {body});
        EXPECT_EQ(Picture(Compose(Read(file.Finish()), Pose(), false).pixels), c.want) << "flags " << c.flags;
    }
}

TEST(ArtReader, OffsetAdjustmentCountsForLaterRecordsOnly)
{
    // Icon before any tag 263; faces after +40; torsos after a further -10.
    // The colour face has no mask or aura: its zero offsets stay zero.
    ArtFile file(0x8181, 2);
    int head = file.AddImage(DeflatedImage(2, 1, 4, Indices({"01"}), kWhiteBlackRed));
    int torso = file.AddImage(DeflatedImage(2, 2, 2, Indices({"33", "22"})));
    int icon = file.AddImage(DeflatedImage(40, 40, 4, IconIndices(), kWhiteBlackRed));
    PutIcon(file, icon, 1, 2);
    PutAdjustment(file, 40);
    Record face;
    face.drawing = head;
    face.fields = {0, 1, 0, 0, 1, 0};
    face.palettes[0] = 2;
    PutRecords(file, 10, {face}, 40);
    PutAdjustment(file, -10);
    Record body;
    body.drawing = torso;
    body.fields = {0, 0};
    PutRecords(file, 11, {body}, 30);
    Bytes bytes = file.Finish();

    Character character = Read(bytes);
    EXPECT_EQ(character.icon.offset, file.imageOffsets[size_t(icon)]);
    EXPECT_EQ(character.faces[0].drawing.offset, file.imageOffsets[size_t(head)]);
    EXPECT_EQ(character.faces[0].mask.offset, 0u);
    EXPECT_EQ(character.faces[0].aura.offset, 0u);
    EXPECT_EQ(character.torsos[0].drawing.offset, file.imageOffsets[size_t(torso)]);
    EXPECT_EQ(Picture(Compose(character, Pose(), false).pixels), ".k\nkk\nww\n");
}

TEST(ArtReader, RleRunsLiteralsDeltasAndRowPadding)
{
    // Rows bottom first. RLE8: a literal of three (padded to even), end of
    // line, a move right by one, a run of two. RLE4: a literal of three
    // nibbles, a run of four filling the row's padding.
    const Bytes colours = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    Bytes rle8 = {0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 0, 2, 4, 0, 1};
    Bytes rle4 = {0, 3, 0x12, 0x30, 0, 0, 4, 0x45, 0, 1};
    EXPECT_EQ(BackdropPicture(BmpFile(3, 2, 8, colours, rle8, 1)), "kbb\nwrg\n");
    EXPECT_EQ(BackdropPicture(BmpFile(3, 2, 4, colours, rle4, 2)), "bwb\nwrg\n");
}

TEST(ArtReader, BackdropsBgbAndBmp)
{
    EXPECT_EQ(BackdropPicture(Backdrop()), "kwr\ngbk\n");
    EXPECT_EQ(BackdropPicture(BmpBackdrop()), "kwr\ngbk\n");

    // 24 bits, top row first (negative height): B G R.
    Bytes rows = {0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0};
    EXPECT_EQ(BackdropPicture(BmpFile(2, -2, 24, Bytes(), rows)), "rb\nkw\n");

    // 16 bits (5-5-5) and 32 bits (B G R unused).
    EXPECT_EQ(BackdropPicture(BmpFile(2, 1, 16, Bytes(), {0x00, 0x7C, 0xE0, 0x03})), "rg\n");
    EXPECT_EQ(BackdropPicture(BmpFile(1, 1, 32, Bytes(), {255, 0, 0, 0})), "b\n");

    // An OS/2 core header: 12 bytes, colours of three bytes (B G R).
    Bytes core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0,
                  0, 0, 0, 0, 255, 0, 0x40, 0, 0, 0};
    EXPECT_EQ(BackdropPicture(core), "kg\n");
}

}  // namespace
