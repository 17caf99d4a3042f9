// Microsoft Chat's art: characters (.avb, the Chat 2.x and the Chat 1.0
// format) and backdrops (.bgb, and plain .bmp). Portable: no windows.h.
//
// Art files are untrusted input: every read is checked against the file, and
// a broken file gives an error naming the file and what is wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// RGBA pixels, top row first, four bytes a pixel in the order R, G, B, A.
struct Pixels {
    int width = 0;
    int height = 0;
    int stride = 0;  // bytes a row: width * 4
    std::vector<uint8_t> bytes;
};

const size_t kMaxArtFileBytes = 8u << 20;
const int kMaxArtImageSide = 4096;
const int kIconSide = 40;

// Emotion codes of the face, torso and body records. 1-8 are points on Chat's
// emotion wheel (with an intensity), 10-17 gestures (matched exactly).
enum ArtEmotion {
    EmotionHappy = 1,
    EmotionCoy = 2,
    EmotionBored = 3,
    EmotionScared = 4,
    EmotionSad = 5,
    EmotionAngry = 6,
    EmotionShout = 7,
    EmotionLaugh = 8,
    EmotionNeutral = 9,
    GestureWave = 10,
    GesturePointOther = 11,
    GesturePointSelf = 12,
    GestureDoublePoint = 13,
    GestureShrug = 14,
};

// Where an image lies in its file (0: none) and how it is encoded.
struct ArtImageRef {
    uint32_t offset = 0;
    uint8_t format = 0;   // 0 BMP file, 1 deflated DIB bits
    uint8_t palette = 0;  // 0 none, 1 global, 2 local, 3 mono, 4 masked mono, 5 dual mask
};

// A face, torso or body record, offsets already adjusted. As in Chat, the
// mask and aura of a masked-mono drawing (palette 4) and the aura of a dual
// mask (palette 5) are none: those images hold them.
struct PoseRecord {
    ArtImageRef drawing, mask, aura;
    int emotion = 0;    // an ArtEmotion code, or any other stored number
    int intensity = 0;  // 0-255
    int neckX = 0, neckY = 0;    // faces and torsos: the neck point in the bitmap
    int deltaX = 0, deltaY = 0;  // faces: fine adjustment of the head
    int faceX = 0, faceY = 0;    // faces and bodies: the mouth in the bitmap
};

enum class CharacterKind { Simple = 1, Complex = 2 };

// Bits of Character::flags.
enum CharacterFlag {
    FlagHeadMask = 1,    // the head's mask paints white under it
    FlagTorsoMask = 2,   // the torso's mask paints white under it
    FlagTorsoFirst = 4,  // the torso is drawn before the head
};

// A character file: its records, with the file's bytes from which the images
// are decoded when needed.
struct Character {
    std::string fileName;  // for messages
    std::vector<uint8_t> file;
    CharacterKind kind = CharacterKind::Complex;
    unsigned flags = 0;  // 1 head mask, 2 torso mask, 4 torso first
    ArtImageRef icon;
    std::vector<uint8_t> palette;  // the global palette, R G B triples
    std::vector<PoseRecord> faces, torsos, bodies;
};

// A pose of a character: a face and a torso of a complex character, or a
// body of a simple one (`torso` is then unused).
struct Pose {
    int face = 0;    // complex: face index; simple: body index
    int torso = 0;
};

// A whole figure as it stands in a panel, in RGBA: opaque white under the halo
// and the enabled masks, the drawing's colour where the drawing is not white,
// transparent elsewhere.
struct Figure {
    Pixels pixels;
    int mouthX = 0;      // where a balloon's tail aims, flipping applied
    int headBottom = 0;  // from the figure's top to the bottom of its head
};

// Reads a character file's header and records, checking every record against
// the file. `fileName` names the file in the error.
bool ReadCharacter(const std::string& fileName, std::vector<uint8_t> file, Character& character, std::string& error);

// Decodes every image the character names: the icon and every pose (poses
// that share their images once). More than 16 images of the largest size in
// all is an error, which bounds the time a hostile file can take.
bool CheckCharacterImages(const Character& character, std::string& error);

// The head put on the torso (or the body of a simple character), mirrored
// when `flipped` (the art faces right). A figure larger than
// kMaxArtImageSide on a side is an error.
bool ComposeFigure(const Character& character, Pose pose, bool flipped, Figure& figure, std::string& error);

// The 40 x 40 icon, opaque (an icon of another size is stretched to it).
bool ReadIcon(const Character& character, Pixels& icon, std::string& error);

// A backdrop: a .bgb file, or a BMP file as Chat takes it. Opaque.
bool ReadBackdrop(const std::string& fileName, const std::vector<uint8_t>& file, Pixels& backdrop,
                  std::string& error);

// Choosing poses as Chat does. `last` is the index used last time (-1 at the
// start); the result is -1 when no record matches.
//   the next neutral record after `last`, wrapping around (0 when none is
//   neutral). Neutral: at angle 0 (codes 0, 1, 9, or any code outside 0-17)
//   with intensity 0;
int NextNeutral(const std::vector<PoseRecord>& records, int last);
//   the face (or a simple character's body) nearest an emotion of the wheel
//   (1-8; 0 and 9 are angle 0) at an intensity (0-255, compared as stored,
//   which orders them as Chat's intensity / 255 does): nearest angle, then
//   nearest intensity, then the first. Records of gestures are not on the
//   wheel; a gesture asked for gives -1;
int FaceForEmotion(const std::vector<PoseRecord>& records, int emotion, int intensity);
//   the first record of a gesture (10-17), by exact code.
int RecordForGesture(const std::vector<PoseRecord>& records, int gesture);
