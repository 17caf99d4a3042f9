#include "strip/pose_choice.h"

namespace {

bool IsGesture(int code)
{
    return code >= GestureWave;
}

// The record an option gives among `records`, or -1.
int RecordForOption(const std::vector<PoseRecord>& records, const PoseOption& option)
{
    return IsGesture(option.code) ? RecordForGesture(records, option.code)
                                  : FaceForEmotion(records, option.code, option.intensity);
}

int Neutral(const std::vector<PoseRecord>& records, int last)
{
    int index = NextNeutral(records, last);
    return index < 0 ? 0 : index;
}

}  // namespace

Pose ChoosePoseOnRecords(const Character& character, const PoseCues& cues, PoseRotation& rotation)
{
    Pose pose;
    if (character.kind == CharacterKind::Simple) {
        int body = -1;
        for (int i = 0; i < cues.count && body < 0; ++i)
            body = RecordForOption(character.bodies, cues.options[i]);
        pose.face = body >= 0 ? body : Neutral(character.bodies, rotation.lastFace);
        rotation.lastFace = pose.face;
        return pose;
    }
    int face = -1, torso = -1;
    for (int i = 0; i < cues.count && (face < 0 || torso < 0); ++i) {
        const PoseOption& option = cues.options[i];
        if (IsGesture(option.code)) {
            if (torso < 0)
                torso = RecordForGesture(character.torsos, option.code);
        } else if (face < 0) {
            face = FaceForEmotion(character.faces, option.code, option.intensity);
        }
    }
    pose.face = face >= 0 ? face : Neutral(character.faces, rotation.lastFace);
    pose.torso = torso >= 0 ? torso : Neutral(character.torsos, rotation.lastTorso);
    rotation.lastFace = pose.face;
    rotation.lastTorso = pose.torso;
    return pose;
}
