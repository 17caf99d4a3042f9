#include "strip/art_cast.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "strip/strip_files.h"
#include "tests/common/art_samples.h"
#include "tests/common/hex.h"

namespace {

ConversationRecord Record(RecordKind kind, const std::string& nick, const std::string& value)
{
    ConversationRecord record;
    record.kind = kind;
    record.nick = nick;
    record.value = value;
    return record;
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ",") + name;
    return joined;
}

TEST(NeededArt, TheCharactersSpeakersHaveWhenTheySpeakAndEveryBackdrop)
{
    std::vector<ConversationRecord> records = {
        Record(RecordKind::StartHistory, "me", "TUX"),
        Record(RecordKind::Backdrop, "", "DEN.bgb"),
        Record(RecordKind::ChangeAvatar, "listener", "BOLO"),  // never speaks
        Record(RecordKind::ChangeAvatar, "a", "LANCE"),         // changed before speaking
        Record(RecordKind::ChangeAvatar, "a", "SCOTTY"),
        Record(RecordKind::Say, "a", "hi"),
        Record(RecordKind::Say, "me", "hello"),
        Record(RecordKind::Nick, "a", "b"),
        Record(RecordKind::Say, "b", "renamed, same character"),
        Record(RecordKind::ChangeAvatar, "b", "MARGARET"),
        Record(RecordKind::Say, "b", "now Margaret"),
        Record(RecordKind::Say, "nobody", "a speaker without a character"),
        Record(RecordKind::Backdrop, "", "ROOM"),
        Record(RecordKind::Backdrop, "", "DEN.bgb"),
        Record(RecordKind::Backdrop, "", ""),
    };
    NeededArt needed = FindNeededArt(records);
    EXPECT_EQ(Joined(needed.characters), "SCOTTY,TUX,MARGARET");
    EXPECT_EQ(Joined(needed.backdrops), "DEN.bgb,ROOM");
}

// Art files in a folder of the test's own.
class ArtCastTest : public testing::Test {
protected:
    std::string Write(const std::string& name, const art_samples::Bytes& bytes)
    {
        std::string path = testing::TempDir() + "art_cast_" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    ArtPaths Paths()
    {
        ArtPaths paths;
        paths.characters["SCOTTY"] = Write("scotty.avb", art_samples::ComplexCharacter(0));
        paths.characters["SIMPLE"] = Write("simple.avb", art_samples::SimpleCharacter());
        paths.characters["BROKEN"] = Write("broken.avb", art_samples::Bytes{0x81, 0x81, 2, 0, 1});
        paths.characters["GONE"] = testing::TempDir() + "art_cast_no_such_file.avb";
        paths.backdrops["DEN.bgb"] = Write("den.bgb", art_samples::Backdrop());
        return paths;
    }
};

TEST_F(ArtCastTest, AnswersTheLayoutFromTheFiles)
{
    ArtCast cast(Paths());
    EXPECT_TRUE(cast.HasArt("SCOTTY"));
    EXPECT_TRUE(cast.HasIcon("SCOTTY"));
    EXPECT_TRUE(cast.HasBackdrop("DEN.bgb"));
    EXPECT_FALSE(cast.HasArt("UNKNOWN")) << "a character the caller found no file for";
    EXPECT_FALSE(cast.HasBackdrop("ROOM.bgb"));
    EXPECT_FALSE(cast.HasArt("BROKEN"));
    EXPECT_FALSE(cast.HasArt("GONE"));
    ASSERT_EQ(cast.Problems().size(), 2u) << Joined(cast.Problems());
    EXPECT_NE(cast.Problems()[0].find("art_cast_broken.avb: "), std::string::npos) << cast.Problems()[0];
    EXPECT_NE(cast.Problems()[1].find("art_cast_no_such_file.avb: can't be opened"), std::string::npos)
        << cast.Problems()[1];

    // The sample's figure: the 4 x 3 head on the 5 x 4 torso, its last row
    // over the torso's first; the mouth at (2, 1) of the head.
    PoseRotation rotation;
    Pose pose = cast.ChoosePose("SCOTTY", PoseCues(), rotation);
    FigureMetrics metrics = cast.Measure("SCOTTY", pose);
    EXPECT_EQ(metrics.width, 5);
    EXPECT_EQ(metrics.height, 6);
    EXPECT_EQ(metrics.mouthX, 3);
    EXPECT_EQ(metrics.headBottom, 3);
    EXPECT_EQ(rotation.lastFace, 0);

    // The simple character's happy body for a smile, its neutral one otherwise.
    PoseCues happy;
    happy.count = 1;
    happy.options[0].code = EmotionHappy;
    happy.options[0].intensity = 200;
    PoseRotation simpleRotation;
    EXPECT_EQ(cast.ChoosePose("SIMPLE", happy, simpleRotation).face, 0);
    EXPECT_EQ(cast.ChoosePose("SIMPLE", PoseCues(), simpleRotation).face, 1);
}

TEST_F(ArtCastTest, GivesThePainterBgraArtAndKeepsScaledFiguresForTwoPictures)
{
    ArtCast cast(Paths());
    const Pixels* backdrop = cast.Backdrop("DEN.bgb");
    ASSERT_NE(backdrop, nullptr);
    const uint8_t* red = &backdrop->bytes[2 * 4];  // the sample's third pixel is red
    EXPECT_EQ(std::vector<int>(red, red + 4), (std::vector<int>{0, 0, 255, 255})) << "blue, green, red, alpha";
    const Pixels* icon = cast.Icon("SCOTTY");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, kIconSide);
    EXPECT_EQ(cast.Icon("BROKEN"), nullptr);

    PlacedFigure figure;
    figure.character = "SCOTTY";
    figure.rect = StripRect{0, 0, 10, 12};
    const Pixels* scaled = cast.ScaledFigure(figure);
    ASSERT_NE(scaled, nullptr);
    EXPECT_EQ(scaled->width, 10);
    EXPECT_EQ(scaled->height, 12);
    EXPECT_EQ(cast.ScaledFigure(figure), scaled) << "the same figure at the same size is scaled once";
    figure.flipped = true;
    EXPECT_NE(cast.ScaledFigure(figure), scaled) << "mirrored, it is another";
    EXPECT_EQ(cast.ScaledFigures(), 2u);

    cast.NextPicture();
    figure.flipped = false;
    EXPECT_EQ(cast.ScaledFigure(figure), scaled) << "kept for the next picture";
    cast.NextPicture();
    EXPECT_EQ(cast.ScaledFigures(), 1u) << "the mirrored one, unused in the last picture, is let go";
    cast.NextPicture();
    EXPECT_EQ(cast.ScaledFigures(), 0u);
}

TEST_F(ArtCastTest, ComposedFiguresStayWithinTheirBudget)
{
    ArtPaths paths = Paths();
    paths.characters["OTHER"] = paths.characters["SCOTTY"];
    ArtCast cast(paths, 1);
    FigureMetrics first = cast.Measure("SCOTTY", Pose());
    cast.Measure("OTHER", Pose());
    EXPECT_EQ(cast.ComposedFigures(), 1u) << "a budget smaller than one figure keeps the last one only";
    FigureMetrics again = cast.Measure("SCOTTY", Pose());
    EXPECT_EQ(again.width, first.width) << "metrics are kept apart from the figures";
    PlacedFigure figure;
    figure.character = "SCOTTY";
    figure.rect = StripRect{0, 0, 5, 6};
    EXPECT_NE(cast.ScaledFigure(figure), nullptr) << "a figure let go is composed again";
}

TEST(StripFiles, PicturesAreNumberedBeforeTheExtension)
{
    EXPECT_EQ(StripPicturePath("C:\\x\\Mirth.png", 1), "C:\\x\\Mirth.png");
    EXPECT_EQ(StripPicturePath("C:\\x\\Mirth.png", 2), "C:\\x\\Mirth-2.png");
    EXPECT_EQ(StripPicturePath("C:\\x.y\\strip", 10), "C:\\x.y\\strip-10");
    EXPECT_EQ(StripPicturePath("out.v1.png", 3), "out.v1-3.png");
    // ソ (83 5C) ends with the byte of '\': not a separator.
    EXPECT_EQ(FileNameOf("C:\\x\\\x83\x5C.ccc"), "\x83\x5C.ccc");
    EXPECT_EQ(FileNameOf("Z:/tmp/Mirth.ccc"), "Mirth.ccc");
    EXPECT_EQ(FileNameOf("Mirth.ccc"), "Mirth.ccc");
}

TEST(StripFiles, TheNoteNamesTheConversationFile)
{
    EXPECT_EQ(Hex(StripNoteFor("Mirth.ccc")), Hex(kDefaultStripNote)) << "the default note is the one for Mirth.ccc";
    EXPECT_EQ(StripNoteFor("a.ccc"), "続きは a.ccc でご覧ください");
}

}  // namespace
