// Pose choice on made-up records. The art reader's three choosing functions
// are stood in for here by plain versions of what chat_art.h promises, so that
// this test needs none of the reader; it builds as its own program.
#include "strip/pose_choice.h"

#include <gtest/gtest.h>

#include <vector>

int NextNeutral(const std::vector<PoseRecord>& records, int last)
{
    int count = static_cast<int>(records.size());
    for (int step = 1; step <= count; ++step) {
        int index = ((last + step) % count + count) % count;
        if (records[index].emotion == EmotionNeutral && records[index].intensity == 0)
            return index;
    }
    return count > 0 ? 0 : -1;
}

// Good enough here: a face of the very emotion, or none.
int FaceForEmotion(const std::vector<PoseRecord>& records, int emotion, int)
{
    for (int i = 0; i < static_cast<int>(records.size()); ++i)
        if (records[i].emotion == emotion)
            return i;
    return -1;
}

int RecordForGesture(const std::vector<PoseRecord>& records, int gesture)
{
    for (int i = 0; i < static_cast<int>(records.size()); ++i)
        if (records[i].emotion == gesture)
            return i;
    return -1;
}

namespace {

PoseRecord Record(int emotion, int intensity)
{
    PoseRecord record;
    record.emotion = emotion;
    record.intensity = intensity;
    return record;
}

Character Complex()
{
    Character character;
    character.kind = CharacterKind::Complex;
    character.faces = {Record(EmotionNeutral, 0), Record(EmotionHappy, 255), Record(EmotionNeutral, 0),
                       Record(EmotionLaugh, 255)};
    character.torsos = {Record(EmotionNeutral, 0), Record(GestureWave, 255), Record(EmotionNeutral, 0)};
    return character;
}

PoseCues Cues(std::vector<PoseOption> options)
{
    PoseCues cues;
    for (const PoseOption& option : options)
        cues.options[cues.count++] = option;
    return cues;
}

TEST(PoseChoice, WithoutCuesFacesAndTorsosRotateThroughTheNeutralOnes)
{
    Character character = Complex();
    PoseRotation rotation;
    int faces[4], torsos[4];
    for (int i = 0; i < 4; ++i) {
        Pose pose = ChoosePoseOnRecords(character, PoseCues(), rotation);
        faces[i] = pose.face;
        torsos[i] = pose.torso;
    }
    EXPECT_EQ(std::vector<int>(faces, faces + 4), (std::vector<int>{0, 2, 0, 2}));
    EXPECT_EQ(std::vector<int>(torsos, torsos + 4), (std::vector<int>{0, 2, 0, 2}));
}

TEST(PoseChoice, TheFirstOptionGivingAFaceOrATorsoSetsIt)
{
    struct Case {
        std::vector<PoseOption> options;
        int face, torso;
    } cases[] = {
        {{{EmotionLaugh, 255, 11}, {GestureWave, 255, 5}}, 3, 1},
        {{{GestureWave, 255, 5}}, 0, 1},                              // the face stays neutral
        {{{GesturePointSelf, 255, 3}}, 0, 0},                         // no such torso: neutral
        {{{EmotionHappy, 255, 10}, {EmotionLaugh, 255, 9}}, 1, 0},    // the first emotion wins the face
        {{{GesturePointSelf, 255, 8}, {GestureWave, 255, 5}}, 0, 1},  // the first torso found
    };
    for (const Case& c : cases) {
        PoseRotation rotation;
        Pose pose = ChoosePoseOnRecords(Complex(), Cues(c.options), rotation);
        EXPECT_EQ(pose.face, c.face) << "first option " << c.options[0].code;
        EXPECT_EQ(pose.torso, c.torso) << "first option " << c.options[0].code;
        EXPECT_EQ(rotation.lastFace, pose.face);
        EXPECT_EQ(rotation.lastTorso, pose.torso);
    }
}

TEST(PoseChoice, ASimpleCharacterTakesOneBody)
{
    Character character;
    character.kind = CharacterKind::Simple;
    character.bodies = {Record(EmotionNeutral, 0), Record(GestureWave, 255), Record(EmotionNeutral, 0)};
    PoseRotation rotation;
    EXPECT_EQ(ChoosePoseOnRecords(character, Cues({{GestureWave, 255, 5}}), rotation).face, 1);
    EXPECT_EQ(ChoosePoseOnRecords(character, PoseCues(), rotation).face, 2) << "the next neutral after the wave";
    EXPECT_EQ(ChoosePoseOnRecords(character, PoseCues(), rotation).face, 0);
}

}  // namespace
