// The cues in a say's text that choose the speaker's pose, as Microsoft Chat
// chooses them from its rules, with Japanese cues added. Portable.
#pragma once

#include <cstddef>

// A pose a text asks for: a face emotion of Chat's wheel (EmotionHappy to
// EmotionLaugh) at an intensity, or a torso gesture (GestureWave and on).
struct PoseOption {
    int code = 0;        // an ArtEmotion
    int intensity = 0;   // 0-255; 255 for gestures
    int priority = 0;    // the higher, the earlier it is tried
};

// Chat keeps at most ten options; there are fewer codes than that.
const int kMaxPoseOptions = 10;

// The options a text gives, highest priority first (equal priorities in the
// order of the cue table), one per code. Empty when the text has no cue.
struct PoseCues {
    int count = 0;
    PoseOption options[kMaxPoseOptions];
};

// The cues in a Shift-JIS text. A cue is only found where a character starts,
// never on the second byte of a double-byte character.
PoseCues FindPoseCues(const char* text, size_t length);
