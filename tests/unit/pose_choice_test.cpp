// Choosing poses as Chat does: the neutral rotation, the nearest emotion on
// the wheel, the exact gesture; on made-up records and on Chat's own art.
#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>

#include <utility>

#include "chatart/chat_art.h"
#include "tests/unit/art_test_support.h"

namespace {

// Records from (emotion code, intensity) pairs.
std::vector<PoseRecord> Records(const std::vector<std::pair<int, int>>& emotions)
{
    std::vector<PoseRecord> records;
    for (const auto& emotion : emotions) {
        PoseRecord record;
        record.emotion = emotion.first;
        record.intensity = emotion.second;
        records.push_back(record);
    }
    return records;
}

TEST(PoseChoice, NeutralRotationWraps)
{
    // Neutral: angle 0 and intensity 0. Code 1 (happy) lies at angle 0 too, as
    // do 0 and codes past Chat's table; a gesture (12) and a neutral of some
    // intensity do not.
    std::vector<PoseRecord> records = Records({{5, 0}, {9, 0}, {1, 0}, {9, 10}, {12, 0}, {40, 0}, {3, 0}});
    struct Case {
        int last, want;
    } cases[] = {{-1, 1}, {1, 2}, {2, 5}, {5, 1}, {6, 1}, {99, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(NextNeutral(records, c.last), c.want) << "after " << c.last;
    EXPECT_EQ(NextNeutral(Records({{5, 0}, {10, 0}}), -1), 0) << "none neutral";
    EXPECT_EQ(NextNeutral(Records({}), -1), -1);
}

TEST(PoseChoice, NearestEmotionThenNearestIntensity)
{
    // 0: happy 0°; 1, 2: bored 90° at 200 and 100; 3: laugh 315°; 4: a wave.
    std::vector<PoseRecord> records = Records({{1, 255}, {3, 200}, {3, 100}, {8, 50}, {10, 0}});
    struct Case {
        int emotion, intensity, want;
    } cases[] = {
        {EmotionHappy, 0, 0},     {EmotionLaugh, 255, 3},
        {EmotionSad, 120, 2},     // 180°: bored is nearest (90° apart); 100 is nearer 120 than 200
        {EmotionSad, 190, 1},     //
        {EmotionShout, 0, 3},     // 270°: laugh 45° apart across the wheel's end
        {EmotionCoy, 0, 2},       // 45°: happy and bored tie; bored at 100 is nearer 0 than happy at 255
        {EmotionNeutral, 0, 0},   // angle 0
        {GestureWave, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FaceForEmotion(records, c.emotion, c.intensity), c.want)
            << "emotion " << c.emotion << " at " << c.intensity;
    EXPECT_EQ(FaceForEmotion(Records({{3, 100}, {3, 100}}), EmotionBored, 0), 0) << "a full tie: the first";
}

TEST(PoseChoice, GestureByExactCode)
{
    std::vector<PoseRecord> records = Records({{9, 0}, {11, 0}, {10, 0}, {10, 255}});
    EXPECT_EQ(RecordForGesture(records, GestureWave), 2);
    EXPECT_EQ(RecordForGesture(records, GesturePointOther), 1);
    EXPECT_EQ(RecordForGesture(records, GestureShrug), -1);
}

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

Character ReadArt(const std::string& path)
{
    Character character;
    std::string error;
    EXPECT_TRUE(ReadCharacter(path, LoadFile(path), character, error)) << error;
    return character;
}

TEST(PoseChoice, OnChatsOwnArt)
{
    std::string shared = MIRTH_SHARED_DIR "/chat-art/";
    if (!Exists(shared))
        GTEST_SKIP() << "no " << shared << " beside the source tree: Chat's art is not at hand";
    Character scotty = ReadArt(shared + "scotty.avb");
    int face = -1;
    std::vector<int> rotation;
    for (int turn = 0; turn < 5; ++turn)
        rotation.push_back(face = NextNeutral(scotty.faces, face));
    EXPECT_EQ(rotation, (std::vector<int>{0, 2, 4, 14, 0})) << "Scotty's neutral faces";
    EXPECT_EQ(NextNeutral(scotty.torsos, 0), 5);
    EXPECT_EQ(RecordForGesture(scotty.torsos, GestureWave), 7);
    EXPECT_EQ(RecordForGesture(scotty.torsos, GesturePointOther), 2);
    EXPECT_EQ(FaceForEmotion(scotty.faces, EmotionSad, 255), 16);
    EXPECT_EQ(FaceForEmotion(scotty.faces, EmotionSad, 0), 5);
    EXPECT_EQ(FaceForEmotion(scotty.faces, EmotionLaugh, 100), 11) << "laughs at 51, 127, 255";

    Character lance = ReadArt(shared + "lance.avb");
    EXPECT_EQ(NextNeutral(lance.faces, 0), 5) << "face 4 is scared at intensity 0: not neutral";

    // The first neutral pose is not always record 0. Microsoft's full art:
    // MIRTH_CHAT_ART names the v2.5-beta-1 folder of Chat's repository.
    const char* full = std::getenv("MIRTH_CHAT_ART");
    std::string art = full ? std::string(full) + "/" : "";
    if (art.empty() || !Exists(art)) {
        std::cout << "Skipped: no MIRTH_CHAT_ART folder with Chat's full art.\n";
        return;
    }
    EXPECT_EQ(NextNeutral(ReadArt(art + "comicart/susan.avb").faces, -1), 6);
    EXPECT_EQ(NextNeutral(ReadArt(art + "artpack1/rebecca.avb").torsos, -1), 14);
    EXPECT_EQ(NextNeutral(ReadArt(art + "comicart/jordan.avb").bodies, -1), 7);
}

}  // namespace
